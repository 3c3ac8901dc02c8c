// Taking turns back (--undo), games that start after given moves (--from) and a recorded game
// continued (--resume), played in-process through the real command line. The heart of it is one
// property of every take-back: the screen it returns to is, byte for byte, the screen that was
// shown when that turn was first to be played, and whatever follows the same answer there follows
// again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "board/board.h"
#include "cp932.h"
#include "game/game.h"
#include "game/texts.h"
#include "harness.h"
#include "platform/console.h"

namespace reversi {
namespace {

using Arguments = std::vector<std::string>;

struct Outcome {
  int exitCode;
  std::string output;  // CP932, as written
  std::string errors;
};

// Reads `arguments` as main would and, when they start a game, plays `input` through the run.
Outcome Play(const Arguments& arguments, const std::string& input) {
  testing::ResetProcessState();
  std::vector<char*> argv = {const_cast<char*>("reversi")};
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  ::testing::internal::CaptureStderr();
  const int status = app::ReadCommandLine(static_cast<int>(argv.size()), argv.data());
  Outcome run = {status, "", ::testing::internal::GetCapturedStderr()};
  if (status == app::StartTheGame) {
    testing::FeedInput(input);
    run.exitCode = RunGame();
  }
  run.output = testing::TakeOutput();
  return run;
}

std::string PlayedOutput(const Arguments& arguments, const std::string& input) {
  const Outcome run = Play(arguments, input);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  return run.output;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
       from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "reversi-take-back-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Repeated(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i)
    repeated += text;
  return repeated;
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// Checks a one-game session screen by screen against the numbers it was typed. Each board screen
// is its drawing (from the clear to the first prompt) and what followed. A COM screen ends in the
// COM's ">code" line; on a human or result screen each prompt took one number, the last one the
// answer. After an answer of 98 the next screen must be the drawing of the human screen it takes
// back to (the previous one, or from the result screen the last one); and an answer given again on
// a screen drawn again must lead to the same screens as before. Returns the take-backs seen.
int CheckTakeBacks(const std::string& output, const std::string& input) {
  std::istringstream numbers(input);
  std::vector<std::string> screens = Split(output, platform::ClearSequence);
  for (int i = 0; i < Occurrences(screens[0], ">"); ++i) {  // the mode prompt
    std::string ignored;
    numbers >> ignored;
  }
  std::vector<std::string> kept;                  // drawings of the human screens kept
  std::map<std::string, std::string> followedBy;  // drawing + answer -> the drawings after
  std::string expected;                           // the drawing a take-back must give
  std::string pendingKey;
  std::string sinceAnswer;
  int takeBacks = 0;
  for (std::size_t i = 1; i < screens.size(); ++i) {
    const std::string& screen = screens[i];
    const std::size_t prompt = screen.find('>');
    const std::string drawing = screen.substr(0, prompt);
    const bool com = prompt != std::string::npos && prompt + 1 < screen.size() &&
                     screen[prompt + 1] >= '0' && screen[prompt + 1] <= '9';
    if (!expected.empty()) {
      EXPECT_EQ(drawing, expected) << "screen " << i;
    }
    expected.clear();
    sinceAnswer += com ? screen : drawing;
    if (com) continue;
    if (!pendingKey.empty()) {
      const auto [place, isNew] = followedBy.emplace(pendingKey, sinceAnswer);
      if (!isNew) {
        EXPECT_EQ(sinceAnswer, place->second) << "screen " << i;
      }
      pendingKey.clear();
    }
    const bool result = drawing.find(texts::JapaneseSet.finalPrompt) != std::string::npos ||
                        drawing.find(texts::EnglishSet.finalPrompt) != std::string::npos;
    if (!result) kept.push_back(drawing);
    std::string answer;
    for (int prompts = Occurrences(screen, ">"); prompts > 0; --prompts)
      numbers >> answer;
    if (answer != "98") {
      pendingKey = drawing + answer;
      sinceAnswer.clear();
      continue;
    }
    ++takeBacks;
    if (!result) kept.pop_back();
    EXPECT_FALSE(kept.empty()) << "98 was taken with nothing to take back, screen " << i;
    if (kept.empty()) break;
    expected = kept.back();
    kept.pop_back();
  }
  return takeBacks;
}

// A whole game of Player vs COM with --seed=11 (the human's moves), and Player vs Player with
// passes: black has to pass after white's 13 and again after white gives up a turn with 0.
constexpr char ComGame[] =
    "34 63 52 56 65 41 25 47 57 73 68 32 42 15 37 22 62 26 77 17 12 76 75 72 13 82 71 74 27 87 ";
constexpr char PlayersWithPasses[] = "11 34 33 32 22 56 31 11 13 0 ";

TEST(UndoOption, TakesBackToScreensIdenticalToTheFirstShowing) {
  const std::string comGame = ComGame;
  const std::string players = PlayersWithPasses;
  const std::string twelveMoves = "46 43 67 63 52 42 65 25 32 72 15 74 ";
  const struct {
    Arguments arguments;
    std::string input;
    int takeBacks;  // 98s that took a turn back
    int refusals;   // 98s with nothing to take back
  } cases[] = {
      // Two people: at the first turn, after a move, after each pass, after a break-off.
      {{"--seed=1"}, "0 98 34 98 98 " + players + "98 0 98 98 0 99 98 98 99 99", 6, 2},
      {{"--last-move", "--hints"}, "0 34 33 98 33 98 98 " + players + "98 99 98 99 99", 5, 0},
      // Against the COM: to the first turn and no further, through the whole game and its
      // late-game rule, and from the result screen back over the last three turns and on again.
      {{"--seed=11"}, "1 98 34 63 98 98 98 " + comGame + "98 98 98 74 27 87 99", 5, 2},
      {{"--seed=11", "--english", "--last-move", "--hints"},
       "1 34 63 52 56 98 98 52 56 65 98 99 98 98 98 99 99",
       6,
       0},
      // The COM opening: its first move cannot be taken back, a human's can, over the COM's.
      {{"--seed=12"}, "2 98 46 64 98 64 35 33 27 98 98 98 46 99 99", 4, 1},
      {{"--seed=12", "--last-move"}, "2 46 64 35 99 98 98 98 0 99", 3, 0},
      // Twelve turns back to the first and the same moves again: the COM answers with the same
      // coin, which decides some of its replies in this game.
      {{"--seed=1"},
       "2 " + twelveMoves + "98 98 98 98 98 98 98 98 98 98 98 98 " + twelveMoves + "99 99",
       12,
       0},
      // Turns given up without end: the newest 256 screens are kept, and taking back stops there.
      {{}, "0 " + Repeated("0 ", 300) + Repeated("98 ", 300) + "99 99", 255, 45},
      // COM vs COM: nothing a human took, so nothing to take back.
      {{"--seed=3"}, "3 98 99", 0, 1},
      // After given moves: the game starts there; only its own turns can be taken back.
      {{"--seed=5", "--from=f5d6"}, "1 98 33 98 98 33 99 98 99 99", 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    Arguments arguments = c.arguments;
    arguments.push_back("--undo");
    const std::string output = PlayedOutput(arguments, c.input);
    EXPECT_EQ(CheckTakeBacks(output, c.input), c.takeBacks);
    EXPECT_EQ(Occurrences(output, "input[98]:"), c.refusals);
    // Every board screen carries the extra instruction line, under the break-off line.
    bool english = false;
    for (const std::string& argument : c.arguments)
      english = english || argument == "--english";
    const texts::TextSet& text = english ? texts::EnglishSet : texts::JapaneseSet;
    EXPECT_EQ(Occurrences(output, std::string(text.breakOffHint) + text.undoHint.bytes),
              Occurrences(output, platform::ClearSequence));
  }
}

TEST(UndoOption, AddsOnlyItsLineUntil98IsTyped) {
  const std::string input = std::string("1 ") + ComGame + "0 0 99 99";
  std::string plain = PlayedOutput({"--seed=11"}, input);
  std::string undo = PlayedOutput({"--seed=11", "--undo"}, input);
  for (auto at = undo.find(texts::japanese::UndoHint); at != std::string::npos;
       at = undo.find(texts::japanese::UndoHint, at))
    undo.erase(at, sizeof texts::japanese::UndoHint - 1);
  EXPECT_EQ(undo, plain);
  // Without the option, 98 is refused like any other number that is no square.
  EXPECT_NE(PlayedOutput({}, "0 98 99 99").find("input[98]:error\n"), std::string::npos);
  EXPECT_EQ(testing::Cp932ToUtf8(texts::japanese::UndoHint),
            "*一手戻すときは「98+Enter」を入力してください。\n");
  EXPECT_EQ(testing::Cp932ToUtf8(texts::japanese::NothingToTakeBackTail),
            "]:戻せる手がありません！\n");
}

TEST(UndoOption, WritesOneRecordLinePerGameWhenItsResultIsLeft) {
  const std::string path = TempPath("undo.txt");
  const std::string plainPath = TempPath("plain.txt");
  std::remove(path.c_str());
  std::remove(plainPath.c_str());
  // A game broken off, taken back into from its result screen and played on, then a new game;
  // then a game whose run ends at its result screen. Each line is the game as finally played,
  // as the same games typed without a take-back record it.
  PlayedOutput({"--undo", "--seed=11", "--record=" + path}, "1 34 99 98 63 99 98 98 52 99 0 3 0");
  PlayedOutput({"--undo", "--seed=4", "--record=" + path}, "1 34 98 56 99");
  PlayedOutput({"--seed=11", "--record=" + plainPath}, "1 34 52 99 0 3 0");
  PlayedOutput({"--seed=4", "--record=" + plainPath}, "1 56 99");
  EXPECT_EQ(Split(ReadFile(path), "\n").size(), 4U);
  EXPECT_EQ(ReadFile(path), ReadFile(plainPath));
  std::remove(path.c_str());
  std::remove(plainPath.c_str());
}

// The first number of the LCG's sequence after `draws` draws from `seed`, as a seed: a game
// seeded with it draws on from where a game seeded with `seed` stood after `draws` COM turns.
std::uint32_t SeedAfterDraws(std::uint32_t seed, int draws) {
  for (int i = 0; i < draws; ++i)
    seed = seed * 22695477U + 1U;
  return seed;
}

TEST(FromOption, StartsWhereTheRecordedGameStoodAfterTheGivenMoves) {
  const std::string path = TempPath("from.txt");
  std::remove(path.c_str());
  // A COM vs COM game and a game of two people with passes, recorded.
  const std::string comGame = PlayedOutput({"--seed=21", "--record=" + path}, "3 99");
  const std::string players =
      PlayedOutput({"--record=" + path}, std::string("0 ") + PlayersWithPasses + "99 99");
  const std::vector<std::string> lines = Split(ReadFile(path), "\n");
  ASSERT_EQ(lines.size(), 3U);
  std::remove(path.c_str());
  const std::string comMoves = lines[0].substr(0, lines[0].find(' '));
  const std::string playerMoves = lines[1].substr(0, lines[1].find(' '));
  const std::vector<std::string> comScreens = Split(comGame, platform::ClearSequence);
  const std::vector<std::string> playerScreens = Split(players, platform::ClearSequence);
  const struct {
    bool com;
    int movesGiven;     // moves of the recorded line the game starts after
    int screensBefore;  // the recorded game's board screens before that point
    int numbersTyped;   // of the players' input, the numbers that the given moves stand for
  } cases[] = {
      {true, 0, 0, 0},
      {true, 1, 1, 0},
      {true, 23, 23, 0},
      {true, 47, 47, 0},
      {true, 50, 50, 0},
      {true, 53, 53, 0},  // white has just had to pass: the COM's after-a-pass rule plays next
      // The players' first number is refused; after their eighth move black has to pass, and
      // after the ninth (white gives up a turn) again.
      {false, 4, 4, 5},
      {false, 8, 8, 9},
      {false, 9, 9, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.movesGiven);
    const std::string moves = (c.com ? comMoves : playerMoves).substr(0, 2 * c.movesGiven);
    std::string output;
    std::vector<std::string> original;
    if (c.com) {
      // A COM turn draws once: the seed is moved on by the draws of the turns given.
      const std::string seed = std::to_string(SeedAfterDraws(21, c.movesGiven));
      output = PlayedOutput({"--seed=" + seed, "--from=" + moves}, "3 99");
      original = comScreens;
    } else {
      std::string rest = PlayersWithPasses;
      for (int i = 0; i < c.numbersTyped; ++i)
        rest = rest.substr(rest.find(' ') + 1);
      output = PlayedOutput({"--from=" + moves}, "0 " + rest + "99 99");
      original = playerScreens;
    }
    const std::vector<std::string> screens = Split(output, platform::ClearSequence);
    ASSERT_EQ(screens.size() - 1, original.size() - 1 - c.screensBefore);
    for (std::size_t i = 1; i < screens.size(); ++i)
      EXPECT_EQ(testing::Cp932ToUtf8(screens[i]),
                testing::Cp932ToUtf8(original[i + c.screensBefore]))
          << "screen " << i;
  }
  // Given moves leave PassFlag as two people would: set by a pass, and nothing after it clears it,
  // where in the COM game the move after the pass did. So at move 59 the COM still plays its
  // after-a-pass rule (the first legal square, 13) where the COM game played 82.
  const std::string afterPass = PlayedOutput(
      {"--seed=" + std::to_string(SeedAfterDraws(21, 58)), "--from=" + comMoves.substr(0, 2 * 58)},
      "3 99");
  EXPECT_NE(comScreens[59].find(">82\n"), std::string::npos);
  EXPECT_NE(Split(afterPass, platform::ClearSequence)[1].find(">13\n"), std::string::npos);
  // With --last-move the first screen lists nothing, like any game's first screen.
  const std::string listed = PlayedOutput({"--last-move", "--from=f5d6"}, "0 99 99");
  EXPECT_EQ(Occurrences(listed, texts::japanese::LastMoveLead), 0);
}

TEST(FromAndResume, RefuseWhatCannotStartAGame) {
  const std::string record = TempPath("resume.txt");
  const struct {
    Arguments arguments;
    const char* file;  // written to `record` first, when not null
    int exitCode;
    std::string firstLine;  // of standard error when refused; else of standard output
  } cases[] = {
      {{"--from="}, nullptr, 0, texts::japanese::ModePrompt},
      {{"--from", "F5D6pAf4"}, nullptr, 0, texts::japanese::ModePrompt},
      {{"--from=f5d6z9"}, nullptr, 2, "reversi: --from: move 3 'z9' is not a square a1..h8 nor PA"},
      {{"--from=f5d"}, nullptr, 2, "reversi: --from: move 2 'd' is not a square a1..h8 nor PA"},
      {{"--from=f5f5"}, nullptr, 2, "reversi: --from: move 2 'f5' is not a legal move for white"},
      {{"--from=f5d6c3d3c3"},
       nullptr,
       2,
       "reversi: --from: move 5 'c3' is not a legal move for black"},
      // The shortest game: after nine moves white has no disc left.
      {{"--from=d3c3b3d2e1d6d7e3f4"},
       nullptr,
       2,
       "reversi: --from: the game is over after these moves"},
      {{"--from=d3c3b3d2e1d6d7e3f4PA"},
       nullptr,
       2,
       "reversi: --from: move 10 'PA' comes after neither side can move"},
      {{"--from=a", "--resume=x"},
       nullptr,
       2,
       "reversi: --from and --resume cannot be used together"},
      {{"--resume=" + record}, "d3c3 3-3\n", 0, texts::japanese::ModePrompt},
      {{"--resume=" + record}, "f5d6 3-3\nd3c3 3-3", 0, texts::japanese::ModePrompt},
      {{"--resume=" + record}, "d3c3 3-3\r\n", 0, texts::japanese::ModePrompt},
      {{"--resume=" + record}, "", 2, "reversi: the record file '" + record + "' holds no game"},
      {{"--resume=" + record},
       "d3c3 3-3\nd3c3b3d2e1d6d7e3f4 13-0\n",
       2,
       "reversi: the last game in '" + record + "' is finished"},
      {{"--resume=" + record},
       "d3c3 3-3\nkept\n",
       2,
       "reversi: line 2 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       "d3 c3 3-3\n",
       2,
       "reversi: line 1 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       "d3c3 4-2\n",
       2,
       "reversi: line 1 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       "d3c3 3-3\n\n",
       2,
       "reversi: line 2 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       "d3c3 3-\n",
       2,
       "reversi: line 1 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       "d3d3 3-3\n",
       2,
       "reversi: line 1 of '" + record + "' is not a record line"},
      {{"--resume=" + record},
       " 2-2\nd3c3",
       2,
       "reversi: line 2 of '" + record + "' is not a record line"},
      {{"--resume=/nonexistent/games.txt"},
       nullptr,
       2,
       "reversi: cannot read the record file '/nonexistent/games.txt': No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back() + (c.file == nullptr ? "" : std::string(" ") + c.file));
    if (c.file != nullptr) std::ofstream(record, std::ios::binary | std::ios::trunc) << c.file;
    const Outcome run = Play(c.arguments, "");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.errors;
    const std::string& stream = c.exitCode == 0 ? run.output : run.errors;
    EXPECT_EQ(stream.substr(0, stream.find('\n') + (c.exitCode == 0 ? 1 : 0)), c.firstLine);
    if (c.exitCode == 2) {
      EXPECT_EQ(run.output, "");
      EXPECT_EQ(Split(run.errors, "\n").size(), 3U) << "one line and the usage hint";
    }
  }
  std::remove(record.c_str());
}

// The position text of the board after `moves` (record notation, no passes among them), with the
// side to move after them.
std::string PositionAfter(const std::string& moves) {
  ResetBoardState();
  InitBoard();
  int side = 0;
  for (std::size_t at = 0; at < moves.size(); at += MoveTextLength) {
    const int square = ReadMoveText(moves[at], moves[at + 1]);
    EXPECT_EQ(PlaceDisc(SquareRow(square), SquareColumn(square), side), 1) << moves;
    side = OtherSide(side);
  }
  Position position = {};
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      position.cells[row][col] = Board[row][col];
  }
  position.side = side;
  char text[PositionTextLength];
  WritePositionText(position, text);
  return std::string(text, PositionTextLength);
}

// A game from a given board is the game after the moves that led to it: the same screens, the
// same COM moves (the turns taken are counted from the discs, as the COM's late-game rule needs);
// moves given with --from are played on the board; what cannot start a game is refused.
TEST(PositionOption, PlaysOnAsAfterTheMovesThatLedThere) {
  const std::string moves = "f5d6c3d3c4f4f6f3e6e7";
  for (const int given : {1, 2, 7, 10}) {
    SCOPED_TRACE(given);
    const std::string prefix = moves.substr(0, MoveTextLength * given);
    EXPECT_EQ(PlayedOutput({"--seed=4", "--position=" + PositionAfter(prefix)}, "3 99"),
              PlayedOutput({"--seed=4", "--from=" + prefix}, "3 99"));
  }
  EXPECT_EQ(PlayedOutput({"--position=" + PositionAfter("f5d6"), "--from=c3"}, "0 99 99"),
            PlayedOutput({"--from=f5d6c3"}, "0 99 99"));
  // White to move without a move on this board: black plays on, as after a forced pass.
  std::string blackOnly = PositionAfter("");
  blackOnly.replace(0, 3, "XO-");
  blackOnly.replace(27, 2, "XX").replace(35, 2, "XX");
  blackOnly.back() = 'O';
  const std::string passed = PlayedOutput({"--english", "--position=" + blackOnly}, "0 13 99 99");
  EXPECT_NE(testing::Cp932ToUtf8(passed).find("Turn: ○\n"), std::string::npos);
  EXPECT_NE(passed.find("Black wins!"), std::string::npos);

  const std::string start = PositionAfter("");
  std::string full(SquareCount, 'X');
  const struct {
    Arguments arguments;
    std::string error;
  } refused[] = {
      {{"--position=" + start.substr(0, 10)},
       "reversi: --position: the board has 10 squares, not 64"},
      {{"--position=" + start.substr(0, 20) + "#" + start.substr(21)},
       "reversi: --position: square e3 is not X, O or -"},
      {{"--position=" + start.substr(0, SquareCount)},
       "reversi: --position: the 64 squares must be followed by a blank and the side to move, X "
       "or O"},
      {{"--position=" + start + " f5"}, "reversi: --position: text after the side to move"},
      {{"--position=" + full + " O"}, "reversi: --position: the game is over on this board"},
      {{"--position=" + start, "--from=f5f5"},
       "reversi: --from: move 2 'f5' is not a legal move for white"},
      {{"--position=" + start, "--resume=x"},
       "reversi: --position and --resume cannot be used together"},
      {{"--position=" + start, "--record=x"},
       "reversi: --position and --record cannot be used together"},
  };
  for (const auto& c : refused) {
    const Outcome run = Play(c.arguments, "");
    EXPECT_EQ(run.exitCode, 2) << c.error;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(Split(run.errors, "\n")[0], c.error);
  }
}

TEST(ResumeOption, GoesOnWithTheLastGameAndAppendsItWhole) {
  const std::string path = TempPath("go-on.txt");
  std::remove(path.c_str());
  PlayedOutput({"--record=" + path}, "3 0 0 34 33 99 99");  // a COM game, then one broken off
  const std::string before = ReadFile(path);
  const std::vector<std::string> lines = Split(before, "\n");
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[1], "d3c3 3-3");
  // The game goes on after d3c3, as one started after those moves; the next game of the run
  // starts as usual.
  EXPECT_EQ(PlayedOutput({"--resume=" + path}, "0 32 99 99"),
            PlayedOutput({"--from=d3c3"}, "0 32 99 99"));
  // The next game is broken off before its first move: it leaves no line.
  PlayedOutput({"--resume=" + path, "--record=" + path}, "0 32 99 0 0 99 99");
  EXPECT_EQ(ReadFile(path), before + "d3c3b3 5-2\n");
  std::remove(path.c_str());
}

}  // namespace
}  // namespace reversi
