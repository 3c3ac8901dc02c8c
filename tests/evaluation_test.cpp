// The learned evaluation: the shipped weights fill their tables, the board symmetries that it
// reads the patterns through are the right ones, and all eight symmetric images of a position get
// the same score.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "board/board.h"
#include "com/patterns.h"
#include "com/search.h"

namespace reversi {
namespace {

// The image of `set` under one of the eight symmetries of the board, square by square: a
// reflection across the diagonal when bit 0 of `symmetry` is set, then a flip of the rows (bit 1)
// and of the columns (bit 2).
SquareSet Image(SquareSet set, int symmetry) {
  SquareSet image = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if ((set & SquareBit(row, col)) == 0) continue;
      int r = (symmetry & 1) != 0 ? col : row;
      int c = (symmetry & 1) != 0 ? row : col;
      if ((symmetry & 2) != 0) r = LastIndex - r;
      if ((symmetry & 4) != 0) c = LastIndex - c;
      image |= SquareBit(r, c);
    }
  }
  return image;
}
constexpr int SymmetryCount = 8;

// A position of `empties` empty squares, every square drawn at random (the evaluation does not
// need a position that play can reach).
CellSets RandomCells(std::mt19937_64& random, int empties) {
  CellSets cells = {0, 0, ~SquareSet{0}};
  while (CountSquares(cells.empty) > empties) {
    const SquareSet square = SquareSet{1} << (random() % SquareCount);
    if ((cells.empty & square) == 0) continue;
    cells.empty &= ~square;
    ((random() & 1) != 0 ? cells.own : cells.opponent) |= square;
  }
  return cells;
}

TEST(EvaluationTest, ShippedWeightsFillEveryStageAndAreNotAllZero) {
  ASSERT_TRUE(UnpackPatternWeights());
  for (int stage = 0; stage < StageCount; ++stage) {
    int nonZero = 0;
    for (const std::int16_t weight : PatternWeights[stage])
      nonZero += weight != 0;
    EXPECT_GT(nonZero, 0) << "stage " << stage;
  }
}

TEST(EvaluationTest, FastSymmetriesAgreeWithTheSquareBySquareOnes) {
  std::mt19937_64 random(1);
  constexpr int Sets = 1000;
  constexpr int TransposeSymmetry = 1;
  constexpr int FlipRowsSymmetry = 2;
  for (int k = 0; k < Sets; ++k) {
    const SquareSet set = random();
    EXPECT_EQ(Transpose(set), Image(set, TransposeSymmetry));
    EXPECT_EQ(FlipVertical(set), Image(set, FlipRowsSymmetry));
  }
}

// Every stage (one empties count from each) and many random positions: the score of each of the
// eight images equals the position's own.
TEST(EvaluationTest, TheEightSymmetricImagesScoreAlike) {
  std::mt19937_64 random(20261210);
  constexpr int PositionsPerStage = 200;
  for (int stage = 0; stage < StageCount; ++stage) {
    for (int k = 0; k < PositionsPerStage; ++k) {
      const int empties = stage * StageEmpties + 1 + static_cast<int>(random() % StageEmpties);
      const CellSets cells = RandomCells(random, empties);
      const int score = EvaluatePosition(cells);
      EXPECT_LT(score < 0 ? -score : score, WonDiscScore);
      for (int symmetry = 1; symmetry < SymmetryCount; ++symmetry) {
        const CellSets image = {Image(cells.own, symmetry), Image(cells.opponent, symmetry),
                                Image(cells.empty, symmetry)};
        ASSERT_EQ(EvaluatePosition(image), score) << "stage " << stage << " symmetry " << symmetry;
      }
    }
  }
}

// The features read the squares they name: a single disc of the mover changes the pattern
// indices it lies in by one base-3 digit, and each square lies in some pattern.
TEST(EvaluationTest, EverySquareIsReadByAPattern) {
  const CellSets empty = {0, 0, ~SquareSet{0}};
  int emptyEntries[InstanceCount];
  int at = 0;
  VisitFeatures(empty, 0, 0, [&](int entry) { emptyEntries[at++] = entry; });
  ASSERT_EQ(at, InstanceCount);
  for (int square = 0; square < SquareCount; ++square) {
    const SquareSet disc = SquareSet{1} << square;
    const CellSets cells = {disc, 0, ~disc};
    int changed = 0;
    at = 0;
    VisitFeatures(cells, 0, 0, [&](int entry) { changed += entry != emptyEntries[at++]; });
    EXPECT_GT(changed, 0) << "square " << square;
  }
}

}  // namespace
}  // namespace reversi
