// First phase of a COM turn: the trials of the legal squares, the filtered list and its ranking.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "board/board.h"
#include "com/com.h"
#include "search.h"

namespace reversi {

Candidate CandidateList[CandidateCapacity];

namespace {

// Records are plain 32-bit integers, so all-zero bytes are empty records; the library's block fill
// clears them.
static_assert(std::is_trivially_copyable_v<Candidate>);
// Empties the list from position `from` to its end.
void ClearCandidates(int from) {
  std::memset(&CandidateList[from], 0, (CandidateCapacity - from) * sizeof(Candidate));
}

void SwapCandidates(int a, int b) {
  const Candidate kept = CandidateList[a];
  CandidateList[a] = CandidateList[b];
  CandidateList[b] = kept;
}

// Positions of the CandidateList as the bits of one word: bit k stands for position k.
using ListPositions = std::uint64_t;
static_assert(CandidateCapacity <= std::numeric_limits<ListPositions>::digits);

// Position k, 0 <= k < CandidateCapacity, alone.
constexpr ListPositions PositionBit(int k) {
  return ListPositions{1} << k;
}

// Positions lo..hi, for 0 <= lo <= hi < CandidateCapacity.
constexpr ListPositions PositionRange(int lo, int hi) {
  constexpr ListPositions All = ~ListPositions{0};
  constexpr int LastBit = std::numeric_limits<ListPositions>::digits - 1;
  return (All >> (LastBit - hi)) & (All << lo);
}

// The positions lo..hi that hold something other than an empty record.
ListPositions UsedPositions(int lo, int hi) {
  ListPositions used = 0;
  for (int k = lo; k <= hi; ++k) {
    if (!IsEmptyCandidate(CandidateList[k])) used |= PositionBit(k);
  }
  return used;
}

// Exchanges records a and b and keeps `used` telling where the non-empty records are; two empty
// records are not exchanged.
void Exchange(int a, int b, ListPositions& used) {
  const ListPositions both = PositionBit(a) | PositionBit(b);
  const ListPositions marked = used & both;
  if (marked == 0) return;
  SwapCandidates(a, b);
  if (marked != both) used ^= both;
}

// How many positions from `from` upward (up to hi) hold empty records, one after another.
int EmptyRunUp(ListPositions used, int from, int hi) {
  if (from > hi) return 0;
  const ListPositions ahead = used & PositionRange(from, hi);
  return (ahead != 0 ? std::countr_zero(ahead) : hi + 1) - from;
}

// How many positions from `from` downward (down to lo) hold empty records, one after another.
int EmptyRunDown(ListPositions used, int from, int lo) {
  if (from < lo) return 0;
  const ListPositions behind = used & PositionRange(lo, from);
  constexpr int LastBit = std::numeric_limits<ListPositions>::digits - 1;
  return behind != 0 ? from - (LastBit - std::countl_zero(behind)) : from - lo + 1;
}

// The upward scan of the exchange sort from position i against a positive pivot key: the first
// position above i up to hi whose key is not below the pivot's, or hi + 1. Every empty record (key
// 0) lies below such a pivot and would be passed over, so only the used positions are looked at.
int ScanUpPastUsed(ListPositions used, int i, int hi, int key) {
  if (i >= hi) return hi + 1;
  for (ListPositions ahead = used & PositionRange(i + 1, hi); ahead != 0; ahead &= ahead - 1) {
    const int k = std::countr_zero(ahead);
    if (CandidateList[k].opponentMobility >= key) return k;
  }
  return hi + 1;
}

// One partition of the exchange sort on lo..hi around the key of record lo; returns the position
// where that record ends up. Against a pivot key of 0 both scans stop on an empty record at once,
// so while each of them steps onto one a round only exchanges two empty records; such rounds are
// skipped in one go, short of the round in which the scans would meet.
int Partition(int lo, int hi, ListPositions& used) {
  const int key = CandidateList[lo].opponentMobility;
  int i = lo;
  int j = hi + 1;
  for (;;) {
    if (key > 0) {
      i = ScanUpPastUsed(used, i, hi, key);
    } else {
      // Only worth working out when both scans are about to step onto an empty record.
      if (key == 0 && i < hi && (used & (PositionBit(i + 1) | PositionBit(j - 1))) == 0) {
        const int rounds =
            std::min({EmptyRunUp(used, i + 1, hi), EmptyRunDown(used, j - 1, lo), (j - i - 1) / 2});
        i += rounds;
        j -= rounds;
      }
      do {
        ++i;
      } while (i <= hi && CandidateList[i].opponentMobility < key);
    }
    // Needs no bound: record lo holds the pivot key, so the scan stops there at the latest.
    do {
      --j;
    } while (CandidateList[j].opponentMobility > key);
    if (j <= i) break;
    Exchange(i, j, used);
  }
  // Record lo still holds the pivot: the scans never reach it with an exchange.
  Exchange(lo, j, used);
  return j;
}

// SortCandidates on lo..hi, with `used` marking the positions of the non-empty records.
// Why skipping is safe: every empty record is all zero, so any two of them are interchangeable and
// no step of the exchange sort can tell one from another. Exchanging two of them, sorting a range
// that holds nothing else and a scan's steps over them therefore change nothing and are left out
// (Exchange, the early return below, ScanUpPastUsed and Partition's skipped rounds all rest on
// this); every other step is the exchange sort's own, so records with equal keys end up in its
// order. The skipping saves about 3,100 of the 11,000 instructions a COM turn costs with every
// step taken, which keeps a turn under its 8,000-instruction budget.
void SortUsed(int lo, int hi, ListPositions& used) {
  // The part above the pivot is sorted by the next round of this loop, as a second call would.
  while (lo < hi) {
    const ListPositions here = used & PositionRange(lo, hi);
    if (here == 0) return;
    // A single record with a positive key among empty ones has one sorted place: the end.
    if ((here & (here - 1)) == 0 && CandidateList[std::countr_zero(here)].opponentMobility > 0) {
      Exchange(std::countr_zero(here), hi, used);
      return;
    }
    const int pivot = Partition(lo, hi, used);
    SortUsed(lo, pivot - 1, used);
    lo = pivot + 1;
  }
}

}  // namespace

void RankCandidates(int side) {
  // The Board is read once for all trials. A square that is no legal move gives 0 and is left out
  // of the list, so only the legal squares are tried; they are taken in ascending SquareCode, the
  // order in which the list is filled. The records go straight into the list: a table by square
  // in between would be read by nothing else.
  const CellSets cells = ReadCellSets(side);
  const LegalByDirection legal = FindLegalByDirection(cells);
  // Every legal square encloses, and each enclosing trial takes the snapshot of the Board.
  if (legal.any != 0) SaveBoard();
  int next = 0;
  for (SquareSet untried = legal.any; untried != 0; untried &= untried - 1) {
    const int index = std::countr_zero(untried);
    const int row = index / BoardSize;
    const int col = index % BoardSize;
    int discs = 0;
    const int mobility = TryMoveOn(cells, legal, row, col, discs);
    const int opponentMobility = mobility % MobilityRadix;
    // A move after which the opponent could not answer is left out.
    if (opponentMobility < 1) continue;
    CandidateList[next++] = {SquareCode(row, col), discs, mobility / MobilityRadix,
                             opponentMobility};
  }
  // Nothing of an earlier turn stays behind the new records.
  ClearCandidates(next);

  // The sort is told where the records are, positions 0..next-1, instead of looking for them.
  ListPositions used = next > 0 ? PositionRange(0, next - 1) : 0;
  SortUsed(0, CandidateCapacity - 1, used);
  ReverseCandidates();
}

void SortCandidates(int lo, int hi) {
  if (lo >= hi) return;
  ListPositions used = UsedPositions(lo, hi);
  SortUsed(lo, hi, used);
}

void ReverseCandidates() {
  for (int low = 0, high = CandidateCapacity - 1; low < high; ++low, --high) {
    SwapCandidates(low, high);
  }
}

void ResetComState() {
  ClearCandidates(0);
  ResetSearchState();
  ResetRandomState();
}

}  // namespace reversi
