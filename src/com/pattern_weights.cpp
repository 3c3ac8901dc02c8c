// The learned evaluation's weights, written by tools/fit-patterns (do not edit): all zero until
// the first fit.
#include "patterns.h"

namespace reversi {

extern const std::int16_t PackedPatternWeights[] = {ZeroRun, 0};
extern const int PackedPatternWeightCount = 0;

}  // namespace reversi
