// The fitting tool of the learned evaluation: plays games of the engine against itself from
// randomised openings, labels their positions with exact end-game solves, fits the pattern weights
// to those labels by regularised least squares, writes them as src/com/pattern_weights.cpp, and
// plays the learned evaluation against the hand-weighted one. A tool, not part of the game: it
// allocates freely. tools/fit-patterns.sh runs the whole fit with fixed seeds.
//   generate --games N --first G --seed S --level L --exact E [--hand] [--weights FILE] --out FILE
//   fit --out-source FILE --out-weights FILE [--penalties P,...] DATA...
//   match --level L --games N --seed S [--weights FILE]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "com/com.h"
#include "com/patterns.h"
#include "com/search.h"

namespace reversi {
namespace {

// One labelled position: the mover's and the other side's discs, and the final disc margin for
// the mover (empty squares counted for nobody), exact or the outcome of the game played on.
struct Sample {
  std::uint64_t own;
  std::uint64_t opponent;
  std::int8_t label;
  std::uint8_t empties;
  std::uint8_t exact;
  std::uint32_t game;
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fit_patterns: %s\n", what);
  std::exit(2);
}

const char* Argument(int argc, char** argv, const char* name, const char* fallback) {
  for (int k = 0; k + 1 < argc; ++k) {
    if (std::strcmp(argv[k], name) == 0) return argv[k + 1];
  }
  if (fallback == nullptr) Fail((std::string("missing ") + name).c_str());
  return fallback;
}

bool Flag(int argc, char** argv, const char* name) {
  for (int k = 0; k < argc; ++k) {
    if (std::strcmp(argv[k], name) == 0) return true;
  }
  return false;
}

// Puts the weights of a raw file (int16 per entry, every stage in order) in place of the linked
// ones, for games with freshly fitted weights before they are built in.
void LoadWeights(const char* path) {
  UnpackPatternWeights();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) Fail("cannot open the weights");
  const std::size_t count = sizeof PatternWeights / sizeof(std::int16_t);
  if (std::fread(&PatternWeights[0][0], sizeof(std::int16_t), count, file) != count)
    Fail("short weights file");
  std::fclose(file);
}

int DiscMargin(int side) {
  return CountCells(OwnCell(side)) - CountCells(OpponentCell(side));
}

// Plays a legal square of `side`: uniformly at random, or by the search of `level`.
void PlayMove(int side, int level, bool random, std::mt19937& rng) {
  int square = 0;
  if (random) {
    SquareSet legal = LegalSquares(side);
    for (int pick = static_cast<int>(rng() % CountSquares(legal)); pick > 0; --pick)
      legal &= legal - 1;
    int index = 0;
    while (((legal >> index) & 1) == 0)
      ++index;
    square = SquareCode(index / BoardSize, index % BoardSize);
  } else {
    square = ChooseSearchedSquare(side, level, static_cast<int>(rng() % (RandomMax + 1)));
  }
  PlaceDisc(SquareRow(square), SquareColumn(square), side);
}

// ---- generate -----------------------------------------------------------------------------------
// Each game opens with 6 to 20 random moves, then the search of --level plays it out. From --exact
// empty squares on, every position is solved exactly; the positions before that are labelled with
// the exact value of the first solved one, which the game reached from them.

int Generate(int argc, char** argv) {
  const int games = std::atoi(Argument(argc, argv, "--games", nullptr));
  const int first = std::atoi(Argument(argc, argv, "--first", "0"));
  const auto seed = static_cast<std::uint32_t>(std::atoll(Argument(argc, argv, "--seed", "1")));
  const int level = std::atoi(Argument(argc, argv, "--level", "3"));
  const int exactFrom = std::atoi(Argument(argc, argv, "--exact", "16"));
  const char* out = Argument(argc, argv, "--out", nullptr);
  if (level < FirstSearchingLevel || level > LastLevel) Fail("bad --level");
  UseHandWeightedEvaluation(Flag(argc, argv, "--hand"));
  if (const char* weights = Argument(argc, argv, "--weights", ""); *weights != '\0')
    LoadWeights(weights);
  constexpr int FewestRandomMoves = 6;
  constexpr int RandomMoveSpread = 15;

  std::FILE* file = std::fopen(out, "wb");
  if (file == nullptr) Fail("cannot write the data");
  std::vector<Sample> samples;
  std::vector<int> pendingSides;
  long written = 0;
  for (int game = first; game < first + games; ++game) {
    std::mt19937 rng(seed + static_cast<std::uint32_t>(game) * 7919U);
    ResetBoardState();
    InitBoard();
    ResetSearchState();
    const int randomMoves = FewestRandomMoves + static_cast<int>(rng() % RandomMoveSpread);
    samples.clear();
    pendingSides.clear();
    bool solved = false;
    int blackValue = 0;
    int side = 0;
    for (int move = 0;; ++move) {
      const int status = GetTurnStatus(side);
      if (status == GameOver) break;
      if (status == MustPass) side = OtherSide(side);
      const CellSets cells = ReadCellSets(side);
      const int empties = CountSquares(cells.empty);
      Sample sample = {cells.own, cells.opponent,
                       0,         static_cast<std::uint8_t>(empties),
                       0,         static_cast<std::uint32_t>(game)};
      if (empties <= exactFrom) {
        const int value = SolveExactly(cells);
        sample.label = static_cast<std::int8_t>(value);
        sample.exact = 1;
        if (!solved) blackValue = side == 0 ? value : -value;
        solved = true;
      }
      samples.push_back(sample);
      pendingSides.push_back(side);
      PlayMove(side, level, move < randomMoves, rng);
      side = OtherSide(side);
    }
    if (!solved) blackValue = DiscMargin(0);
    for (std::size_t k = 0; k < samples.size(); ++k) {
      if (samples[k].exact == 0) {
        samples[k].label =
            static_cast<std::int8_t>(pendingSides[k] == 0 ? blackValue : -blackValue);
      }
    }
    std::fwrite(samples.data(), sizeof(Sample), samples.size(), file);
    written += static_cast<long>(samples.size());
  }
  std::fclose(file);
  std::printf("%d games, %ld positions\n", games, written);
  return 0;
}

// ---- fit ----------------------------------------------------------------------------------------
// Per stage, ridge regression (least squares with an L2 penalty that pulls rarely seen entries
// towards zero) solved by the conjugate gradient method with a diagonal (Jacobi) preconditioner.
// A pattern's entry and its mirror image share one weight: the pattern reads the same squares
// backwards on a reflected board, so the evaluation stays symmetric.

// Where digit k of a pattern goes when the pattern is reflected onto itself.
std::vector<int> MirrorOrder(Feature feature) {
  const int digits = FeatureShapes[feature].squares;
  std::vector<int> order(static_cast<std::size_t>(digits));
  for (int k = 0; k < digits; ++k)
    order[static_cast<std::size_t>(k)] = k;
  switch (feature) {
    case EdgeFeature:
      for (int k = 0; k < BoardSize; ++k)
        order[static_cast<std::size_t>(k)] = LastIndex - k;
      order[BoardSize] = BoardSize + 1;
      order[BoardSize + 1] = BoardSize;
      break;
    case Corner3x3Feature: {
      constexpr int Side = 3;
      for (int k = 0; k < digits; ++k)
        order[static_cast<std::size_t>(k)] = (k % Side) * Side + k / Side;
      break;
    }
    case Corner2x5Feature:
    case OwnMovesFeature:
    case OpponentMovesFeature:
    case ParityFeature:
    case FeatureKindCount:
      break;
    default:
      for (int k = 0; k < digits; ++k)
        order[static_cast<std::size_t>(k)] = digits - 1 - k;
  }
  return order;
}

// For every entry of a stage's weights, the entry whose weight it shares (the smaller of it and
// its mirror image).
std::vector<int> CanonicalEntries() {
  std::vector<int> canonical(StageWeightCount);
  for (int feature = 0; feature < FeatureKindCount; ++feature) {
    const FeatureShape& shape = FeatureShapes[feature];
    const std::vector<int> order = MirrorOrder(static_cast<Feature>(feature));
    for (int index = 0; index < shape.size; ++index) {
      int mirrored = 0;
      if (shape.squares > 0) {
        int rest = index;
        for (int k = 0; k < shape.squares; ++k) {
          mirrored += rest % 3 * PowerOfThree(order[static_cast<std::size_t>(k)]);
          rest /= 3;
        }
      } else {
        mirrored = index;
      }
      canonical[static_cast<std::size_t>(shape.offset + index)] =
          shape.offset + std::min(index, mirrored);
    }
  }
  return canonical;
}

struct Rows {
  std::vector<std::int32_t> entries;  // InstanceCount per row
  std::vector<float> labels;
};

void AddRow(Rows& rows, const Sample& sample, const std::vector<int>& canonical) {
  const CellSets cells = {sample.own, sample.opponent, ~(sample.own | sample.opponent)};
  const CellSets other = {sample.opponent, sample.own, cells.empty};
  VisitFeatures(
      cells, CountSquares(LegalSquares(cells)), CountSquares(LegalSquares(other)),
      [&](int entry) { rows.entries.push_back(canonical[static_cast<std::size_t>(entry)]); });
  rows.labels.push_back(sample.label);
}

double Predict(const Rows& rows, std::size_t row, const std::vector<double>& weights) {
  double sum = 0;
  const std::int32_t* entries = &rows.entries[row * InstanceCount];
  for (int k = 0; k < InstanceCount; ++k)
    sum += weights[static_cast<std::size_t>(entries[k])];
  return sum;
}

// Solves (X'X + lambda I) w = X'y.
std::vector<double> Ridge(const Rows& rows, double lambda, int iterations) {
  const std::size_t count = rows.labels.size();
  std::vector<double> weights(StageWeightCount, 0.0);
  std::vector<double> diagonal(StageWeightCount, lambda);
  std::vector<double> residual(StageWeightCount, 0.0);
  for (std::size_t row = 0; row < count; ++row) {
    for (int k = 0; k < InstanceCount; ++k) {
      const auto entry = static_cast<std::size_t>(rows.entries[row * InstanceCount + k]);
      diagonal[entry] += 1;
      residual[entry] += rows.labels[row];
    }
  }
  const auto multiply = [&](const std::vector<double>& in, std::vector<double>& out) {
    for (std::size_t k = 0; k < out.size(); ++k)
      out[k] = lambda * in[k];
    for (std::size_t row = 0; row < count; ++row) {
      const double sum = Predict(rows, row, in);
      for (int k = 0; k < InstanceCount; ++k)
        out[static_cast<std::size_t>(rows.entries[row * InstanceCount + k])] += sum;
    }
  };
  std::vector<double> z(StageWeightCount);
  std::vector<double> direction(StageWeightCount);
  std::vector<double> product(StageWeightCount);
  double rz = 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    z[k] = residual[k] / diagonal[k];
    direction[k] = z[k];
    rz += residual[k] * z[k];
  }
  for (int step = 0; step < iterations && rz > 1e-12; ++step) {
    multiply(direction, product);
    double pAp = 0;
    for (std::size_t k = 0; k < z.size(); ++k)
      pAp += direction[k] * product[k];
    const double alpha = rz / pAp;
    double next = 0;
    for (std::size_t k = 0; k < z.size(); ++k) {
      weights[k] += alpha * direction[k];
      residual[k] -= alpha * product[k];
      z[k] = residual[k] / diagonal[k];
      next += residual[k] * z[k];
    }
    const double beta = next / rz;
    rz = next;
    for (std::size_t k = 0; k < z.size(); ++k)
      direction[k] = z[k] + beta * direction[k];
  }
  return weights;
}

double MeanSquaredError(const Rows& rows, const std::vector<double>& weights) {
  double sum = 0;
  for (std::size_t row = 0; row < rows.labels.size(); ++row) {
    const double error = Predict(rows, row, weights) - rows.labels[row];
    sum += error * error;
  }
  return rows.labels.empty() ? 0 : sum / static_cast<double>(rows.labels.size());
}

// Writes the weights packed as pattern_weights.cpp reads them: runs of zeros as ZeroRun and a
// count, every other weight as itself.
void WriteSource(const char* path, const std::vector<std::int16_t>& all, const std::string& note) {
  std::vector<int> packed;
  constexpr int LongestRun = 0xFFFF;
  for (std::size_t k = 0; k < all.size();) {
    if (all[k] != 0) {
      packed.push_back(all[k++]);
      continue;
    }
    int run = 0;
    while (k < all.size() && all[k] == 0 && run < LongestRun) {
      ++run;
      ++k;
    }
    packed.push_back(ZeroRun);
    packed.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(run)));
  }
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) Fail("cannot write the source");
  std::fprintf(
      file,
      "// The learned evaluation's weights, written by tools/fit-patterns (do not edit;\n"
      "// docs/development.md tells how they were made). %s\n"
      "// clang-format off\n#include \"patterns.h\"\n\nnamespace reversi {\n\n"
      "namespace {\nconstexpr std::int16_t Z = ZeroRun;  // a count of zeros follows\n}\n\n"
      "extern const std::int16_t PackedPatternWeights[] = {\n",
      note.c_str());
  constexpr int PerLine = 24;
  for (std::size_t k = 0; k < packed.size(); ++k) {
    if (packed[k] == ZeroRun) {
      std::fputs("Z,", file);
    } else {
      std::fprintf(file, "%d,", packed[k]);
    }
    if (k % PerLine == PerLine - 1) std::fputc('\n', file);
  }
  std::fprintf(
      file, "\n};\nextern const int PackedPatternWeightCount = %zu;\n\n}  // namespace reversi\n",
      packed.size());
  std::fclose(file);
}

int Fit(int argc, char** argv) {
  const char* source = Argument(argc, argv, "--out-source", nullptr);
  const char* raw = Argument(argc, argv, "--out-weights", nullptr);
  const int iterations = std::atoi(Argument(argc, argv, "--iterations", "80"));
  constexpr int HeldOutEvery = 20;  // every 20th game checks the fit and chooses the penalty
  constexpr int StageOverlap = 2;   // a stage also learns from positions this near its edges
  std::vector<Sample> samples;
  for (int k = 0; k < argc; ++k) {
    if (argv[k][0] == '-') {
      ++k;
      continue;
    }
    std::FILE* file = std::fopen(argv[k], "rb");
    if (file == nullptr) Fail("cannot read a data file");
    Sample sample;
    while (std::fread(&sample, sizeof sample, 1, file) == 1)
      samples.push_back(sample);
    std::fclose(file);
  }
  std::printf("%zu positions\n", samples.size());
  const std::vector<int> canonical = CanonicalEntries();
  std::vector<std::int16_t> all;
  // The penalties tried, comma-separated; the one with the least held-out error is kept.
  std::vector<double> penalties;
  for (const char* at = Argument(argc, argv, "--penalties", "3,10,30,100"); *at != '\0';) {
    char* end = nullptr;
    penalties.push_back(std::strtod(at, &end));
    if (end == at) Fail("bad --penalties");
    at = *end == ',' ? end + 1 : end;
  }
  for (int stage = 0; stage < StageCount; ++stage) {
    const int low = stage * StageEmpties + 1 - StageOverlap;
    const int high = (stage + 1) * StageEmpties + StageOverlap;
    Rows train;
    Rows check;
    Rows every;
    for (const Sample& sample : samples) {
      if (sample.empties < low || sample.empties > high) continue;
      AddRow(sample.game % HeldOutEvery == 0 ? check : train, sample, canonical);
      AddRow(every, sample, canonical);
    }
    double bestError = 1e30;
    double bestPenalty = penalties[0];
    for (const double penalty : penalties) {
      const double error = MeanSquaredError(check, Ridge(train, penalty, iterations));
      if (error < bestError) {
        bestError = error;
        bestPenalty = penalty;
      }
    }
    const std::vector<double> weights = Ridge(every, bestPenalty, iterations);
    std::printf("stage %d (empties %d..%d): %zu positions, penalty %g, held-out error %.2f discs\n",
                stage, low, high, every.labels.size(), bestPenalty, std::sqrt(bestError));
    std::fflush(stdout);
    for (int entry = 0; entry < StageWeightCount; ++entry) {
      const double value =
          weights[static_cast<std::size_t>(canonical[static_cast<std::size_t>(entry)])] *
          EvaluationUnitsPerDisc;
      constexpr double Largest = 32767;
      all.push_back(static_cast<std::int16_t>(std::lround(std::clamp(value, -Largest, Largest))));
    }
  }
  std::FILE* file = std::fopen(raw, "wb");
  if (file == nullptr) Fail("cannot write the weights");
  std::fwrite(all.data(), sizeof(std::int16_t), all.size(), file);
  std::fclose(file);
  WriteSource(source, all, "Fitted to " + std::to_string(samples.size()) + " positions.");
  return 0;
}

// ---- match --------------------------------------------------------------------------------------
// The learned evaluation against the hand-weighted one at the same level: game pairs from the same
// random opening (8 moves), the learned side black in one and white in the other.

int Match(int argc, char** argv) {
  const int level = std::atoi(Argument(argc, argv, "--level", nullptr));
  const int games = std::atoi(Argument(argc, argv, "--games", "20"));
  const auto seed = static_cast<std::uint32_t>(std::atoll(Argument(argc, argv, "--seed", "1")));
  if (level < FirstSearchingLevel || level > LastLevel) Fail("bad --level");
  if (const char* weights = Argument(argc, argv, "--weights", ""); *weights != '\0')
    LoadWeights(weights);
  constexpr int OpeningMoves = 8;
  int wins = 0;
  int draws = 0;
  int losses = 0;
  long margins = 0;
  std::vector<double> times;  // the learned side's moves, wall clock
  double worst = 0;
  int worstEmpties = 0;
  for (int game = 0; game < games; ++game) {
    std::mt19937 opening(seed + static_cast<std::uint32_t>(game / 2));
    std::mt19937 coins(seed * 31U + static_cast<std::uint32_t>(game));
    const int learnedSide = game % 2;
    ResetBoardState();
    InitBoard();
    ResetSearchState();
    int side = 0;
    for (int move = 0;; ++move) {
      const int status = GetTurnStatus(side);
      if (status == GameOver) break;
      if (status == MustPass) side = OtherSide(side);
      UseHandWeightedEvaluation(side != learnedSide);
      const int empties = CountCells(Empty);
      const auto start = std::chrono::steady_clock::now();
      PlayMove(side, level, move < OpeningMoves, move < OpeningMoves ? opening : coins);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      if (side == learnedSide && move >= OpeningMoves) {
        times.push_back(took.count());
        if (took.count() > worst) {
          worst = took.count();
          worstEmpties = empties;
        }
      }
      side = OtherSide(side);
    }
    const int margin = DiscMargin(learnedSide);
    wins += margin > 0;
    draws += margin == 0;
    losses += margin < 0;
    margins += margin;
    std::printf("game %d, learned %s: %+d\n", game + 1, learnedSide == 0 ? "black" : "white",
                margin);
    std::fflush(stdout);
  }
  std::printf("level %d: learned %d-%d-%d (won-drawn-lost), %.0f%%, mean margin %+.1f\n", level,
              wins, draws, losses, 100.0 * (wins + draws / 2.0) / games,
              static_cast<double>(margins) / games);
  std::sort(times.begin(), times.end());
  constexpr double Milliseconds = 1000;
  if (!times.empty()) {
    std::printf("learned side's moves: median %.1f ms, worst %.0f ms (at %d empty squares)\n",
                times[times.size() / 2] * Milliseconds, worst * Milliseconds, worstEmpties);
  }
  UseHandWeightedEvaluation(false);
  return 0;
}

}  // namespace
}  // namespace reversi

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "generate") == 0)
    return reversi::Generate(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "fit") == 0) return reversi::Fit(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "match") == 0) return reversi::Match(argc - 2, argv + 2);
  std::fprintf(stderr, "usage: fit_patterns generate|fit|match ...\n");
  return 2;
}
