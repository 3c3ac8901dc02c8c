// The engine protocols in-process: a scripted GTP session of every command, a scripted NBoard
// session (handshake, a game in GGF, go, hint, ping), and what a protocol makes of broken input.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "board/board.h"
#include "com/com.h"
#include "engine/engine.h"
#include "harness.h"
#include "minimax.h"
#include "platform/console.h"

namespace reversi {
namespace {

std::string RunGtpSession(const std::string& input, const Position* start = nullptr) {
  testing::ResetProcessState();
  testing::FeedInput(input);
  EXPECT_EQ(engine::RunGtp({start, 1}), 0);
  return testing::TakeOutput();
}

std::string RunNBoardSession(const std::string& input, int level) {
  testing::ResetProcessState();
  SetComLevel(0, level);
  testing::FeedInput(input);
  EXPECT_EQ(engine::RunNBoard({nullptr, 1}), 0);
  return testing::TakeOutput();
}

TEST(GtpEngine, AnswersEveryCommandAsTheProtocolSays) {
  const struct {
    const char* command;
    const char* answer;
  } session[] = {
      {"protocol_version", "= 2"},
      {"1 name", "=1 reversi"},
      {"2 version", "=2 1.00"},
      {"known_command genmove", "= true"},
      {"known_command fly", "= false"},
      {"boardsize 19", "? unacceptable size"},
      {"boardsize x", "? boardsize needs a number"},
      {"boardsize 8", "= "},
      {"clear_board", "= "},
      {"komi 6.5", "= "},
      {"play black f5", "= "},
      {"play white f5", "? illegal move"},
      {"play white pass", "? illegal move"},  // white has a move
      {"play purple d6", "? play needs a colour and a move"},
      {"play white i9", "? play needs a colour and a move"},
      {"PLAY W D6 # a comment", "= "},
      {"genmove b", "= c4"},  // level 1 with seed 1
      {"showboard",
       "= \n"
       "  a b c d e f g h\n"
       "1 . . . . . . . . 1\n"
       "2 . . . . . . . . 2\n"
       "3 . . . . . . . . 3\n"
       "4 . . X X X . . . 4\n"
       "5 . . . O X X . . 5\n"
       "6 . . . O . . . . 6\n"
       "7 . . . . . . . . 7\n"
       "8 . . . . . . . . 8\n"
       "  a b c d e f g h\n"
       "O to move"},
      {"undo", "= "},
      {"undo", "= "},
      {"final_score", "B+62"},  // the empty squares count for the side ahead
      {"genmove", "? genmove needs a colour"},
      {"fly", "? unknown command"},
      {"7 quit", "=7 "},
      {"name", nullptr},  // after quit nothing more is read
  };
  std::string input;
  std::string expected;
  for (const auto& exchange : session) {
    input += exchange.command;
    input += "\n";
    if (exchange.answer == nullptr) continue;
    expected += exchange.answer;
    expected += "\n\n";
  }
  expected.replace(expected.find("B+62"), 4, "= B+62");
  EXPECT_EQ(RunGtpSession(input), expected);

  const std::string listed = RunGtpSession("list_commands\n");
  for (const char* command :
       {"protocol_version", "name", "version", "known_command", "list_commands", "boardsize",
        "clear_board", "komi", "play", "genmove", "undo", "showboard", "final_score", "quit"}) {
    // Each command on a line of its own; the first one after the answer's "= ".
    std::string line = command;
    line += '\n';
    const bool first = listed.compare(2, line.size(), line) == 0;
    EXPECT_TRUE(first || listed.find('\n' + line) != std::string::npos) << command;
  }
}

// A game played to its end through genmove alone: every move legal, passes where a side has none,
// and the final score counted as Othello counts it (empty squares to the winner).
TEST(GtpEngine, PlaysWholeGamesAtEveryLevel) {
  for (int level = RuleBasedLevel; level <= FirstSearchingLevel; ++level) {
    testing::ResetProcessState();
    SetComLevel(0, level);
    SetComLevel(1, level);
    std::string input;
    for (int turn = 0; turn < 70; ++turn)
      input += turn % 2 == 0 ? "genmove black\n" : "genmove white\n";
    input += "final_score\n";
    testing::FeedInput(input);
    engine::RunGtp({nullptr, 7});
    const std::string output = testing::TakeOutput();
    EXPECT_EQ(output.find('?'), std::string::npos) << output;
    const int black = CountCells(Black);
    const int white = CountCells(White);
    ASSERT_EQ(LegalSquares(0) | LegalSquares(1), SquareSet{0});
    const int margin = black - white;
    const std::string score = margin == 0  ? "= 0"
                              : margin > 0 ? "= B+" + std::to_string(SquareCount - 2 * white)
                                           : "= W+" + std::to_string(SquareCount - 2 * black);
    EXPECT_NE(output.find(score + "\n\n"), std::string::npos) << output;
  }
}

TEST(GtpEngine, SurvivesWhatAControllerShouldNeverSend) {
  std::string longLine(5000, 'a');
  const std::string output = RunGtpSession(
      longLine + "\n\x01\x02\x7f\n\n   \n#only a comment\n99999999999999999999 name\n" +
      "undo\nplay b\nplay b a1 extra\n");
  EXPECT_EQ(output,
            "? command too long\n\n"
            "=99999999999999999999 reversi\n\n"
            "? cannot undo\n\n"
            "? play needs a colour and a move\n\n"
            "? play needs a colour and a move\n\n");
}

TEST(NBoardEngine, AnswersHandshakeGameGoHintAndPing) {
  const std::string ggf =
      "(;GM[Othello]PC[NBoard]DT[2014-02-21 20:52:27 GMT]PB[x]PW[y]RE[?]TI[15:00]TY[8]"
      "BO[8 ---------------------------O*------*O--------------------------- *]"
      "B[F5]W[F6]B[D3]W[C5]B[E6]W[F7]B[E7]W[F4];)";
  const std::string output =
      RunNBoardSession("nboard 2\nset depth 4\nset game " + ggf +
                           "\nset contempt 0\nping 1\ngo\nhint 3\nmove d6/0.5/1.2\nping 2\n"
                           "set game (;BO[8 --]B[f5];)\nset game (;GM[Othello]BO[8 " +
                           std::string(27, '-') + "O*------*O" + std::string(27, '-') +
                           " *]B[a1];)\nhint 1\nlearn\nunknown words\nquit\nping 3\n",
                       FirstSearchingLevel);
  // The moves and scores are the search's own; times and node counts differ from run to run.
  const std::string shape = std::regex_replace(
      std::regex_replace(output, std::regex(R"([a-h][1-8](/| )-?\d+\.\d\d)"), "M$1V"),
      std::regex(R"(/\d+\.\d\d|nodestats \d+ \d+\.\d\d)"), "/T");
  EXPECT_EQ(shape,
            "set myname reversi\n"
            "pong 1\n"
            "status thinking\n"
            "/T\n"
            "=== M/V/T\n"
            "status \n"
            "status thinking\n"
            "search M V 0 4\n"
            "search M V 0 4\n"
            "search M V 0 4\n"
            "status \n"
            "pong 2\n"
            "status cannot read the game\n"
            "status illegal move in the game\n"
            "status thinking\n"
            "search M V 0 4\n"
            "status \n"
            "learned\n");
  // The move that go gives is the best of the hint, with the same score.
  const auto go = output.find("=== ");
  const auto hint = output.find("search ");
  EXPECT_EQ(output.substr(go + 4, 2), output.substr(hint + 7, 2));
}

// Scores of an ending read through "set game" equal those of plain minimax, in discs.
TEST(NBoardEngine, HintScoresAnEndingExactly) {
  // A corner fight with 10 empty squares; black to move.
  const char* cells =
      "--OOOOO-"
      "-XXXXXO-"
      "XXXOXOOO"
      "XXOXOXOO"
      "XOXXOXOO"
      "XOOXXOXO"
      "--XXXXX-"
      "-XXXXXX-";
  const std::string ggf = std::string("(;GM[Othello]BO[8 ") + cells + " *];)";
  const std::string output = RunNBoardSession("set game " + ggf + "\nhint 64\n", LastLevel);
  testing::ResetProcessState();
  Position position = {};
  const std::string text = std::string(cells) + " X";
  ASSERT_EQ(ReadPositionText(text.data(), static_cast<int>(text.size()), position).fault,
            PositionFault::None);
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      Board[row][col] = position.cells[row][col];
  }
  int lines = 0;
  for (SquareSet legal = LegalSquares(0); legal != 0; legal &= legal - 1, ++lines) {
    const int index = std::countr_zero(legal);
    const BoardState before = ReadBoardState();
    PlaceDisc(index / BoardSize, index % BoardSize, 0);
    const int score = -testing::SolveByMinimax(1);
    WriteBoardState(before);
    char move[MoveTextLength + 1] = {};
    WriteMoveText(SquareCode(index / BoardSize, index % BoardSize), move);
    const std::string line = std::string("search ") + move + " " + std::to_string(score) + ".00";
    EXPECT_NE(output.find(line + " 0 10\n"), std::string::npos) << line << "\n" << output;
  }
  EXPECT_GT(lines, 0);
}

}  // namespace
}  // namespace reversi
