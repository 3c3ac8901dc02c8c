// --solve: a problem file solved exactly, position by position. The file is read twice through the
// platform layer, first to check every line (a bad one stops everything before any long search
// starts), then to solve; no line is kept longer than it is read, so nothing is allocated.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "board/board.h"
#include "com/com.h"
#include "engine/engine.h"
#include "platform/console.h"

namespace reversi::engine {

namespace {

// The longest line read; a problem line needs about a hundred characters, even with every move's
// score after it.
constexpr int LineCapacity = 1024;
constexpr std::size_t ReadPieceSize = 4096;
// Exact scores lie within the number of squares either way.
constexpr int LargestScore = SquareCount;
constexpr int DecimalRadix = 10;
constexpr std::int64_t MicrosecondsPerSecond = 1000000;

// One line of the file as read: the position and, when the file gives them, the best score among
// the listed moves and the set of moves that reach it.
struct Problem {
  Position position;
  bool scored;
  int bestScore;
  SquareSet bestMoves;
};

// Why a line is refused; None for a good one.
enum class LineFault {
  None,
  TooLong,
  BadCell,
  NoSide,
  JoinedText,
  BadMove,
  BadScore,
  TooManyEmpties
};

struct LineCheck {
  LineFault fault;
  int column;  // counted from 1; for TooManyEmpties, the most empty squares allowed
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether the line holds nothing to solve: blanks only, or a '%' comment.
bool IsSkipped(const char* text, int length) {
  int at = 0;
  while (at < length && IsBlank(text[at]))
    ++at;
  return at == length || text[at] == '%';
}

// Reads "move:score" items after the side to move, each ended by ';' or the line's end, blanks
// anywhere between them. Keeps the best score and the moves that reach it.
LineCheck ReadScores(const char* text, int length, int at, Problem& problem) {
  for (;;) {
    while (at < length && (IsBlank(text[at]) || text[at] == ';'))
      ++at;
    if (at >= length) return {LineFault::None, 0};
    const int moveAt = at;
    const int square = at + 1 < length ? ReadMoveText(text[at], text[at + 1]) : NotAMove;
    if (square == NotAMove || square == NoSquareCode || at + 2 >= length || text[at + 2] != ':') {
      return {LineFault::BadMove, moveAt + 1};
    }
    at += MoveTextLength + 1;
    const int scoreAt = at;
    const bool negative = text[at] == '-';
    if (text[at] == '-' || text[at] == '+') ++at;
    int score = 0;
    const int digitsAt = at;
    for (; at < length && IsDigit(text[at]) && score <= LargestScore; ++at)
      score = score * DecimalRadix + (text[at] - '0');
    if (at == digitsAt || score > LargestScore ||
        (at < length && !IsBlank(text[at]) && text[at] != ';')) {
      return {LineFault::BadScore, scoreAt + 1};
    }
    if (negative) score = -score;
    const SquareSet bit = SquareBit(SquareRow(square), SquareColumn(square));
    if (!problem.scored || score > problem.bestScore) {
      problem.scored = true;
      problem.bestScore = score;
      problem.bestMoves = 0;
    }
    if (score == problem.bestScore) problem.bestMoves |= bit;
  }
}

int CountEmpties(const Position& position) {
  int empties = 0;
  for (const auto& row : position.cells) {
    for (const Cell cell : row)
      empties += cell == Empty ? 1 : 0;
  }
  return empties;
}

// Reads one line that is not skipped into `problem`.
LineCheck ReadProblem(const char* text, int length, Problem& problem) {
  problem = {};
  const PositionRead read = ReadPositionText(text, length, problem.position);
  switch (read.fault) {
    case PositionFault::None:
      return ReadScores(text, length, read.end, problem);
    case PositionFault::BadCell:
      return {LineFault::BadCell, read.at + 1};
    case PositionFault::NoSide:
      return {LineFault::NoSide, read.at + 1};
    case PositionFault::JoinedText:
      return {LineFault::JoinedText, read.at + 1};
  }
  return {LineFault::BadCell, 1};
}

// ---- Output -------------------------------------------------------------------------------------

// The longest unsigned 64-bit number in decimal.
constexpr int LongestNumber = 20;

// Writes `value` right-aligned in `width` columns.
void WriteWide(std::uint64_t value, int width) {
  char digits[LongestNumber];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % DecimalRadix);
    value /= DecimalRadix;
  } while (value != 0);
  for (int i = count; i < width; ++i)
    platform::WriteText(" ");
  while (count > 0)
    platform::WriteOutput(&digits[--count], 1);
}

// Writes `value` / `scale` with `decimals` places (rounded down), right-aligned in `width` columns.
void WriteFixed(std::uint64_t value, std::uint64_t scale, int decimals, int width) {
  std::uint64_t places = 1;
  for (int i = 0; i < decimals; ++i)
    places *= DecimalRadix;
  const std::uint64_t scaled = value * places / scale;
  WriteWide(scaled / places, width - decimals - 1);
  platform::WriteText(".");
  char digits[LongestNumber];
  std::uint64_t fraction = scaled % places;
  for (int i = decimals - 1; i >= 0; --i, fraction /= DecimalRadix)
    digits[i] = static_cast<char>('0' + fraction % DecimalRadix);
  platform::WriteOutput(digits, static_cast<std::size_t>(decimals));
}

// A score with its sign, "+0" for a draw, as problem files write it, right-aligned in `width`.
void WriteScore(int score, int width) {
  char text[platform::MaxNumberLength + 1];
  const int magnitude = score < 0 ? -score : score;
  const int length = platform::FormatNumber(magnitude, 0, text + 1);
  text[0] = score < 0 ? '-' : '+';
  for (int i = length + 1; i < width; ++i)
    platform::WriteText(" ");
  platform::WriteOutput(text, static_cast<std::size_t>(length + 1));
}

constexpr int LineWidth = 5;
constexpr int ScoreWidth = 7;
constexpr int NodesWidth = 14;
constexpr int SecondsWidth = 10;
constexpr int SpeedWidth = 10;
constexpr int SecondsDecimals = 3;
constexpr int SpeedDecimals = 1;

// The nodes, the seconds and the millions of nodes per second of one row.
void WriteCost(std::uint64_t nodes, std::int64_t microseconds) {
  WriteWide(nodes, NodesWidth);
  WriteFixed(static_cast<std::uint64_t>(microseconds), MicrosecondsPerSecond, SecondsDecimals,
             SecondsWidth);
  // Nodes per microsecond are millions of nodes per second; a run too short to time shows 0.
  const std::uint64_t time = microseconds > 0 ? static_cast<std::uint64_t>(microseconds) : 0;
  WriteFixed(time == 0 ? 0 : nodes, time == 0 ? 1 : time, SpeedDecimals, SpeedWidth);
}

void WriteRow(long lineNumber, const ScoredMove& best, const SearchReport& report,
              const Problem& problem, bool agrees) {
  WriteWide(static_cast<std::uint64_t>(lineNumber), LineWidth);
  char move[MoveTextLength];
  WriteMoveText(best.square, move);
  platform::WriteText("    ");
  platform::WriteOutput(move, MoveTextLength);
  WriteScore(best.score, ScoreWidth);
  WriteCost(report.nodes, report.microseconds);
  platform::WriteText(!problem.scored ? "  -\n" : agrees ? "  agrees\n" : "  DIFFERS\n");
}

// ---- The file -----------------------------------------------------------------------------------

char lineText[LineCapacity];

// What a pass over the file does with each line that is not skipped: false stops the pass.
using LineStep = bool (*)(long lineNumber, const char* text, int length, bool tooLong);

// Reads the file line by line (a last line without its line end counts; a '\r' before the line end
// is dropped) and hands each one that is not skipped to `step`. False, with `reason`, when the file
// cannot be read; a `step` that stops the pass does not make it fail.
bool ReadLines(const char* path, LineStep step, const char*& reason) {
  if (!platform::OpenFileToRead(path, reason)) return false;
  char piece[ReadPieceSize];
  long lineNumber = 1;
  int length = 0;
  bool tooLong = false;
  bool going = true;
  bool readable = true;
  // Ends the line held in lineText: hands it on unless it is skipped.
  auto endLine = [&]() {
    if (length > 0 && lineText[length - 1] == '\r') --length;
    if (tooLong || !IsSkipped(lineText, length))
      going = step(lineNumber, lineText, length, tooLong);
    ++lineNumber;
    length = 0;
    tooLong = false;
  };
  while (going) {
    const long count = platform::ReadFromFile(piece, sizeof piece, reason);
    if (count < 0) readable = false;
    if (count <= 0) break;
    for (long i = 0; i < count && going; ++i) {
      if (piece[i] == '\n') {
        endLine();
      } else if (length < LineCapacity) {
        lineText[length++] = piece[i];
      } else {
        tooLong = true;
      }
    }
  }
  if (going && readable && (length > 0 || tooLong)) endLine();
  platform::CloseFileToRead();
  return readable;
}

// What the passes share: the file's name, the first bad line, the counts and the totals.
const char* fileName = "";
long badLine = 0;
LineCheck badCheck = {};
int mostEmptiesSolved = MostSolvedEmpties;
int problems = 0;
int agreeing = 0;
int differing = 0;
std::uint64_t totalNodes = 0;
std::int64_t totalMicroseconds = 0;

bool CheckLine(long lineNumber, const char* text, int length, bool tooLong) {
  Problem problem;
  LineCheck check = tooLong ? LineCheck{LineFault::TooLong, LineCapacity + 1}
                            : ReadProblem(text, length, problem);
  if (check.fault == LineFault::None && CountEmpties(problem.position) > mostEmptiesSolved) {
    check = {LineFault::TooManyEmpties, mostEmptiesSolved};
  }
  if (check.fault != LineFault::None) {
    badLine = lineNumber;
    badCheck = check;
    return false;
  }
  ++problems;
  return true;
}

bool SolveLine(long lineNumber, const char* text, int length, bool tooLong) {
  Problem problem;
  // The file may have changed since it was checked: a line that is now bad is passed over.
  if (tooLong || ReadProblem(text, length, problem).fault != LineFault::None) return true;
  std::memcpy(Board, problem.position.cells, sizeof Board);
  SearchReport report = {};
  const ScoredMove best = SolveBestMove(problem.position.side, report);
  const bool agrees =
      problem.scored && best.score == problem.bestScore && best.square != NoSquareCode &&
      (problem.bestMoves & SquareBit(SquareRow(best.square), SquareColumn(best.square))) != 0;
  if (problem.scored) ++(agrees ? agreeing : differing);
  totalNodes += report.nodes;
  totalMicroseconds += report.microseconds;
  WriteRow(lineNumber, best, report, problem, agrees);
  platform::FlushOutput();
  return true;
}

// The fault of a bad line in words.
const char* FaultText(LineFault fault) {
  switch (fault) {
    case LineFault::TooLong:
      return "the line is too long, from column ";
    case LineFault::BadCell:
      return "not a cell (X, O or -) at column ";
    case LineFault::NoSide:
      return "no side to move (a blank, then X or O) at column ";
    case LineFault::JoinedText:
      return "text joined to the side to move at column ";
    case LineFault::BadMove:
      return "not a move a1..h8 followed by ':' at column ";
    case LineFault::BadScore:
      return "not a score -64..+64 at column ";
    case LineFault::TooManyEmpties:
      return "more empty squares than an exact search can finish; at most ";
    case LineFault::None:
      break;
  }
  return "";
}

// One line on standard error: "reversi: " and the pieces.
void WriteError(std::initializer_list<const char*> pieces) {
  platform::WriteErrorText("reversi: ");
  for (const char* piece : pieces)
    platform::WriteErrorText(piece);
  platform::WriteErrorText("\n");
}

}  // namespace

int RunSolve(const char* path, int mostEmpties) {
  fileName = path;
  mostEmptiesSolved = mostEmpties;
  badLine = 0;
  problems = agreeing = differing = 0;
  totalNodes = 0;
  totalMicroseconds = 0;
  const char* reason = "";
  if (!ReadLines(path, CheckLine, reason)) {
    WriteError({"cannot read the problem file '", fileName, "': ", reason});
    return ExitBadInput;
  }
  if (badLine != 0 || problems == 0) {
    char line[platform::MaxNumberLength + 1];
    char column[platform::MaxNumberLength + 1];
    line[platform::FormatNumber(static_cast<int>(badLine), 0, line)] = '\0';
    column[platform::FormatNumber(badCheck.column, 0, column)] = '\0';
    if (badLine == 0) {
      WriteError({fileName, ": no position to solve"});
    } else {
      WriteError({fileName, ":", line, ": ", FaultText(badCheck.fault), column});
    }
    return ExitBadInput;
  }
  platform::WriteText(" line  move  score         nodes   seconds  Mnodes/s  file\n");
  platform::FlushOutput();  // the head shows while the first position is solved
  // A file may take hours; Ctrl+C must not have to wait for its end.
  SetSearchEndsOnSignal(true);
  const bool solved = ReadLines(path, SolveLine, reason);
  SetSearchEndsOnSignal(false);
  if (!solved) {
    WriteError({"cannot read the problem file '", fileName, "' again: ", reason});
    return ExitBadInput;
  }
  platform::WriteText("total             ");
  WriteCost(totalNodes, totalMicroseconds);
  platform::WriteText("\n");
  char count[platform::MaxNumberLength + 1];
  count[platform::FormatNumber(problems, 0, count)] = '\0';
  platform::WriteText(count);
  platform::WriteText(" positions solved, ");
  count[platform::FormatNumber(agreeing, 0, count)] = '\0';
  platform::WriteText(count);
  platform::WriteText(" agree with the file, ");
  count[platform::FormatNumber(differing, 0, count)] = '\0';
  platform::WriteText(count);
  platform::WriteText(" differ\n");
  platform::FlushOutput();
  const char* failure = "";
  if (platform::OutputFailed(failure)) {
    WriteError({"write error: ", failure});
    return ExitDisagrees;
  }
  return differing == 0 ? ExitAllGood : ExitDisagrees;
}

}  // namespace reversi::engine
