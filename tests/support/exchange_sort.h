// The COM's ranking sort written out step by step, as plainly as it is stated: the order that the
// COM's own sort, which leaves out the steps that only move empty records, must reproduce.
#pragma once

#include "com/com.h"

namespace reversi::testing {

// The recursive exchange sort on list[lo..hi] by ascending opponentMobility: record lo is the
// pivot, both scans stop on equal keys, the pivot goes to where the downward scan stopped, and the
// two parts on either side of it are sorted the same way. Nothing happens when lo >= hi.
void ExchangeSortStepByStep(Candidate (&list)[CandidateCapacity], int lo, int hi);

}  // namespace reversi::testing
