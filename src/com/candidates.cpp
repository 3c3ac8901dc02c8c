// First phase of a COM turn: the candidate grid, the filtered list and its ranking.
#include "board/board.h"
#include "com/com.h"

namespace reversi {

GridEntry CandidateGrid[GridSize];
Candidate CandidateList[CandidateCapacity];

namespace {

constexpr GridEntry EmptyGridEntry = {0, 0, 0, 0};
constexpr Candidate EmptyCandidate = {0, 0, 0, 0};

void SwapCandidates(int a, int b) {
  const Candidate kept = CandidateList[a];
  CandidateList[a] = CandidateList[b];
  CandidateList[b] = kept;
}

}  // namespace

void RankCandidates(int side) {
  for (GridEntry& entry : CandidateGrid)
    entry = EmptyGridEntry;
  for (Candidate& record : CandidateList)
    record = EmptyCandidate;

  // TryMove gives 0, and leaves discs alone, for a square that is no legal move, so such squares
  // are not tried at all; they are most of the board.
  const SquareSet legal = LegalSquares(side);
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      const int code = SquareCode(row, col);
      int discs = 0;
      const int mobility = (legal & SquareBit(row, col)) != 0 ? TryMove(row, col, side, discs) : 0;
      GridEntry& entry = CandidateGrid[code];
      entry.discs = discs;
      entry.square = code;
      entry.ownMobility = mobility / MobilityRadix;
      entry.opponentMobility = mobility % MobilityRadix;
    }
  }

  // A move after which the opponent could not answer is left out; so are squares that are no move.
  int next = 0;
  for (const GridEntry& entry : CandidateGrid) {
    if (entry.opponentMobility < 1) continue;
    CandidateList[next++] = {entry.square, entry.discs, entry.ownMobility, entry.opponentMobility};
  }

  SortCandidates(0, CandidateCapacity - 1);
  ReverseCandidates();
}

void SortCandidates(int lo, int hi) {
  if (lo >= hi) return;
  const Candidate pivot = CandidateList[lo];
  const int key = pivot.opponentMobility;
  int i = lo;
  int j = hi + 1;
  for (;;) {
    do {
      ++i;
    } while (i <= hi && CandidateList[i].opponentMobility < key);
    // Needs no bound: record lo holds the pivot key, so the scan stops there at the latest.
    do {
      --j;
    } while (CandidateList[j].opponentMobility > key);
    if (j <= i) break;
    SwapCandidates(i, j);
  }
  CandidateList[lo] = CandidateList[j];
  CandidateList[j] = pivot;
  SortCandidates(lo, j - 1);
  SortCandidates(j + 1, hi);
}

void ReverseCandidates() {
  for (int low = 0, high = CandidateCapacity - 1; low < high; ++low, --high) {
    SwapCandidates(low, high);
  }
}

void ResetComState() {
  for (GridEntry& entry : CandidateGrid)
    entry = EmptyGridEntry;
  for (Candidate& record : CandidateList)
    record = EmptyCandidate;
  ResetRandomState();
}

}  // namespace reversi
