// The COM's walks over a CandidateList with no free slot left: no all-zero record ends them, so
// each must stop at the list's last record instead of reading past it.
#include <gtest/gtest.h>

#include "board/board.h"
#include "com/com.h"
#include "harness.h"

namespace reversi {
namespace {

// The twelve squares next to a corner: the walks never take them, so both fall back.
constexpr int CornerNeighbours[] = {12, 21, 22, 17, 27, 28, 71, 72, 82, 77, 78, 87};
constexpr int NeighbourCount = sizeof CornerNeighbours / sizeof CornerNeighbours[0];
constexpr int LateGame = 48;

// Every record filled; the last one has the most discs and the largest opponentMobility and the
// smallest ownMobility, so whichever walk reaches the end of the list ends on it.
void FillWholeList() {
  for (int k = 0; k < CandidateCapacity; ++k) {
    CandidateList[k] = {CornerNeighbours[k % NeighbourCount], k + 1, CandidateCapacity - k, k + 1};
  }
}

TEST(FullCandidateList, EveryWalkEndsOnTheLastRecord) {
  testing::ResetProcessState();
  InitBoard();
  const int last = CornerNeighbours[(CandidateCapacity - 1) % NeighbourCount];
  for (const bool even : {true, false}) {
    for (const int moveCount : {0, LateGame}) {
      SCOPED_TRACE(moveCount);
      FillWholeList();
      MoveCount = moveCount;
      testing::SeedWithFirstDraw(even);
      // Early on the fall-backs decide; late the square with the most discs wins.
      EXPECT_EQ(ChooseComSquare(0), last);
    }
  }
}

}  // namespace
}  // namespace reversi
