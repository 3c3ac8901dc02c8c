// The keyboard dialogues and whole sessions of the driver, played in-process on chosen input. The
// output is decoded from CP932 and compared in full against readable expected text.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "board/board.h"
#include "cp932.h"
#include "expected_text.h"
#include "game/game.h"
#include "harness.h"

namespace reversi {
namespace {

using testing::BoardPicture;
using testing::Cp932ToUtf8;
using testing::FeedInput;
using testing::TakeOutput;
using namespace testing::expected;

constexpr char StartPicture[] =
    "........\n"
    "........\n"
    "........\n"
    "...OX...\n"
    "...XO...\n"
    "........\n"
    "........\n"
    "........\n";

class DialogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ResetProcessState();
    InitBoard();
  }
};

// ---- ReadGameMode -------------------------------------------------------------------------------

struct ReadCase {
  const char* input;
  int result;
  const char* output;
};

const ReadCase ModeCases[] = {
    {"0\n", PlayerVsPlayer, ">"},
    {"3\n", ComVsCom, ">"},
    {"4\n0\n", PlayerVsPlayer, ">input[4]:error\n>"},
    {"-1\n1\n", PlayerVsCom, ">input[-1]:error\n>"},
    {"99\n2\n", ComVsPlayer, ">input[99]:error\n>"},
    {"a\n2\n", ComVsPlayer, ">input error\n>"},
    // Empty and blank lines are skipped without a new prompt.
    {"\n \n\t\r\n  2\n", ComVsPlayer, ">"},
    // Two numbers on one line are two answers.
    {"7 2\n", ComVsPlayer, ">input[7]:error\n>"},
    {"+1\n", PlayerVsCom, ">"},
    {"-0\n", PlayerVsPlayer, ">"},
    {"0000000000000000000000000000003\n", ComVsCom, ">"},
    // A line without a number is thrown away whole, numbers after the letters included.
    {"abc 1\n2\n", ComVsPlayer, ">input error\n>"},
    {"- 1\n2\n", ComVsPlayer, ">input error\n>"},
    {"\x81\x9B\n0\n", PlayerVsPlayer, ">input error\n>"},
    {"1\r\n", PlayerVsCom, ">"},
    {"x\r\n1\r\n", PlayerVsCom, ">input error\n>"},
    // Numbers beyond int are refused as unreadable, with the rest of their line: C would wrap
    // 4294967298 to 2.
    {"4294967298\n1\n", PlayerVsCom, ">input error\n>"},
    {"99999999999 2\n1\n", PlayerVsCom, ">input error\n>"},
    {"2147483648\n1\n", PlayerVsCom, ">input error\n>"},
    {"-2147483649\n1\n", PlayerVsCom, ">input error\n>"},
    {"99999999999999999999999999999999\n1\n", PlayerVsCom, ">input error\n>"},
    // The extremes of int are numbers like any other.
    {"2147483647\n1\n", PlayerVsCom, ">input[2147483647]:error\n>"},
    {"-2147483648\n1\n", PlayerVsCom, ">input[-2147483648]:error\n>"},
    // The end of input before any part of a number closes the prompt's line and gives up.
    {"", InputEnded, ">\n"},
    {" \n\n\t", InputEnded, ">\n"},
    {"4\n", InputEnded, ">input[4]:error\n>\n"},
    {"abc", InputEnded, ">input error\n>\n"},
    {"-", InputEnded, ">input error\n>\n"},
    {"+", InputEnded, ">input error\n>\n"},
    {"99999999999", InputEnded, ">input error\n>\n"},
};

TEST_F(DialogueTest, ReadGameMode) {
  for (const ReadCase& c : ModeCases) {
    FeedInput(c.input);
    EXPECT_EQ(ReadGameMode(ComVsCom - 1), c.result) << "input \"" << c.input << '"';
    EXPECT_EQ(Cp932ToUtf8(TakeOutput()), c.output) << "input \"" << c.input << '"';
  }
}

// ---- ReadHumanMove ------------------------------------------------------------------------------

struct MoveCase {
  int side;
  const char* input;
  int result;
  const char* output;
  const char* boardAfter;  // nullptr: the start position, untouched
};

constexpr char AfterBlack34[] =
    "........\n"
    "........\n"
    "...X....\n"
    "...XX...\n"
    "...XO...\n"
    "........\n"
    "........\n"
    "........\n";
constexpr char AfterWhite35[] =
    "........\n"
    "........\n"
    "....O...\n"
    "...OO...\n"
    "...XO...\n"
    "........\n"
    "........\n"
    "........\n";

const MoveCase MoveCases[] = {
    {0, "99\n", QuitRequested, ">", nullptr},
    {0, "0\n", MoveDone, ">", nullptr},
    {1, "0\n", MoveDone, ">", nullptr},
    {0, "099\n", QuitRequested, ">", nullptr},
    {0, "+99\n", QuitRequested, ">", nullptr},
    {0, "000\n", MoveDone, ">", nullptr},
    {0, "34\n", MoveDone, ">", AfterBlack34},
    {0, "034\n", MoveDone, ">", AfterBlack34},
    {0, "\n\n  \n34\n", MoveDone, ">", AfterBlack34},
    {0, "34\r\n", MoveDone, ">", AfterBlack34},
    {1, "35\n", MoveDone, ">", AfterWhite35},
    // Not a square: wrong tens or units digit, or out of range.
    {0, "10\n0\n", MoveDone, ">input[10]:error\n>", nullptr},
    {0, "89\n0\n", MoveDone, ">input[89]:error\n>", nullptr},
    {0, "19\n0\n", MoveDone, ">input[19]:error\n>", nullptr},
    {0, "20\n0\n", MoveDone, ">input[20]:error\n>", nullptr},
    {0, "80\n0\n", MoveDone, ">input[80]:error\n>", nullptr},
    {0, "-34\n0\n", MoveDone, ">input[-34]:error\n>", nullptr},
    {0, "-99\n0\n", MoveDone, ">input[-99]:error\n>", nullptr},
    {0, "1\n0\n", MoveDone, ">input[1]:error\n>", nullptr},
    {0, "100\n0\n", MoveDone, ">input[100]:error\n>", nullptr},
    {0, "134\n0\n", MoveDone, ">input[134]:error\n>", nullptr},
    // Squares, but not playable: 11 and 88 pass the form tests, 44 and 45 are occupied, 35 and 34
    // capture nothing for black and white respectively.
    {0, "11\n0\n", MoveDone, ">input[11]:そこには置けません！\n>", nullptr},
    {0, "88\n0\n", MoveDone, ">input[88]:そこには置けません！\n>", nullptr},
    {0, "44\n0\n", MoveDone, ">input[44]:そこには置けません！\n>", nullptr},
    {0, "45\n0\n", MoveDone, ">input[45]:そこには置けません！\n>", nullptr},
    {0, "35\n0\n", MoveDone, ">input[35]:そこには置けません！\n>", nullptr},
    {1, "34\n0\n", MoveDone, ">input[34]:そこには置けません！\n>", nullptr},
    // Several rejections in a row, then a move.
    {0, "x\n10\n11\n34\n", MoveDone,
     ">input error\n>input[10]:error\n>input[11]:そこには置けません！\n>", AfterBlack34},
    // C's "%d" would wrap 4294967395 to 99 and end the game; it is refused instead.
    {0, "4294967395\n0\n", MoveDone, ">input error\n>", nullptr},
    {0, "99999999999 34\n0\n", MoveDone, ">input error\n>", nullptr},
    {0, "", InputEnded, ">\n", nullptr},
    {0, "\n\n", InputEnded, ">\n", nullptr},
    {0, "abc", InputEnded, ">input error\n>\n", nullptr},
    {0, "abc\n", InputEnded, ">input error\n>\n", nullptr},
    {0, "-", InputEnded, ">input error\n>\n", nullptr},
    {0, "11\n", InputEnded, ">input[11]:そこには置けません！\n>\n", nullptr},
};

TEST_F(DialogueTest, ReadHumanMove) {
  for (const MoveCase& c : MoveCases) {
    ResetBoardState();
    InitBoard();
    FeedInput(c.input);
    const std::string what = "side " + std::to_string(c.side) + " input \"" + c.input + '"';
    int played = -1;
    EXPECT_EQ(ReadHumanMove(c.side, played), c.result) << what;
    // The turn tells the square it placed, and nothing for a turn without a disc.
    const int placed = c.boardAfter == AfterBlack34   ? 34
                       : c.boardAfter == AfterWhite35 ? 35
                                                      : NoSquareCode;
    EXPECT_EQ(played, placed) << what;
    EXPECT_EQ(Cp932ToUtf8(TakeOutput()), c.output) << what;
    EXPECT_EQ(BoardPicture(), c.boardAfter ? c.boardAfter : StartPicture) << what;
    // A human turn never counts itself or touches the pass state; the driver does that.
    EXPECT_EQ(MoveCount, 0) << what;
    EXPECT_EQ(PassFlag, 0) << what;
  }
}

// What follows a number on its line stays for the next prompt, where letters are refused.
TEST_F(DialogueTest, LettersAfterAMoveAreRefusedAtTheNextPrompt) {
  FeedInput("34abc\n0\n");
  EXPECT_EQ(ReadHumanMove(0), MoveDone);
  EXPECT_EQ(BoardPicture(), AfterBlack34);
  EXPECT_EQ(ReadHumanMove(1), MoveDone);
  EXPECT_EQ(Cp932ToUtf8(TakeOutput()), ">>input error\n>");
  EXPECT_EQ(BoardPicture(), AfterBlack34);
}

TEST_F(DialogueTest, TwoNumbersOnOneLineAnswerTwoPrompts) {
  FeedInput("34 99\n");
  EXPECT_EQ(ReadHumanMove(0), MoveDone);
  EXPECT_EQ(ReadHumanMove(1), QuitRequested);
  EXPECT_EQ(Cp932ToUtf8(TakeOutput()), ">>");
}

// Once the input has ended every further read ends at once instead of waiting or spinning.
TEST_F(DialogueTest, EndedInputStaysEnded) {
  FeedInput("");
  EXPECT_EQ(ReadGameMode(ComVsCom - 1), InputEnded);
  EXPECT_EQ(ReadHumanMove(0), InputEnded);
  EXPECT_EQ(ReadGameMode(ComVsCom - 1), InputEnded);
  EXPECT_EQ(Cp932ToUtf8(TakeOutput()), ">\n>\n>\n");
}

// ---- Whole sessions -----------------------------------------------------------------------------

using testing::RunSession;

std::string Session(std::string_view input) {
  return Cp932ToUtf8(RunSession(input));
}

const std::string BlackStart = Screen(BlackTurn, StartRows);
const std::string WhiteStart = Screen(WhiteTurn, StartRows);

TEST(SessionTest, BrokenOffAtTheFirstMoveIsADrawOfTwoAgainstTwo) {
  EXPECT_EQ(Session("1\n99\n99\n"),
            std::string(ModeMenu) + ">" + BlackStart + ">" + StartResult() + ">");
  EXPECT_EQ(MoveCount, 1);
  EXPECT_EQ(PassFlag, 0);
}

TEST(SessionTest, CrLfLineEndsPlayTheSameSession) {
  EXPECT_EQ(Session("1\r\n99\r\n99\r\n"), Session("1\n99\n99\n"));
}

// A number too large for int must not wrap to 99 and break the game off.
TEST(SessionTest, OverflowingNumberDoesNotQuit) {
  EXPECT_EQ(Session("1\n4294967395\n99\n99\n"),
            std::string(ModeMenu) + ">" + BlackStart + ">input error\n>" + StartResult() + ">");
}

// 0 ends a turn without a move: the turn passes on and is counted, but it is not a pass.
TEST(SessionTest, ZeroSkipsATurnWithoutPassing) {
  EXPECT_EQ(Session("0\n0\n0\n99\n99\n"), std::string(ModeMenu) + ">" + BlackStart + ">" +
                                              WhiteStart + ">" + BlackStart + ">" + StartResult() +
                                              ">");
  EXPECT_EQ(MoveCount, 3);
  EXPECT_EQ(PassFlag, 0);
}

// Black plays 34 33 32 22 56 31 11, white answers with 13 and black is left without a move.
constexpr char PassGame[] = "0\n34\n33\n32\n22\n56\n31\n11\n13\n99\n99\n";
constexpr char RowsBeforePass[] =
    "10○・・・・・・・\n"
    "20・○・・・・・・\n"
    "30●●○○・・・・\n"
    "40・・・○○・・・\n"
    "50・・・○○○・・\n"
    "60・・・・・・・・\n"
    "70・・・・・・・・\n"
    "80・・・・・・・・\n";
constexpr char RowsAfterPass[] =
    "10○・●・・・・・\n"
    "20・●・・・・・・\n"
    "30●●○○・・・・\n"
    "40・・・○○・・・\n"
    "50・・・○○○・・\n"
    "60・・・・・・・・\n"
    "70・・・・・・・・\n"
    "80・・・・・・・・\n";

// The pass is printed under the board it follows, white is drawn to move again, and the pass is
// counted. White's 99 still advances the turn, so black's second pass is printed and counted too
// before the result screen.
TEST(SessionTest, PassGivesTheTurnBackAndIsCounted) {
  const std::string out = Session(PassGame);
  const std::string tail = Screen(WhiteTurn, RowsBeforePass) + ">" + PassText +
                           Screen(WhiteTurn, RowsAfterPass) + ">" + PassText +
                           Screen(WhiteTurn, RowsAfterPass) +
                           "○:黒の勝ち！\n○:  8 ピース    ●:  4 ピース\n" + FinalPrompt + ">";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  EXPECT_EQ(out.find(PassText), out.size() - tail.size() + tail.find(PassText));
  EXPECT_EQ(MoveCount, 8 + 1 + 1 + 1);  // eight moves, the pass, white's 99, black's second pass
  EXPECT_EQ(PassFlag, 1);
}

// A human's 0 right after a pass leaves PassFlag as it is.
TEST(SessionTest, ZeroAfterAPassLeavesPassFlag) {
  Session("0\n34\n33\n32\n22\n56\n31\n11\n13\n0\n");
  EXPECT_EQ(PassFlag, 1);
  EXPECT_EQ(MoveCount, 8 + 1 + 1 + 1);
}

// A game broken off, then a new one: it starts from scratch, whatever the old one left behind
// (here a pass, which sets PassFlag). The clock is the same, so the new game must repeat a fresh
// run byte for byte.
TEST(SessionTest, NewGameAfterABrokenOffGameStartsAfresh) {
  const std::string menu = std::string(ModeMenu) + ">";
  const struct {
    const char* earlier;  // up to and including the 0 at the final choice
    const char* later;
  } cases[] = {
      {"1\n99\n0\n", "3\n99\n"},
      {"1\n99\n0\n", "2\n99\n99\n"},
      {"0\n34\n33\n32\n22\n56\n31\n11\n13\n99\n0\n", "3\n99\n"},
      {"0\n34\n33\n32\n22\n56\n31\n11\n13\n99\n0\n", "2\n99\n99\n"},
  };
  for (const auto& c : cases) {
    const std::string fresh = Session(c.later);
    // Alone, the earlier input ends at the new game's mode prompt.
    std::string expected = Session(c.earlier);
    ASSERT_EQ(expected.substr(expected.size() - menu.size() - 1), menu + "\n");
    expected.resize(expected.size() - menu.size() - 1);
    expected += fresh;
    EXPECT_EQ(Session(std::string(c.earlier) + c.later), expected) << c.earlier << c.later;
  }
  const std::string brokenOff = menu + BlackStart + ">" + StartResult() + ">";
  EXPECT_EQ(Session("1\n99\n0\n1\n99\n99\n"), brokenOff + brokenOff);
  EXPECT_EQ(MoveCount, 1);
  EXPECT_EQ(PassFlag, 0);
}

// With a COM on side 0 (mode 3) the COM opens and the human's screen with white to move follows.
TEST(SessionTest, ComOpensInModeThree) {
  const std::string out = Session("2\n99\n99\n");
  const std::string opening = std::string(ModeMenu) + ">" + BlackStart + ">";
  ASSERT_EQ(out.substr(0, opening.size()), opening);
  // The rest of the COM's move line (the square it played, a line end), then white's screen.
  const std::string rest = out.substr(opening.size());
  const std::string whiteScreen = std::string(Clear) + Instructions + WhiteTurn;
  EXPECT_EQ(rest.substr(2, 1 + whiteScreen.size()), "\n" + whiteScreen);
  EXPECT_EQ(MoveCount, 2);
}

// At the final choice a legal move for black starts a new game like 0 does.
TEST(SessionTest, MoveAtTheFinalChoiceStartsANewGame) {
  EXPECT_EQ(Session("1\n99\n34\n99\n"), std::string(ModeMenu) + ">" + BlackStart + ">" +
                                            StartResult() + ">" + ModeMenu +
                                            ">input[99]:error\n>\n");
}

// COM against COM runs to the end unattended: every turn is one screen, every pass is counted.
TEST(SessionTest, ComVsComPlaysToTheEnd) {
  const std::string out = Session("3\n99\n");
  const std::string opening = std::string(ModeMenu) + ">";
  EXPECT_EQ(out.substr(0, opening.size()), opening);
  const std::size_t result = out.rfind(Clear);
  ASSERT_NE(result, std::string::npos);
  EXPECT_EQ(out.substr(result - std::string(GameOverText).size(), std::string(GameOverText).size()),
            GameOverText);
  EXPECT_EQ(out.substr(out.size() - std::string(FinalPrompt).size() - 1),
            std::string(FinalPrompt) + ">");
  int screens = 0;
  for (std::size_t at = out.find(Clear); at != std::string::npos; at = out.find(Clear, at + 1))
    ++screens;
  int passes = 0;
  for (std::size_t at = out.find(PassText); at != std::string::npos;
       at = out.find(PassText, at + 1))
    ++passes;
  EXPECT_EQ(MoveCount, screens - 1 + passes);  // the result screen is not a turn
  EXPECT_GE(MoveCount, 9);
}

}  // namespace
}  // namespace reversi
