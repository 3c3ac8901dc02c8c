// Board state and move rules.
#include <gtest/gtest.h>

#include "board/board.h"
#include "harness.h"

namespace reversi {
namespace {

using testing::SetBoard;

class BoardTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

TEST_F(BoardTest, StartPositionMobility) {
  InitBoard();
  EXPECT_EQ(CountMobility(0), 404);
  EXPECT_EQ(CountMobility(1), 404);
}

}  // namespace
}  // namespace reversi
