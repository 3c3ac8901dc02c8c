// Fixed workloads for an instruction counter such as callgrind that draw only screens: the board
// screens, move lines, pass and game-over texts, prompts and result screens of recorded
// COM-vs-COM games, replayed without the COM or the rules. The same screens, captured once, are
// also put through the UTF-8 conversion that a terminal is shown. Instructions divided by the
// bytes written give the cost per byte of each path.
//   --check        replays every game beside a real session and compares the bytes (exit 1 if not)
//   --screens N    writes the recorded games' screens N times to standard output (a pipe or file)
//   --terminal N   converts the same screens N times for a terminal, into a sink that drops them
// Options after the workload: --english, --hints (the games replayed as two humans playing the
// same moves, so the hint marks are drawn), --last-move, --ascii, --color (always: the board in
// colour, also into the pipe or file).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/board.h"
#include "com/com.h"
#include "com_game.h"
#include "game/game.h"
#include "game/notes.h"
#include "game/settings.h"
#include "game/texts.h"
#include "platform/console.h"
#include "platform/utf8_terminal.h"

namespace reversi {
namespace {

constexpr std::uint32_t FirstSeed = 1700000000U;
constexpr int RecordedGameCount = 16;
// A game has at most one turn per square that a disc can be put on.
constexpr int MaxTurns = SquareCount;

// What follows a turn under its board.
enum TurnEnd { NextSideMoves, NextSidePasses, GameEnds };

struct RecordedTurn {
  Cell board[BoardSize][BoardSize];  // before the turn
  int side;
  int square;       // the SquareCode played
  SquareSet legal;  // the squares the side could play, for the hint marks
  TurnEnd end;
};

struct RecordedGame {
  RecordedTurn turns[MaxTurns];
  int turnCount;
  Cell finalBoard[BoardSize][BoardSize];
};

RecordedGame games[RecordedGameCount];

// How the replay is shown: the settings, and whether both sides are replayed as humans.
bool humans = false;

void DropOutput(const char*, std::size_t) {}

// Plays the COM-vs-COM game of `seed` as the driver does, without the screens, and keeps what each
// turn showed.
void RecordGame(std::uint32_t seed, RecordedGame& game) {
  platform::RedirectOutput(DropOutput);
  game.turnCount = 0;
  PlayComGame(
      seed,
      [&game](int side) {
        RecordedTurn& turn = game.turns[game.turnCount++];
        std::memcpy(turn.board, Board, sizeof Board);
        turn.side = side;
        turn.legal = LegalSquares(side);
        return true;
      },
      [&game](int square, int status) {
        RecordedTurn& turn = game.turns[game.turnCount - 1];
        turn.square = square;
        turn.end = status == MustPass   ? NextSidePasses
                   : status == GameOver ? GameEnds
                                        : NextSideMoves;
      });
  std::memcpy(game.finalBoard, Board, sizeof Board);
}

// ---- The replay: what the driver, the keyboard and the COM write, with the work behind it done
// beforehand. The two helpers below hold the driver's own bookkeeping, which is no screen work;
// a counter can leave them out.

// Puts the turn's board in place and notes what the driver notes before a turn.
[[gnu::noinline]] void SetUpTurn(const RecordedTurn& turn) {
  std::memcpy(Board, turn.board, sizeof Board);
  MarkHints(humans ? turn.legal : 0);
}

// Puts the board after the turn in place and notes what the turn did.
[[gnu::noinline]] void FinishTurn(const RecordedGame& game, int index) {
  const RecordedTurn& turn = game.turns[index];
  if (index + 1 < game.turnCount) {
    std::memcpy(Board, game.turns[index + 1].board, sizeof Board);
  } else {
    std::memcpy(Board, game.finalBoard, sizeof Board);
  }
  NoteTurn(turn.side, turn.square);
  if (turn.end == NextSidePasses) NotePass(OtherSide(turn.side));
  if (turn.end == GameEnds) MarkHints(0);
}

// A prompt as the keyboard writes it, in the terminal's own colours.
void WritePrompt() {
  platform::ResetColors();
  platform::WriteText(texts::common::Prompt);
}

// Everything one game writes, from its mode prompt to the prompt under its result screen.
void ReplayGame(const RecordedGame& game) {
  StartGameNotes();
  platform::WriteText(Texts().modePrompt);
  platform::WriteText(texts::common::ModeList);
  WritePrompt();
  for (int index = 0; index < game.turnCount; ++index) {
    const RecordedTurn& turn = game.turns[index];
    SetUpTurn(turn);
    DrawBoard(turn.side);
    if (humans) {
      WritePrompt();
    } else {
      // The COM's move line, written as the COM writes it.
      platform::WriteText(">");
      platform::WriteNumber(turn.square);
      platform::WriteText("\n");
    }
    FinishTurn(game, index);
    if (turn.end == NextSidePasses) platform::WriteText(Texts().passText);
    if (turn.end == GameEnds) platform::WriteText(Texts().gameOverText);
  }
  ShowResult(2);
  WritePrompt();
}

// The measured workload: every recorded game, `rounds` times over.
[[gnu::noinline]] void ReplayScreens(int rounds) {
  for (int round = 0; round < rounds; ++round) {
    for (const RecordedGame& game : games)
      ReplayGame(game);
  }
  platform::FlushOutput();
}

// ---- Capturing, for the check and the terminal workload (heap use is fine here: not a game).

std::string captured;

void Capture(const char* bytes, std::size_t count) {
  captured.append(bytes, count);
}

// The options that change the screens, as the command line gives them.
struct ShownOptions {
  bool english;
  bool hints;
  bool lastMove;
  bool ascii;
  bool color;
};

// Sets the shown options again after a reset has cleared them.
void ApplyOptions(const ShownOptions& options) {
  GameSettings.english = options.english;
  GameSettings.hints = options.hints;
  GameSettings.lastMove = options.lastMove;
  GameSettings.ascii = options.ascii;
  GameSettings.color = options.color ? ColorAlways : ColorNever;
  platform::UseColors(options.color);
}

// The input with which a real session plays `game`: the mode, every move if humans play, the
// shut-down.
std::string SessionInput(const RecordedGame& game) {
  if (!humans) return "3\n99\n";
  std::string input = "0\n";
  for (int index = 0; index < game.turnCount; ++index)
    input += std::to_string(game.turns[index].square) + "\n";
  return input + "99\n";
}

// Compares each replayed game with a real session of the program on the same seed and moves.
bool CheckReplay(const ShownOptions& options) {
  for (int index = 0; index < RecordedGameCount; ++index) {
    const std::string input = SessionInput(games[index]);
    platform::RedirectOutput(Capture);
    platform::RedirectInput(input.data(), input.size());
    platform::FixClock(FirstSeed + static_cast<std::uint32_t>(index));
    ResetProgramState();
    ApplyOptions(options);
    captured.clear();
    RunGame();
    const std::string session = captured;
    captured.clear();
    ResetProgramState();
    ApplyOptions(options);
    ReplayGame(games[index]);
    platform::ResetColors();  // as the run ends
    if (captured != session) {
      std::fprintf(stderr, "game %d: the replay differs from the session\n", index);
      return false;
    }
  }
  return true;
}

// The CP932 bytes of all the recorded games' screens.
std::string CapturedScreens() {
  platform::RedirectOutput(Capture);
  captured.clear();
  ReplayScreens(1);
  platform::RedirectOutput(nullptr);
  return captured;
}

// The measured conversion: the screens in pieces of the console layer's buffer size, as a busy
// terminal receives them.
constexpr std::size_t ConsoleBufferSize = 8192;
std::size_t convertedBytes = 0;

void CountConverted(const char*, std::size_t count) {
  convertedBytes += count;
}

[[gnu::noinline]] void ConvertScreens(const std::string& screens, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t start = 0; start < screens.size(); start += ConsoleBufferSize) {
      const std::size_t count = std::min(ConsoleBufferSize, screens.size() - start);
      platform::utf8_terminal::WriteConverted(screens.data() + start, count, CountConverted);
    }
  }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Run(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string workload = argv[1];
  const int rounds = argc >= 3 && argv[2][0] != '-' ? std::atoi(argv[2]) : 1;
  ShownOptions options{};
  for (int i = 2; i < argc; ++i) {
    options.english = options.english || std::strcmp(argv[i], "--english") == 0;
    options.hints = options.hints || std::strcmp(argv[i], "--hints") == 0;
    options.lastMove = options.lastMove || std::strcmp(argv[i], "--last-move") == 0;
    options.ascii = options.ascii || std::strcmp(argv[i], "--ascii") == 0;
    options.color = options.color || std::strcmp(argv[i], "--color") == 0;
  }
  for (int index = 0; index < RecordedGameCount; ++index)
    RecordGame(FirstSeed + static_cast<std::uint32_t>(index), games[index]);
  humans = options.hints;

  if (workload == "--check") {
    const bool same = CheckReplay(options);
    std::printf("%s\n", same ? "replay matches the sessions" : "replay differs");
    return same ? 0 : 1;
  }
  if (workload == "--screens") {
    // Standard output stays as the caller set it up; it should be a pipe or a file.
    platform::RedirectOutput(nullptr);
    ResetProgramState();
    ApplyOptions(options);
    const auto start = std::chrono::steady_clock::now();
    ReplayScreens(rounds);
    std::fprintf(stderr, "%d rounds of %d games' screens: %.1f us per game\n", rounds,
                 RecordedGameCount, SecondsSince(start) * 1e6 / (rounds * RecordedGameCount));
    return 0;
  }
  if (workload == "--terminal") {
    ResetProgramState();
    ApplyOptions(options);
    const std::string screens = CapturedScreens();
    if (!platform::utf8_terminal::OpenConverter()) return 1;
    const auto start = std::chrono::steady_clock::now();
    ConvertScreens(screens, rounds);
    const double seconds = SecondsSince(start);
    std::printf("%zu CP932 bytes in, %zu UTF-8 bytes out per round\n", screens.size(),
                convertedBytes / static_cast<std::size_t>(rounds));
    std::fprintf(stderr, "%.2f ns per byte in\n",
                 seconds * 1e9 / (static_cast<double>(screens.size()) * rounds));
    return 0;
  }
  return 2;
}

}  // namespace
}  // namespace reversi

int main(int argc, char** argv) {
  return reversi::Run(argc, argv);
}
