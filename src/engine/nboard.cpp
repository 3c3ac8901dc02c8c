// The NBoard protocol: a board program sends the game ("set game" in GGF, then "move"), asks for
// the engine's move ("go", answered "=== move/eval/time" without playing it) or for the scores of
// the best moves ("hint n", answered with "search" lines), and synchronises with "ping"/"pong".
// Commands the engine does not know are ignored, as the protocol asks.
#include "board/board.h"
#include "channel.h"
#include "com/com.h"
#include "engine/engine.h"
#include "game_line.h"
#include "ggf.h"
#include "platform/console.h"

namespace reversi::engine {

namespace {

constexpr char EngineName[] = "reversi";
// "set depth" takes at most this many plies; deeper asks are met by the deepest level.
constexpr int DeepestAsked = SquareCount;

int level = LastLevel;
GgfGame ggfGame;
ScoredMove scored[CandidateCapacity];

// Writes a status line, which a board program shows as the engine's state.
void Status(const char* text) {
  platform::WriteText("status ");
  platform::WriteText(text);
  platform::WriteText("\n");
}

// Replaces the game with the one in the GGF text after "set game"; a broken game, or one whose
// moves the rules refuse, leaves the previous game as it was.
void SetGame(const char* text) {
  if (!ReadGgfGame(text, ggfGame)) {
    Status("cannot read the game");
    return;
  }
  KeepLine();
  StartLine(&ggfGame.start);
  for (int k = 0; k < ggfGame.moveCount; ++k) {
    if (!PlayOnLine(ggfGame.moves[k].side, ggfGame.moves[k].square)) {
      BringBackLine();
      Status("illegal move in the game");
      return;
    }
  }
}

// Plays a move for the side to move; a side without a move passes first, as board programs may
// leave such passes out.
void PlayMove(const char* word) {
  const int square = ReadEngineMove(word);
  if (square == NotAMove) {
    Status("cannot read the move");
    return;
  }
  int side = LineSide();
  if (square != NoSquareCode && LegalSquares(side) == 0) {
    PlayOnLine(side, NoSquareCode);
    side = OtherSide(side);
  }
  if (!PlayOnLine(side, square)) Status("illegal move");
}

// One scored move as "search" lines give it: the move, its score for the mover in discs, and the
// depth searched.
void WriteScoreLine(const ScoredMove& move, int depth) {
  platform::WriteText("search ");
  WriteMove(move.square, "PA");
  platform::WriteText(" ");
  WriteHundredths(move.score);
  platform::WriteText(" 0 ");
  platform::WriteNumber(depth);
  platform::WriteText("\n");
}

// The best `countWord` moves (one when it is missing or no number) with their scores.
void Hint(const char* countWord) {
  int wanted = 1;
  if (countWord != nullptr && !ReadCount(countWord, SquareCount, wanted)) wanted = 1;
  const int side = LineSide();
  Status("thinking");
  platform::FlushOutput();
  SearchReport report = {};
  const int count = LegalSquares(side) == 0 ? 0 : ScoreMoves(side, level, scored, report);
  for (int k = 0; k < count && k < wanted; ++k)
    WriteScoreLine(scored[k], report.depth);
  if (count == 0) platform::WriteText("search PA 0.00 0 0\n");
  Status("");
}

// The engine's move with its score and time; the board is not changed: the board program sends
// the move back with "move" if it is played.
void Go() {
  const int side = LineSide();
  Status("thinking");
  platform::FlushOutput();
  SearchReport report = {};
  const int count = LegalSquares(side) == 0 ? 0 : ScoreMoves(side, level, scored, report);
  platform::WriteText("nodestats ");
  WriteCount(report.nodes);
  platform::WriteText(" ");
  WriteSeconds(report.microseconds);
  platform::WriteText("\n=== ");
  if (count == 0) {
    platform::WriteText("PA");
  } else {
    WriteMove(scored[0].square, "PA");
    platform::WriteText("/");
    WriteHundredths(scored[0].score);
    platform::WriteText("/");
    WriteSeconds(report.microseconds);
  }
  platform::WriteText("\n");
  Status("");
}

}  // namespace

int RunNBoard(const EngineStart& start) {
  SeedRandom(start.seed);
  StartLine(start.start);
  level = ComLevel(0) >= FirstSearchingLevel ? ComLevel(0) : LastLevel;
  CommandLine line;
  while (ReadCommand(line, false)) {
    if (line.wordCount == 0) continue;
    const char* const command = line.words[0];
    const char* const first = line.wordCount > 1 ? line.words[1] : "";
    const char* const second = line.wordCount > 2 ? line.words[2] : nullptr;
    if (SameWord(command, "quit")) break;
    if (line.cut) {
      Status("command too long");
    } else if (SameWord(command, "nboard")) {
      platform::WriteText("set myname ");
      platform::WriteText(EngineName);
      platform::WriteText("\n");
    } else if (SameWord(command, "set") && SameWord(first, "depth") && second != nullptr) {
      int plies = 0;
      if (ReadCount(second, DeepestAsked, plies)) level = LevelForDepth(plies);
    } else if (SameWord(command, "set") && SameWord(first, "game") && second != nullptr) {
      SetGame(RestOfLine(line, 2));
    } else if (SameWord(command, "move") && line.wordCount == 2) {
      PlayMove(first);
    } else if (SameWord(command, "hint")) {
      Hint(line.wordCount > 1 ? first : nullptr);
    } else if (SameWord(command, "go")) {
      Go();
    } else if (SameWord(command, "ping")) {
      platform::WriteText("pong ");
      platform::WriteText(first);
      platform::WriteText("\n");
    } else if (SameWord(command, "learn")) {
      platform::WriteText("learned\n");
    }
    platform::FlushOutput();
  }
  return 0;
}

}  // namespace reversi::engine
