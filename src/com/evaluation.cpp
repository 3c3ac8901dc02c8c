// The searching COM's evaluation: a learned pattern evaluation. Every copy of every pattern of
// patterns.h and both sides' mobility look up a value fitted for the stage of the game
// (tools/fit-patterns); their sum is the final disc margin the position promises the mover.
#include "board/board.h"
#include "patterns.h"
#include "search.h"

namespace reversi {

std::int16_t PatternWeights[StageCount][StageWeightCount];

namespace {

bool weightsUnpacked = false;
bool handWeighted = false;

// Far above any margin a board can end with, far below WonDiscScore: the sum of the looked-up
// weights is clamped to it, so that no position the evaluation merely likes outranks a won ending.
constexpr int LargestValue = SquareCount * EvaluationUnitsPerDisc;
static_assert(LargestValue < WonDiscScore);

}  // namespace

bool UnpackPatternWeights() {
  weightsUnpacked = true;
  std::int16_t* out = &PatternWeights[0][0];
  constexpr int Total = StageCount * StageWeightCount;
  int written = 0;
  for (int k = 0; k < PackedPatternWeightCount; ++k) {
    if (PackedPatternWeights[k] != ZeroRun) {
      if (written == Total) break;
      out[written++] = PackedPatternWeights[k];
      continue;
    }
    if (++k == PackedPatternWeightCount) break;
    const int run = static_cast<std::uint16_t>(PackedPatternWeights[k]);
    if (run > Total - written) break;
    for (int zero = 0; zero < run; ++zero)
      out[written++] = 0;
  }
  if (written == Total && PackedPatternWeightCount > 0) return true;
  for (int k = 0; k < Total; ++k)
    out[k] = 0;
  return false;
}

void UseHandWeightedEvaluation(bool use) {
  handWeighted = use;
}

int EvaluatePosition(const CellSets& cells) {
  if (handWeighted) return EvaluateByHand(cells);
  if (!weightsUnpacked) UnpackPatternWeights();
  const CellSets other = {cells.opponent, cells.own, cells.empty};
  const std::int16_t* weights = PatternWeights[StageOf(CountSquares(cells.empty))];
  int value = 0;
  VisitFeatures(cells, CountSquares(LegalSquares(cells)), CountSquares(LegalSquares(other)),
                [&value, weights](int entry) { value += weights[entry]; });
  return value > LargestValue ? LargestValue : value < -LargestValue ? -LargestValue : value;
}

}  // namespace reversi
