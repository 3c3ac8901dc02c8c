// The ranking's exchange sort, every step taken, on a list of the test's own.
#include "exchange_sort.h"

#include <utility>

namespace reversi::testing {

void ExchangeSortStepByStep(Candidate (&list)[CandidateCapacity], int lo, int hi) {
  if (lo >= hi) return;
  const Candidate pivot = list[lo];
  int i = lo;
  int j = hi + 1;
  for (;;) {
    do {
      ++i;
    } while (i <= hi && list[i].opponentMobility < pivot.opponentMobility);
    // Needs no bound: record lo holds the pivot key, so the scan stops there at the latest.
    do {
      --j;
    } while (list[j].opponentMobility > pivot.opponentMobility);
    if (j <= i) break;
    std::swap(list[i], list[j]);
  }
  list[lo] = list[j];
  list[j] = pivot;
  ExchangeSortStepByStep(list, lo, j - 1);
  ExchangeSortStepByStep(list, j + 1, hi);
}

}  // namespace reversi::testing
