// First phase of a COM turn: the trials of the legal squares, the filtered list and its ranking.
#include <bit>

#include "board/board.h"
#include "com/com.h"
#include "search.h"

namespace reversi {

Candidate CandidateList[CandidateCapacity];

namespace {

void SwapCandidates(int a, int b) {
  const Candidate kept = CandidateList[a];
  CandidateList[a] = CandidateList[b];
  CandidateList[b] = kept;
}

}  // namespace

void RankCandidates(int side) {
  for (Candidate& record : CandidateList)
    record = {};
  // The Board is read once for all trials. Only the legal squares are tried: any other square's
  // trial gives 0 and is left out of the list. They are taken in ascending SquareCode (row-major),
  // the order in which the list is filled.
  const CellSets cells = ReadCellSets(side);
  const SquareSet legal = LegalSquares(cells);
  // Each trial of a legal square takes the snapshot of the Board, as TryMove does.
  if (legal != 0) SaveBoard();
  int next = 0;
  for (SquareSet untried = legal; untried != 0; untried &= untried - 1) {
    const int index = std::countr_zero(untried);
    const int row = index / BoardSize;
    const int col = index % BoardSize;
    int discs = 0;
    const int mobility = TryMoveOn(cells, row, col, discs);
    const int opponentMobility = mobility % MobilityRadix;
    // A move after which the opponent could not answer is left out.
    if (opponentMobility < 1) continue;
    CandidateList[next++] = {SquareCode(row, col), discs, mobility / MobilityRadix,
                             opponentMobility};
  }
  SortCandidates(0, CandidateCapacity - 1);
  ReverseCandidates();
}

// A recursive exchange sort (Hoare's partition with the first record as the pivot). Both scans stop
// on an equal key, so ties are exchanged from both ends; the order this leaves among equal keys,
// empty records taking part, is the COM's tie-break.
void SortCandidates(int lo, int hi) {
  if (lo >= hi) return;
  const int pivot = CandidateList[lo].opponentMobility;
  int i = lo;
  int j = hi + 1;
  for (;;) {
    do {
      ++i;
    } while (i <= hi && CandidateList[i].opponentMobility < pivot);
    // Needs no bound: record lo holds the pivot key, so the scan stops there at the latest.
    do {
      --j;
    } while (CandidateList[j].opponentMobility > pivot);
    if (j <= i) break;
    SwapCandidates(i, j);
  }
  SwapCandidates(lo, j);
  SortCandidates(lo, j - 1);
  SortCandidates(j + 1, hi);
}

void ReverseCandidates() {
  for (int low = 0, high = CandidateCapacity - 1; low < high; ++low, --high) {
    SwapCandidates(low, high);
  }
}

void ResetComState() {
  for (Candidate& record : CandidateList)
    record = {};
  ResetSearchState();
  ResetRandomState();
  for (int side = 0; side < SideCount; ++side)
    SetComLevel(side, RuleBasedLevel);
  AnnounceInLetters(false);
}

}  // namespace reversi
