// The searching COM of levels 2 and up: its exact end-game search against plain minimax, every
// level's moves against the square-by-square rules, and that a move depends only on the position
// and the coin.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "board/board.h"
#include "com/com.h"
#include "com/search.h"
#include "harness.h"
#include "minimax.h"
#include "move_tree.h"
#include "reference_rules.h"

namespace reversi {
namespace {

// Positions per check: fewer where every instruction is instrumented or unoptimised (set by
// tests/CMakeLists.txt).
constexpr int PositionCount = REVERSI_SEARCH_POSITIONS;
constexpr int MostEmptiesSolved = 10;
constexpr std::uint32_t PositionSeed = 20240611U;

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

struct Position {
  Cell board[BoardSize][BoardSize];
  int side;
};

// Plays random legal moves from the start position until `empties` squares are empty (or the game
// ends first) and returns the position with the side to move. A side without a move passes.
Position RandomPosition(std::mt19937& random, int empties) {
  ResetBoardState();
  InitBoard();
  int side = 0;
  while (CountCells(Empty) > empties) {
    SquareSet legal = LegalSquares(side);
    if (legal == 0) {
      if (GetTurnStatus(side) == GameOver) break;
      side = OtherSide(side);
      continue;
    }
    for (auto skip = random() % static_cast<unsigned>(CountSquares(legal)); skip > 0; --skip)
      legal &= legal - 1;
    const int square = std::countr_zero(legal);
    PlaceDisc(square / BoardSize, square % BoardSize, side);
    side = OtherSide(side);
  }
  Position position;
  std::memcpy(position.board, Board, sizeof Board);
  position.side = side;
  return position;
}

void Load(const Position& position) {
  std::memcpy(Board, position.board, sizeof Board);
}

TEST_F(SearchTest, ExactSearchGivesTheMinimaxOutcome) {
  std::mt19937 random(PositionSeed);
  int failures = 0;
  for (int k = 0; k < PositionCount; ++k) {
    const Position position = RandomPosition(random, 1 + k % MostEmptiesSolved);
    Load(position);
    const int exact = SolveExactly(ReadCellSets(position.side));
    const int minimax = testing::SolveByMinimax(position.side);
    if (exact != minimax && failures++ < 3) {
      ADD_FAILURE() << "exact search " << exact << ", minimax " << minimax << ", side "
                    << position.side << " to move on\n"
                    << testing::BoardPicture();
    }
  }
  EXPECT_EQ(failures, 0);
}

// From 11 empty squares on, the exact search also cuts off through its children's table entries,
// orders the moves by the evaluation and, from 16 on, by shallow searches whose window leaves the
// hopeless moves only bounded: too deep for plain minimax. There each position's value is checked
// against its children's, each solved on its own with a fresh table.
TEST_F(SearchTest, ExactValueIsTheBestOfTheChildrensValues) {
  constexpr int FewestEmpties = 11;
  constexpr int EmptiesSpread = 7;  // 11..17
  std::mt19937 random(PositionSeed + 2);
  for (int k = 0; k < PositionCount / 8; ++k) {
    const Position position = RandomPosition(random, FewestEmpties + k % EmptiesSpread);
    Load(position);
    const int side = position.side;
    const CellSets cells = ReadCellSets(side);
    const int value = SolveExactly(cells);
    SquareSet legal = LegalSquares(cells);
    int best = -SquareCount - 1;
    if (legal == 0) {
      const CellSets passed = {cells.opponent, cells.own, cells.empty};
      if (LegalSquares(passed) == 0) continue;  // the game is over
      best = -SolveExactly(passed);
    }
    for (; legal != 0; legal &= legal - 1) {
      const int square = std::countr_zero(legal);
      Load(position);
      PlaceDisc(square / BoardSize, square % BoardSize, side);
      const int child = -SolveExactly(ReadCellSets(OtherSide(side)));
      if (child > best) best = child;
    }
    Load(position);
    EXPECT_EQ(value, best) << "side " << side << " to move on\n" << testing::BoardPicture();
  }
}

// The scoring of every move (the hint and the coach) against plain minimax after each move: the
// right set of moves, each score exact, best first.
TEST_F(SearchTest, EveryMoveIsScoredAsMinimaxScoresIt) {
  std::mt19937 random(PositionSeed + 1);
  for (int k = 0; k < PositionCount; ++k) {
    const Position position = RandomPosition(random, 1 + k % MostEmptiesSolved);
    Load(position);
    const CellSets cells = ReadCellSets(position.side);
    ScoredMove scored[SquareCount];
    SearchReport report{};
    const int count = ScoreEveryMove(cells, LastLevel, scored, report);
    ASSERT_EQ(count, CountSquares(LegalSquares(cells))) << testing::BoardPicture();
    for (int m = 0; m < count; ++m) {
      if (m > 0) {
        EXPECT_GE(scored[m - 1].score, scored[m].score);
      }
      EXPECT_TRUE(scored[m].exact);
      Load(position);
      const int row = SquareRow(scored[m].square);
      const int col = SquareColumn(scored[m].square);
      ASSERT_NE(TurnedSquares(cells, row, col), SquareSet{0});
      PlaceDisc(row, col, position.side);
      EXPECT_EQ(scored[m].score, -testing::SolveByMinimax(OtherSide(position.side)))
          << "move " << scored[m].square << "\n"
          << testing::BoardPicture();
    }
    if (count > 0) {
      EXPECT_GT(report.nodes, 0U);
    }
  }
}

// Endings whose outcome is known by hand, for the passes and the last square.
TEST_F(SearchTest, ExactSearchOnHandMadeEndings) {
  const struct {
    const char* picture;
    int side;
    int difference;
  } cases[] = {
      // Black's 11 turns 22 alone and ends the game at 54-9; White's 88 turns the diagonal
      // 77..33 and ends it at 16-47. The square left empty counts for the winner.
      {testing::OneMoveEachPicture, 0, 54 - 9 + 1},
      {testing::OneMoveEachPicture, 1, 16 - 47 - 1},
      // Full board: the count alone.
      {"XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO", 1, 0},
      // Neither side can play the last square: it stays empty and counts for the winner.
      {"XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXX.", 1, -64},
      // Black cannot move and passes; White takes 11 and turns its row.
      {".XXXXXXO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO", 0, -64},
  };
  for (const auto& c : cases) {
    testing::SetBoard(c.picture);
    EXPECT_EQ(SolveExactly(ReadCellSets(c.side)), c.difference) << c.picture;
    EXPECT_EQ(SolveExactly(ReadCellSets(c.side)), testing::SolveByMinimax(c.side)) << c.picture;
  }
}

// The search plays its moves with routines of its own, faster than the board's: their move tree
// from the start has the known counts, and from positions of every stage the counts of the
// board's own rules.
TEST_F(SearchTest, SearchMovesGrowTheRulesMoveTree) {
  InitBoard();
  const CellSets start = ReadCellSets(0);
  for (int depth = 1; depth <= testing::KnownTreeDepth; ++depth) {
    EXPECT_EQ(CountSearchTreeLeaves(start, depth), testing::StartTreeLeaves[depth]) << depth;
  }
  std::mt19937 random(PositionSeed);
  constexpr int PositionsPerStage = 20;
  constexpr int StageStep = 4;
  constexpr int Plies = 3;
  for (int empties = SquareCount - 4 - StageStep; empties > 0; empties -= StageStep) {
    for (int k = 0; k < PositionsPerStage; ++k) {
      const Position position = RandomPosition(random, empties);
      Load(position);
      const std::uint64_t bySearch = CountSearchTreeLeaves(ReadCellSets(position.side), Plies);
      EXPECT_EQ(bySearch, testing::CountMoveTreeLeaves(position.side, Plies))
          << "empties " << empties << ", position " << k;
    }
  }
}

// The last two squares have routines of their own, and the last one's turned discs are counted
// line by line through the rows, columns and diagonals of every length: one or two empty squares
// on every square of the board, the rest filled at random, against plain minimax.
TEST_F(SearchTest, ExactSearchOnTheLastSquaresEverywhere) {
  std::mt19937 random(PositionSeed);
  constexpr int FillsPerSquare = 12;
  for (int square = 0; square < SquareCount; ++square) {
    for (int fill = 0; fill < FillsPerSquare; ++fill) {
      ResetBoardState();
      for (int k = 0; k < SquareCount; ++k)
        Board[k / BoardSize][k % BoardSize] = (random() & 1) != 0 ? Black : White;
      Board[square / BoardSize][square % BoardSize] = Empty;
      // Every other filling leaves a second empty square somewhere else.
      if (fill % 2 == 1) {
        const int other = static_cast<int>(random() % SquareCount);
        Board[other / BoardSize][other % BoardSize] = Empty;
      }
      const int side = fill % 4 < 2 ? 0 : 1;
      ASSERT_EQ(SolveExactly(ReadCellSets(side)), testing::SolveByMinimax(side))
          << "empty square " << square << ", filling " << fill;
    }
  }
}

// Searches at every level from random positions of every stage of the game, through the turn the
// driver plays: the COM must place exactly one legal disc with its flips, as the square-by-square
// rules play it, print its code, clear PassFlag and draw exactly one number.
TEST_F(SearchTest, EveryLevelPlaysOnlyLegalMovesAndDrawsOneNumber) {
  // The deeper levels take longer per move, so they are asked fewer times.
  const struct {
    int level;
    int positions;
  } levels[] = {
      {2, PositionCount}, {3, PositionCount / 2}, {4, PositionCount / 8}, {5, PositionCount / 20}};
  std::mt19937 random(PositionSeed);
  for (const auto& [level, positions] : levels) {
    for (int k = 0; k < positions; ++k) {
      const int empties = 1 + static_cast<int>(random() % (SquareCount - 5));
      const Position position = RandomPosition(random, empties);
      Load(position);
      const SquareSet legal = testing::LegalSquaresByScan(position.side);
      if (legal == 0) continue;  // the driver does not call the COM for a side that must pass
      SetComLevel(position.side, level);
      const auto seed = static_cast<std::uint32_t>(random());
      SeedRandom(seed);
      DrawRandom();
      const int afterOneDraw = DrawRandom();
      SeedRandom(seed);
      PassFlag = static_cast<int>(random() % 2);
      MoveCount = SquareCount - empties;
      testing::TakeOutput();

      ChooseComMove(position.side);

      const std::string line = testing::TakeOutput();
      SCOPED_TRACE("level " + std::to_string(level) + ", move line " + line);
      ASSERT_EQ(line.size(), 4U);
      const int code = std::stoi(line.substr(1));
      const int row = SquareRow(code);
      const int col = SquareColumn(code);
      ASSERT_TRUE(row >= 0 && row < BoardSize && col >= 0 && col < BoardSize);
      ASSERT_NE(legal & SquareBit(row, col), 0U);
      testing::Position expected;
      const Cell mover = OwnCell(position.side);
      testing::PlayMoveByScan(position.board, row, col, mover, expected);
      EXPECT_EQ(std::memcmp(Board, expected, sizeof Board), 0);
      EXPECT_EQ(PassFlag, 0);
      EXPECT_EQ(DrawRandom(), afterOneDraw);
    }
  }
}

TEST_F(SearchTest, TheSamePositionAndCoinGiveTheSameMove) {
  std::mt19937 random(PositionSeed + 1);
  for (int level = FirstSearchingLevel; level <= LastLevel; ++level) {
    const Position a = RandomPosition(random, 40);
    const Position b = RandomPosition(random, 16);
    for (const int coin : {0, 1, 2, RandomMax}) {
      Load(a);
      const int first = ChooseSearchedSquare(a.side, level, coin);
      // Another search in between leaves its results in the table; they must not count.
      Load(b);
      ChooseSearchedSquare(b.side, level, coin);
      Load(a);
      EXPECT_EQ(ChooseSearchedSquare(a.side, level, coin), first) << "level " << level;
    }
  }
}

// From the start position the four moves are mirror images of each other and so equally good:
// the coin decides, and four coins in a row give all four.
TEST_F(SearchTest, TheCoinChoosesAmongEquallyGoodMoves) {
  for (int level = FirstSearchingLevel; level <= LastLevel; ++level) {
    SquareSet chosen = 0;
    for (int coin = 0; coin < 4; ++coin) {
      testing::SetBoard(testing::StartPicture);
      const int square = ChooseSearchedSquare(0, level, coin);
      chosen |= SquareBit(SquareRow(square), SquareColumn(square));
    }
    EXPECT_EQ(chosen, SquareBit(2, 3) | SquareBit(3, 2) | SquareBit(4, 5) | SquareBit(5, 4))
        << "level " << level;
  }
}

TEST_F(SearchTest, LevelsAreKeptPerSideAndResetToTheRuleBasedCom) {
  const struct {
    int level;
    int kept;  // the level afterwards
  } cases[] = {{5, 5}, {0, 5}, {6, 5}, {-1, 5}, {2, 2}, {RuleBasedLevel, RuleBasedLevel}};
  for (const auto& c : cases) {
    SetComLevel(1, c.level);
    EXPECT_EQ(ComLevel(1), c.kept) << c.level;
    EXPECT_EQ(ComLevel(0), RuleBasedLevel);
  }
  SetComLevel(0, 3);
  ResetComState();
  EXPECT_EQ(ComLevel(0), RuleBasedLevel);
}

}  // namespace
}  // namespace reversi
