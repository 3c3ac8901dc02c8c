// The checker watches the output stream byte by byte: the game writes a screen clear before every
// turn and before the result, announces every COM move as ">code\n" right after placing it, and
// reports every refused entry on a line of its own. Each of those points is a moment at which the
// Board is compared with the position last seen, so every placed move is checked on its own
// against the square-by-square rules of the test support, written independently of src/board.
#include "session_check.h"

#include <cstdio>
#include <cstring>

#include "board/board.h"
#include "game/game.h"
#include "game/settings.h"
#include "game/texts.h"
#include "harness.h"
#include "platform/console.h"
#include "reference_rules.h"

namespace reversi::testing {

namespace {

// The longest marker looked for in the output is shorter than this; a power of two.
constexpr std::size_t TailCapacity = 256;
constexpr std::size_t TailMask = TailCapacity - 1;
constexpr std::uint64_t DigestBasis = 14695981039346656037ULL;
constexpr std::uint64_t DigestPrime = 1099511628211ULL;
constexpr int NoSide = -1;
// A COM announcement holds a SquareCode of two digits; more digits make it no SquareCode.
constexpr int MaxAnnouncedDigits = 2;
constexpr int DecimalRadix = 10;
constexpr std::size_t MessageCapacity = 160;
// Where a session with a record sends its lines: every path of the record runs, nothing is kept.
constexpr char RecordSink[] = "/dev/null";

struct CheckerState {
  SessionReport report;
  char tail[TailCapacity];
  std::size_t written;
  Position seen;  // the Board as last checked
  bool gameStarted;
  int turnSide;  // from the turn line of the current screen
  int screens;   // screens drawn in the current game
  int passes;    // pass texts shown in the current game
  bool passPending;
  bool atResult;   // the final prompt of a result screen was shown
  bool turnActed;  // a prompt or a COM announcement followed the current screen
  bool inAnnouncement;
  bool inLastMoveLine;  // a last-move line, whose texts (a pass among them) mark nothing
  int announcedDigits;
  int announcedSquare;
};

CheckerState state;
FailureHook failureHook = nullptr;
// The moves of --from as drawn from the input, NUL-terminated.
char openingText[256 + 1];
// Sessions that take turns back or start after given moves show boards that are no single move
// from the one before: the board checks are then left to the COM's moves and the cells.
bool relaxed = false;

// The texts of the session's language, whose lines mark the points the checks are made at.
const texts::TextSet* textSet = &texts::JapaneseSet;
char message[MessageCapacity];

void Fail(const char* what) {
  if (state.report.failure != nullptr) return;
  std::snprintf(message, sizeof message, "game %d, screen %d: %s", state.report.games,
                state.screens, what);
  state.report.failure = message;
  if (failureHook != nullptr) failureHook(message);
}

bool TailEndsWith(const char* marker) {
  const std::size_t length = std::strlen(marker);
  if (length > state.written || length > TailCapacity) return false;
  const std::size_t start = state.written - length;
  for (std::size_t i = 0; i < length; ++i) {
    if (state.tail[(start + i) & TailMask] != marker[i]) return false;
  }
  return true;
}

void CopyPosition(Position& to, const Position& from) {
  std::memcpy(to, from, sizeof(Position));
}

// A plain loop rather than memcmp, whose calls the fuzzer would mine for tokens.
bool SamePosition(const Position& a, const Position& b) {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (a[row][col] != b[row][col]) return false;
    }
  }
  return true;
}

int CountOf(const Position& position, Cell wanted) {
  int count = 0;
  for (const auto& line : position) {
    for (Cell cell : line)
      count += cell == wanted ? 1 : 0;
  }
  return count;
}

// Cells hold only the three named values and the four centre squares are never empty.
void CheckCells() {
  for (const auto& line : Board) {
    for (Cell cell : line) {
      if (cell != Empty && cell != Black && cell != White) Fail("a cell holds no valid value");
    }
  }
  constexpr int Low = BoardSize / 2 - 1;
  constexpr int High = BoardSize / 2;
  if (Board[Low][Low] == Empty || Board[Low][High] == Empty || Board[High][Low] == Empty ||
      Board[High][High] == Empty) {
    Fail("a centre square is empty");
  }
}

enum class Change { None, OneMove, Broken };

// Compares the Board with the position last seen: unchanged, or exactly one legal move of `side`
// (NoSide: of either side) with all its flips and nothing else. `square` > 0 demands that square.
Change CheckChange(int side, int square) {
  if (SamePosition(Board, state.seen)) return Change::None;
  int addedRow = -1;
  int addedCol = -1;
  int added = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (state.seen[row][col] == Empty && Board[row][col] != Empty) {
        addedRow = row;
        addedCol = col;
        ++added;
      }
    }
  }
  if (added != 1) {
    Fail("the board changed without exactly one disc added");
    return Change::Broken;
  }
  const Cell mover = Board[addedRow][addedCol];
  if (mover != Black && mover != White) {
    Fail("a disc of no side was added");
    return Change::Broken;
  }
  if (side != NoSide && mover != OwnCell(side)) {
    Fail("a disc was placed for the side not on turn");
    return Change::Broken;
  }
  if (square > 0 && SquareCode(addedRow, addedCol) != square) {
    Fail("the COM announced another square than it played");
    return Change::Broken;
  }
  Position expected;
  const int turned = PlayMoveByScan(state.seen, addedRow, addedCol, mover, expected);
  if (turned == 0) {
    Fail("a disc was placed on a square that is no legal move");
    return Change::Broken;
  }
  const Cell other = mover == Black ? White : Black;
  if (CountOf(Board, mover) != CountOf(state.seen, mover) + 1 + turned ||
      CountOf(Board, other) != CountOf(state.seen, other) - turned) {
    Fail("a move changed the disc counts other than by one placed plus the flipped");
    return Change::Broken;
  }
  if (!SamePosition(Board, expected)) {
    Fail("a move turned other discs than the rules turn");
    return Change::Broken;
  }
  return Change::OneMove;
}

void Remember() {
  CopyPosition(state.seen, Board);
}

// A screen clear: the turn before it has been played completely.
void OnScreen() {
  if (!state.gameStarted) {
    Fail("a screen was drawn before any mode prompt");
    return;
  }
  if (state.screens > 0 && !state.turnActed) Fail("a turn ended without a prompt or a COM move");
  state.turnActed = false;
  CheckCells();
  if (!relaxed && CheckChange(state.turnSide, 0) == Change::OneMove) ++state.report.humanMoves;
  if (!relaxed && MoveCount != state.screens + state.passes) {
    Fail("MoveCount is not turns plus passes");
  }
  if (PassFlag != 0 && PassFlag != 1) Fail("PassFlag is neither 0 nor 1");
  if (!relaxed && state.passPending && PassFlag != 1) Fail("PassFlag is not set after a pass");
  state.passPending = false;
  state.turnSide = NoSide;
  ++state.screens;
  Remember();
}

void OnNewGame() {
  Position start{};
  start[BoardSize / 2 - 1][BoardSize / 2 - 1] = White;
  start[BoardSize / 2 - 1][BoardSize / 2] = Black;
  start[BoardSize / 2][BoardSize / 2 - 1] = Black;
  start[BoardSize / 2][BoardSize / 2] = White;
  ++state.report.games;
  state.gameStarted = true;
  state.screens = 0;
  state.passes = 0;
  state.passPending = false;
  state.atResult = false;
  state.turnSide = NoSide;
  if (!SamePosition(Board, start)) Fail("a game starts from another position than the start");
  if (MoveCount != 0 || PassFlag != 0) Fail("a game starts with its counters not cleared");
  Remember();
}

void OnComMove(int square) {
  const int row = SquareRow(square);
  const int col = SquareColumn(square);
  if (row < 0 || row > LastIndex || col < 0 || col > LastIndex) {
    Fail("the COM announced no square");
    return;
  }
  if (state.turnSide == NoSide) Fail("the COM moved outside a turn");
  CheckCells();
  if (CheckChange(state.turnSide, square) != Change::OneMove) Fail("the COM announced no move");
  ++state.report.comMoves;
  Remember();
}

// A refused entry leaves the game untouched.
void OnRefusal() {
  if (state.gameStarted && !SamePosition(Board, state.seen)) Fail("a refused entry moved discs");
}

// Follows ">" digits "\n", the one shape a COM announcement has; a human prompt is never
// followed by a digit.
void FollowAnnouncement(char byte) {
  if (byte == '>') {
    state.turnActed = true;
    state.inAnnouncement = true;
    state.announcedDigits = 0;
    state.announcedSquare = 0;
    return;
  }
  if (!state.inAnnouncement) return;
  if (byte >= '0' && byte <= '9' && state.announcedDigits < MaxAnnouncedDigits) {
    state.announcedSquare = state.announcedSquare * DecimalRadix + (byte - '0');
    ++state.announcedDigits;
    return;
  }
  if (byte == '\n' && state.announcedDigits > 0) OnComMove(state.announcedSquare);
  state.inAnnouncement = false;
}

void Observe(char byte) {
  state.tail[state.written & TailMask] = byte;
  ++state.written;
  state.report.outputDigest =
      (state.report.outputDigest ^ static_cast<unsigned char>(byte)) * DigestPrime;
  FollowAnnouncement(byte);
  const char* lead = textSet->lastMoveLead;
  if (byte == lead[std::strlen(lead) - 1] && TailEndsWith(lead)) state.inLastMoveLine = true;
  if (byte == '\n' && state.inLastMoveLine) {
    state.inLastMoveLine = false;
    return;
  }
  if (byte == platform::ClearSequence[sizeof platform::ClearSequence - 2]) {
    if (TailEndsWith(platform::ClearSequence)) OnScreen();
    return;
  }
  if (byte != '\n') return;
  if (TailEndsWith(textSet->turnBlackLine)) {
    state.turnSide = 0;
  } else if (TailEndsWith(textSet->turnWhiteLine)) {
    state.turnSide = 1;
  } else if (TailEndsWith(textSet->passText)) {
    ++state.passes;
    state.passPending = true;
  } else if (TailEndsWith(textSet->modePrompt)) {
    OnNewGame();
  } else if (TailEndsWith(textSet->finalPrompt)) {
    state.atResult = true;
  } else if (TailEndsWith(texts::common::InputErrorText) ||
             TailEndsWith(texts::common::NumberErrorTail) ||
             TailEndsWith(textSet->cannotPlaceTail)) {
    OnRefusal();
  }
}

void Sink(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    Observe(bytes[i]);
}

// The run may only end in two ways: the user shut down at a result screen (the output ends with
// that screen's prompt), or the input ended (the open prompt's line was closed and nothing of the
// input is left).
void CheckEnding() {
  if (TailEndsWith(">\n")) {
    if (platform::ReadInputByte() != platform::EndOfInput) Fail("the run ended with input left");
    return;
  }
  if (!(TailEndsWith(texts::common::Prompt) && state.atResult)) {
    Fail("the run ended neither at the input's end nor by a shut-down");
  }
}

}  // namespace

std::size_t DrawOptions(const std::uint8_t* bytes, std::size_t size, SessionOptions& options) {
  options = {};
  if (size == 0) return 0;
  const std::uint8_t flags = bytes[0];
  options.english = (flags & 0x01) != 0;
  options.hints = (flags & 0x02) != 0;
  options.lastMove = (flags & 0x04) != 0;
  options.recording = (flags & 0x10) != 0;
  std::size_t taken = 1;
  options.undo = (flags & 0x20) != 0;
  if ((flags & 0x08) != 0) {
    options.seeded = true;
    for (; taken < 5 && taken < size; ++taken)
      options.seed = options.seed << 8 | bytes[taken];
  }
  if ((flags & 0x40) != 0 && taken < size) {
    const std::size_t length = bytes[taken++];
    const std::size_t given = length < size - taken ? length : size - taken;
    std::memcpy(openingText, bytes + taken, given);
    openingText[given] = '\0';
    options.opening = openingText;
    taken += given;
  }
  return taken;
}

SessionReport RunCheckedSession(const std::uint8_t* bytes, std::size_t size, FailureHook onFailure,
                                const SessionOptions* options) {
  ResetProcessState();
  textSet = &texts::JapaneseSet;
  relaxed = false;
  if (options != nullptr) {
    GameSettings.english = options->english;
    GameSettings.hints = options->hints;
    GameSettings.lastMove = options->lastMove;
    GameSettings.seeded = options->seeded;
    GameSettings.seed = options->seed;
    GameSettings.undo = options->undo;
    if (options->opening != nullptr) {
      GameSettings.opening = SetOpening(options->opening).verdict == OpeningVerdict::Playable;
    }
    relaxed = GameSettings.undo || GameSettings.opening;
    if (options->english) textSet = &texts::EnglishSet;
    const char* reason = "";
    if (options->recording && platform::OpenRecordFile(RecordSink, reason)) {
      GameSettings.recording = true;
      GameSettings.recordName = RecordSink;
    }
  }
  state = CheckerState{};
  failureHook = onFailure;
  state.report.outputDigest = DigestBasis;
  state.turnSide = NoSide;
  platform::RedirectOutput(Sink);
  platform::RedirectInput(reinterpret_cast<const char*>(bytes), size);

  if (RunGame() != 0) Fail("the run did not end with exit code 0");
  CheckCells();
  if (!relaxed && state.gameStarted && CheckChange(NoSide, 0) != Change::None) {
    Fail("discs moved after the last screen");
  }
  CheckEnding();

  state.report.outputBytes = state.written;
  platform::RedirectOutput(nullptr);
  platform::RestoreStandardInput();
  platform::CloseRecordFile();
  return state.report;
}

}  // namespace reversi::testing
