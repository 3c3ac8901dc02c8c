// The board screen and the result screen, byte for byte. The expected screens are spelled in
// readable UTF-8; the captured CP932 output is decoded before the comparison, so every byte of
// the texts, the spacing and the line ends is checked.
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "cp932.h"
#include "expected_text.h"
#include "game/game.h"
#include "harness.h"

namespace reversi {
namespace {

using testing::Cp932ToUtf8;
using testing::SetBoard;
using testing::TakeOutput;
using namespace testing::expected;

using testing::StartPicture;
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

TEST_F(ScreenTest, StartPositionWithBlackToMove) {
  InitBoard();
  DrawBoard(0);
  EXPECT_EQ(Cp932ToUtf8(TakeOutput()), Screen(BlackTurn, StartRows));
}

// Only 0 means black; the driver passes 2 on the result screen, which must read as white.
TEST_F(ScreenTest, EveryOtherSideValueDrawsWhitesTurnLine) {
  for (int side : {1, 2, -1}) {
    ResetBoardState();
    InitBoard();
    DrawBoard(side);
    EXPECT_EQ(Cp932ToUtf8(TakeOutput()), Screen(WhiteTurn, StartRows)) << "side " << side;
  }
}

TEST_F(ScreenTest, DamagedCellsAreDrawnAsEr) {
  SetBoard(StartPicture);
  Board[0][0] = static_cast<Cell>(3);
  Board[7][7] = static_cast<Cell>(0xFF);
  Board[4][4] = static_cast<Cell>(0x80);
  DrawBoard(0);
  const std::string screen = Cp932ToUtf8(TakeOutput());
  EXPECT_EQ(screen.substr(screen.find("\n10") + 1),
            "10er・・・・・・・\n"
            "20・・・・・・・・\n"
            "30・・・・・・・・\n"
            "40・・・●○・・・\n"
            "50・・・○er・・・\n"
            "60・・・・・・・・\n"
            "70・・・・・・・・\n"
            "80・・・・・・・er\n");
}

// The part of the result screen after the board: winner line, counts, final prompt.
struct ResultCase {
  const char* name;
  const char* picture;
  const char* tail;
};

const ResultCase ResultCases[] = {
    {"draw after a game broken off at once", StartPicture,
     "引き分け！○:  2 ピース    ●:  2 ピース\n"},
    {"black wins",
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "OOOOOOOO"
     "OOOOOOO.",
     "○:黒の勝ち！\n○: 48 ピース    ●: 15 ピース\n"},
    {"white wins by one",
     "...XO..."
     "........"
     "........"
     "...OX..."
     "...XO..."
     "........"
     "........"
     "....O...",
     "●:白の勝ち！\n○:  3 ピース    ●:  4 ピース\n"},
    {"black only",
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX",
     "○:黒の勝ち！\n○: 64 ピース    ●:  0 ピース\n"},
    {"white only",
     "........"
     "........"
     "...O...."
     "...OO..."
     "...OO..."
     "........"
     "........"
     "........",
     "●:白の勝ち！\n○:  0 ピース    ●:  5 ピース\n"},
    {"draw on a full board",
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "XXXXXXXX"
     "OOOOOOOO"
     "OOOOOOOO"
     "OOOOOOOO"
     "OOOOOOOO",
     "引き分け！○: 32 ピース    ●: 32 ピース\n"},
    {"empty board is a draw of nothing",
     "........"
     "........"
     "........"
     "........"
     "........"
     "........"
     "........"
     "........",
     "引き分け！○:  0 ピース    ●:  0 ピース\n"},
};

TEST_F(ScreenTest, ResultScreens) {
  for (const ResultCase& c : ResultCases) {
    testing::ResetProcessState();
    SetBoard(c.picture);
    DrawBoard(2);
    const std::string board = Cp932ToUtf8(TakeOutput());
    ShowResult(2);
    // The result screen is the board screen with white's turn line, then the result lines.
    EXPECT_EQ(Cp932ToUtf8(TakeOutput()), board + c.tail + FinalPrompt) << c.name;
  }
}

TEST_F(ScreenTest, ResultScreenOfTheStartPositionInFull) {
  InitBoard();
  ShowResult(2);
  EXPECT_EQ(
      Cp932ToUtf8(TakeOutput()),
      Screen(WhiteTurn, StartRows) + "引き分け！○:  2 ピース    ●:  2 ピース\n" + FinalPrompt);
}

}  // namespace
}  // namespace reversi
