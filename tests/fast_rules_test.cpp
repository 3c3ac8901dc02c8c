// The game's rules routines against the square-by-square rules of the test support on random
// positions reached by legal play and on runs that reach the board's edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "board/board.h"
#include "com/com.h"
#include "harness.h"
#include "reference_rules.h"

namespace reversi {
namespace {

using testing::CountMobilityByScan;
using testing::GetTurnStatusByScan;
using testing::LegalSquaresByScan;
using testing::TryMoveByScan;

// How many random positions are compared: a million in optimised builds, fewer where every
// instruction is instrumented or unoptimised (set by tests/CMakeLists.txt).
constexpr int PositionCount = REVERSI_EQUIVALENCE_POSITIONS;
// IsLegalMove, the trial move and the ranking are compared on every this-many-th position; they
// are tried on every square, which costs far more than the rest.
constexpr int TrialEvery = 64;
constexpr std::uint32_t RandomGameSeed = 20240607U;

class FastRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

// Plays random legal games from the start position and hands every position reached, with the
// side to move, to `visit`, until `count` positions have been visited. Passes are played as the
// rules say: the other side moves again.
template <typename Visit>
void VisitRandomPositions(int count, Visit visit) {
  std::mt19937 random(RandomGameSeed);
  int visited = 0;
  while (visited < count) {
    ResetBoardState();
    InitBoard();
    int side = 0;
    for (;;) {
      visit(side, visited);
      if (++visited == count) return;
      // The fast routines choose the move; `visit` has just compared them on this position.
      int legal[SquareCount];
      int legalCount = 0;
      const SquareSet legalSet = LegalSquares(side);
      for (int square = 0; square < SquareCount; ++square) {
        if ((legalSet >> square) & 1U) legal[legalCount++] = square;
      }
      if (legalCount == 0) {
        if (GetTurnStatus(side) == GameOver) break;
        side = OtherSide(side);
        continue;
      }
      const int square = legal[random() % static_cast<unsigned>(legalCount)];
      PlaceDisc(square / BoardSize, square % BoardSize, side);
      side = OtherSide(side);
    }
  }
}

// The squares on which the square-by-square IsLegalMove of the game gives 1, as a set.
SquareSet LegalSquaresByIsLegalMove(int side) {
  SquareSet legal = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (Board[row][col] == Empty && IsLegalMove(row, col, side)) legal |= SquareBit(row, col);
    }
  }
  return legal;
}

bool SameCells(const Cell (&a)[BoardSize][BoardSize], const Cell (&b)[BoardSize][BoardSize]) {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (a[row][col] != b[row][col]) return false;
    }
  }
  return true;
}

// A snapshot content that no trial can produce, so an untouched snapshot is told from a saved one.
void MarkSnapshot() {
  for (auto& line : SavedBoard) {
    for (Cell& cell : line)
      cell = static_cast<Cell>(White + 1);
  }
}

// Compares TryMove with TryMoveByScan on every square: result, disc tally (or that it is left
// alone), the Board and the snapshot afterwards; and the form that reads the Board once, which
// must give the same values and leave the snapshot alone. Counts the differences into `failures`.
void CompareTrials(int side, int& failures) {
  const CellSets cells = ReadCellSets(side);
  Cell before[BoardSize][BoardSize];
  Cell savedByScan[BoardSize][BoardSize];
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      for (int r = 0; r < BoardSize; ++r) {
        for (int c = 0; c < BoardSize; ++c)
          before[r][c] = Board[r][c];
      }
      constexpr int Untouched = -1;
      int discsByScan = Untouched;
      MarkSnapshot();
      const int byScan = TryMoveByScan(row, col, side, discsByScan);
      for (int r = 0; r < BoardSize; ++r) {
        for (int c = 0; c < BoardSize; ++c)
          savedByScan[r][c] = SavedBoard[r][c];
      }
      int discs = Untouched;
      MarkSnapshot();
      const int fast = TryMove(row, col, side, discs);
      bool same = fast == byScan && discs == discsByScan && SameCells(Board, before) &&
                  SameCells(SavedBoard, savedByScan);
      int discsOnSets = Untouched;
      MarkSnapshot();
      Cell untouched[BoardSize][BoardSize];
      for (int r = 0; r < BoardSize; ++r) {
        for (int c = 0; c < BoardSize; ++c)
          untouched[r][c] = SavedBoard[r][c];
      }
      same = same && TryMoveOn(cells, row, col, discsOnSets) == byScan &&
             discsOnSets == discsByScan && SameCells(SavedBoard, untouched);
      if (!same && failures++ == 0) {
        ADD_FAILURE() << "TryMove(" << row << ", " << col << ", " << side << ") gives " << fast
                      << " and " << discs << ", by scan " << byScan << " and " << discsByScan
                      << ", on\n"
                      << testing::BoardPicture();
      }
    }
  }
}

// TurnedSquares against the discs that the square-by-square move turns, on every square, and
// NeighbourSquares of the side's discs against the cells next to them. Counts the differences
// into `failures`.
void CompareTurnedAndNeighbours(int side, int& failures) {
  const CellSets cells = ReadCellSets(side);
  SquareSet neighboursByScan = 0;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      testing::Position after;
      testing::PlayMoveByScan(Board, row, col, OwnCell(side), after);
      SquareSet turnedByScan = 0;
      for (int r = 0; r < BoardSize; ++r) {
        for (int c = 0; c < BoardSize; ++c) {
          if ((r != row || c != col) && after[r][c] != Board[r][c]) turnedByScan |= SquareBit(r, c);
          const bool near = r - row >= -1 && r - row <= 1 && c - col >= -1 && c - col <= 1;
          if (Board[row][col] == OwnCell(side) && near && (r != row || c != col)) {
            neighboursByScan |= SquareBit(r, c);
          }
        }
      }
      // The square itself is not looked at, so only empty squares are asked about.
      if (Board[row][col] == Empty && TurnedSquares(cells, row, col) != turnedByScan &&
          failures++ == 0) {
        ADD_FAILURE() << "TurnedSquares(" << row << ", " << col << ") for side " << side
                      << " differs from the scan on\n"
                      << testing::BoardPicture();
      }
    }
  }
  if (NeighbourSquares(cells.own) != neighboursByScan && failures++ == 0) {
    ADD_FAILURE() << "NeighbourSquares for side " << side << " differs from the scan on\n"
                  << testing::BoardPicture();
  }
}

// The ranked CandidateList as the first phase would build it from TryMoveByScan on every square.
void RankCandidatesByScan(int side, Candidate (&ranked)[CandidateCapacity]) {
  int next = 0;
  for (Candidate& record : CandidateList)
    record = {0, 0, 0, 0};
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      int discs = 0;
      const int mobility = TryMoveByScan(row, col, side, discs);
      if (mobility % MobilityRadix < 1) continue;
      CandidateList[next++] = {SquareCode(row, col), discs, mobility / MobilityRadix,
                               mobility % MobilityRadix};
    }
  }
  SortCandidates(0, CandidateCapacity - 1);
  ReverseCandidates();
  for (int k = 0; k < CandidateCapacity; ++k)
    ranked[k] = CandidateList[k];
}

bool SameRanking(const Candidate (&ranked)[CandidateCapacity]) {
  for (int k = 0; k < CandidateCapacity; ++k) {
    const Candidate& a = ranked[k];
    const Candidate& b = CandidateList[k];
    if (a.square != b.square || a.discs != b.discs || a.ownMobility != b.ownMobility ||
        a.opponentMobility != b.opponentMobility) {
      return false;
    }
  }
  return true;
}

TEST_F(FastRulesTest, AgreeWithTheSquareBySquareRulesOnRandomGames) {
  int failures = 0;
  // Reports only the first difference of each kind, with its position; counts all of them.
  const auto expectSame = [&failures](const char* what, long long fast, long long byScan,
                                      int side) {
    if (fast == byScan) return;
    if (failures++ == 0) {
      ADD_FAILURE() << what << " for side " << side << " gives " << fast << ", by scan " << byScan
                    << ", on\n"
                    << testing::BoardPicture();
    }
  };
  VisitRandomPositions(PositionCount, [&](int toMove, int index) {
    // CountMobility of the other side is the same two scans in the other order, so one side is
    // enough for it; the legal squares and the status are compared for both.
    expectSame("CountMobility", CountMobility(toMove), CountMobilityByScan(toMove), toMove);
    for (int side = 0; side < SideCount; ++side) {
      expectSame("GetTurnStatus", GetTurnStatus(side), GetTurnStatusByScan(side), side);
      expectSame("LegalSquares", static_cast<long long>(LegalSquares(side)),
                 static_cast<long long>(LegalSquaresByScan(side)), side);
    }
    if (index % TrialEvery != 0) return;
    for (int side = 0; side < SideCount; ++side) {
      expectSame("IsLegalMove", static_cast<long long>(LegalSquaresByIsLegalMove(side)),
                 static_cast<long long>(LegalSquaresByScan(side)), side);
    }
    CompareTrials(toMove, failures);
    CompareTurnedAndNeighbours(toMove, failures);
    Candidate ranked[CandidateCapacity];
    RankCandidatesByScan(toMove, ranked);
    RankCandidates(toMove);
    if (!SameRanking(ranked) && failures++ == 0) {
      ADD_FAILURE() << "RankCandidates for side " << toMove
                    << " differs from the ranking by scan on\n"
                    << testing::BoardPicture();
    }
  });
  EXPECT_EQ(failures, 0) << "differences on " << PositionCount << " positions";
}

// Lines that end at the board's edge must not wrap into the next row or column: positions where a
// run reaches an edge and an own disc stands at the other end of the neighbouring row.
TEST_F(FastRulesTest, RunsDoNotWrapAroundTheEdges) {
  const char* const pictures[] = {
      "......OX"
      "X......."
      "........"
      "........"
      "........"
      "........"
      "........"
      "........",
      "XO......"
      ".......O"
      "......X."
      "........"
      "........"
      "........"
      "........"
      "........",
      "........"
      "........"
      "........"
      "........"
      "........"
      "........"
      "O......."
      "XO.....X",
      ".OOOOOOX"
      "O......."
      "X......."
      "........"
      "........"
      "........"
      "........"
      "XOOOOOO.",
  };
  for (const char* picture : pictures) {
    testing::SetBoard(picture);
    for (int side = 0; side < SideCount; ++side) {
      EXPECT_EQ(CountMobility(side), CountMobilityByScan(side)) << picture;
      EXPECT_EQ(LegalSquares(side), LegalSquaresByScan(side)) << picture;
      EXPECT_EQ(GetTurnStatus(side), GetTurnStatusByScan(side)) << picture;
      int failures = 0;
      CompareTrials(side, failures);
      EXPECT_EQ(failures, 0) << picture;
    }
  }
}

}  // namespace
}  // namespace reversi
