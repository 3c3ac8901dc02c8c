// Benchmarks of the rules routines, one COM turn on fixed positions, a rules perft and whole
// COM-vs-COM games played in-process with the output thrown away. The positions come from a COM
// game played with a fixed seed, so every run measures the same work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "board/board.h"
#include "com/com.h"
#include "com/patterns.h"
#include "com/search.h"
#include "com_game.h"
#include "game/game.h"
#include "move_tree.h"
#include "platform/console.h"

namespace reversi {
namespace {

// A position together with what the COM reads besides the Board.
struct Position {
  Cell board[BoardSize][BoardSize];
  int side;
  int moveCount;
  int passFlag;
};

constexpr std::uint32_t GameSeed = 1700000000U;
// The turn that is measured as the middle game: about a third of the board is filled.
constexpr int MidgameMoveCount = 20;
// Past this count the COM's late-game rule (most discs) decides.
constexpr int LateGameMoveCount = 50;
// Seeds tried, one game each, to find a COM turn right after a pass. Between two COMs passes come
// in the last few moves, so this is an end-game position.
constexpr int PassSearchGames = 1000;
// The whole-game benchmark cycles through this many different seeds.
constexpr int GameSeedCount = 16;
// Perft from the start position, as deep as its count is known.
constexpr int PerftDepth = testing::KnownTreeDepth;

void DiscardOutput(const char*, std::size_t) {}

void Load(const Position& position) {
  std::memcpy(Board, position.board, sizeof Board);
  MoveCount = position.moveCount;
  PassFlag = position.passFlag;
}

Position Capture(int side) {
  Position position;
  std::memcpy(position.board, Board, sizeof Board);
  position.side = side;
  position.moveCount = MoveCount;
  position.passFlag = PassFlag;
  return position;
}

// Plays a COM-vs-COM game with `seed` the way the driver does (without the screens) and keeps the
// first turn for which `wanted` says yes. False when no such turn came.
template <typename Wanted>
bool FindTurn(std::uint32_t seed, Wanted wanted, Position& found) {
  const bool finished = PlayComGame(
      seed,
      [&](int side) {
        if (!wanted()) return true;
        found = Capture(side);
        return false;
      },
      [](int, int) {});
  return !finished;
}

struct Positions {
  Position opening;
  Position midgame;
  Position lateGame;
  Position afterPass;
};

const Positions& FixedPositions() {
  static Positions positions;
  static bool ready = false;
  if (ready) return positions;
  platform::RedirectOutput(DiscardOutput);
  FindTurn(
      GameSeed, [] { return true; }, positions.opening);
  FindTurn(
      GameSeed, [] { return MoveCount >= MidgameMoveCount; }, positions.midgame);
  FindTurn(
      GameSeed, [] { return MoveCount >= LateGameMoveCount; }, positions.lateGame);
  for (int game = 0; game < PassSearchGames; ++game) {
    if (FindTurn(
            GameSeed + game, [] { return PassFlag == 1; }, positions.afterPass))
      break;
  }
  ready = true;
  return positions;
}

// One COM turn: ranking, choice and placement. Loading the position back (a 64-byte copy) is part
// of every iteration.
void BM_ChooseComMove(benchmark::State& state, const Position Positions::*which) {
  const Position& position = FixedPositions().*which;
  platform::RedirectOutput(DiscardOutput);
  SeedRandom(GameSeed);
  for (auto _ : state) {
    Load(position);
    ChooseComMove(position.side);
  }
  state.counters["moveCount"] = position.moveCount;
}
BENCHMARK_CAPTURE(BM_ChooseComMove, opening, &Positions::opening);
BENCHMARK_CAPTURE(BM_ChooseComMove, midgame, &Positions::midgame);
BENCHMARK_CAPTURE(BM_ChooseComMove, late_game, &Positions::lateGame);
BENCHMARK_CAPTURE(BM_ChooseComMove, after_pass, &Positions::afterPass);

// The games whose COM turns tools/bench.sh counts instructions on (--turns with this number).
constexpr int ReplayedGames = 100;

// Every COM turn of those games, replayed one after another from its position; an item is one
// turn, and "per_turn" the mean time of a turn. The coin tosses are not those of the games, so a
// few turns may choose another square, but every turn ranks the same candidates.
void BM_ComTurnsOfGames(benchmark::State& state) {
  static const std::vector<Position> turns = [] {
    std::vector<Position> positions;
    platform::RedirectOutput(DiscardOutput);
    Position unused;
    for (int game = 0; game < ReplayedGames; ++game) {
      FindTurn(
          GameSeed + static_cast<std::uint32_t>(game),
          [&positions] {
            // Every turn and every pass hands the move on and counts one in MoveCount, so the side
            // to move is its parity.
            positions.push_back(Capture(MoveCount % SideCount));
            return false;
          },
          unused);
    }
    return positions;
  }();
  platform::RedirectOutput(DiscardOutput);
  SeedRandom(GameSeed);
  for (auto _ : state) {
    for (const Position& position : turns) {
      Load(position);
      ChooseComMove(position.side);
    }
  }
  const auto turnCount = static_cast<double>(turns.size());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(turns.size()));
  state.counters["turns"] = turnCount;
  state.counters["per_turn"] = benchmark::Counter(
      turnCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComTurnsOfGames)->Unit(benchmark::kMillisecond);

// The first phase's trial of all 64 squares of the middle-game position; an item is one square.
void BM_TryMove(benchmark::State& state) {
  const Position& position = FixedPositions().midgame;
  Load(position);
  for (auto _ : state) {
    for (int row = 0; row < BoardSize; ++row) {
      for (int col = 0; col < BoardSize; ++col) {
        int discs = 0;
        benchmark::DoNotOptimize(TryMove(row, col, position.side, discs));
        benchmark::DoNotOptimize(discs);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * SquareCount);
}
BENCHMARK(BM_TryMove);

void BM_CountMobility(benchmark::State& state) {
  const Position& position = FixedPositions().midgame;
  Load(position);
  for (auto _ : state) {
    benchmark::DoNotOptimize(CountMobility(position.side));
  }
}
BENCHMARK(BM_CountMobility);

// A side that can move (the scan stops early), and a side that must pass (both sides scanned).
void BM_GetTurnStatus(benchmark::State& state, const Position Positions::*which, bool passer) {
  const Position& position = FixedPositions().*which;
  Load(position);
  const int side = passer ? OtherSide(position.side) : position.side;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetTurnStatus(side));
  }
}
BENCHMARK_CAPTURE(BM_GetTurnStatus, can_move, &Positions::midgame, false);
BENCHMARK_CAPTURE(BM_GetTurnStatus, must_pass, &Positions::afterPass, true);

void BM_Perft(benchmark::State& state) {
  std::uint64_t leaves = 0;
  for (auto _ : state) {
    ResetBoardState();
    InitBoard();
    leaves = testing::CountMoveTreeLeaves(0, PerftDepth);
  }
  if (leaves != testing::StartTreeLeaves[PerftDepth]) {
    state.SkipWithError("perft count differs from the known one");
  }
  state.counters["leaves"] = static_cast<double>(leaves);
  state.counters["leaves_per_second"] = benchmark::Counter(
      static_cast<double>(leaves), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Perft)->Unit(benchmark::kMillisecond);

// The searching levels' evaluation alone on the middle-game and late-game positions, learned and
// hand-weighted: the time of one evaluation.
void BM_EvaluatePosition(benchmark::State& state, const Position Positions::*which, bool hand) {
  const Position& position = FixedPositions().*which;
  Load(position);
  const CellSets cells = ReadCellSets(position.side);
  UseHandWeightedEvaluation(hand);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluatePosition(cells));
  }
  UseHandWeightedEvaluation(false);
}
BENCHMARK_CAPTURE(BM_EvaluatePosition, learned_midgame, &Positions::midgame, false);
BENCHMARK_CAPTURE(BM_EvaluatePosition, learned_late_game, &Positions::lateGame, false);
BENCHMARK_CAPTURE(BM_EvaluatePosition, hand_midgame, &Positions::midgame, true);

// Games the searching COM plays against itself per level, each with its own seed.
constexpr int SearchedGames = 6;

// The median and the largest of `values`, which it sorts.
void AddMedianAndWorst(benchmark::State& state, const char* median, const char* worst,
                       std::vector<double>& values) {
  constexpr double Milliseconds = 1000;
  std::sort(values.begin(), values.end());
  state.counters[median] = values[values.size() / 2] * Milliseconds;
  state.counters[worst] = values.back() * Milliseconds;
}

// Every move of SearchedGames COM-vs-COM games at one searching level, each timed on its own: the
// median and the worst move (what a player waits for), and the positions the search visits per
// second. Timed twice: by the processor time the program used (std::clock), which the other work
// on a shared machine does not inflate, and by the wall clock, which it does. One iteration: the
// figures are over the moves, not over repetitions.
void BM_SearchingComMoves(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  std::vector<double> processor;
  std::vector<double> wall;
  std::uint64_t nodes = 0;
  double processorTotal = 0;
  platform::RedirectOutput(DiscardOutput);
  for (auto _ : state) {
    for (int game = 0; game < SearchedGames; ++game) {
      std::chrono::steady_clock::time_point wallStart;
      std::clock_t processorStart = 0;
      std::uint64_t nodesBefore = 0;
      PlayComGame(
          GameSeed + static_cast<std::uint32_t>(game),
          [&](int) {
            // PlayComGame resets the program, levels included, before its first turn.
            SetComLevel(0, level);
            SetComLevel(1, level);
            nodesBefore = SearchedNodes();
            processorStart = std::clock();
            wallStart = std::chrono::steady_clock::now();
            return true;
          },
          [&](int, int) {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - wallStart;
            const double used = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
            wall.push_back(took.count());
            processor.push_back(used);
            processorTotal += used;
            nodes += SearchedNodes() - nodesBefore;
          });
    }
  }
  state.counters["moves"] = static_cast<double>(processor.size());
  AddMedianAndWorst(state, "cpu_median_ms", "cpu_worst_ms", processor);
  AddMedianAndWorst(state, "wall_median_ms", "wall_worst_ms", wall);
  state.counters["nodes_per_cpu_second"] = static_cast<double>(nodes) / processorTotal;
}
// One repetition whatever tools/bench.sh asks for: a run takes a minute at level 5.
BENCHMARK(BM_SearchingComMoves)
    ->DenseRange(FirstSearchingLevel, LastLevel)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

// Positions of the exact search: one per game of the rule-based COM, at the turn where `empties`
// squares are left, for ExactSearchGames seeds.
constexpr int ExactSearchGames = 8;

// The exact end-game search alone from such positions: time per position and positions visited
// per second.
void BM_ExactSearch(benchmark::State& state) {
  const int empties = static_cast<int>(state.range(0));
  std::vector<Position> positions;
  platform::RedirectOutput(DiscardOutput);
  for (int game = 0; game < ExactSearchGames; ++game) {
    Position found;
    if (FindTurn(
            GameSeed + static_cast<std::uint32_t>(game),
            [empties] { return CountCells(Empty) <= empties; }, found)) {
      positions.push_back(found);
    }
  }
  std::uint64_t nodes = 0;
  for (auto _ : state) {
    for (const Position& position : positions) {
      Load(position);
      const std::uint64_t before = SearchedNodes();
      benchmark::DoNotOptimize(SolveExactly(ReadCellSets(position.side)));
      nodes += SearchedNodes() - before;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(positions.size()));
  state.counters["nodes_per_second"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
  state.counters["per_position"] = benchmark::Counter(
      static_cast<double>(positions.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ExactSearch)->Arg(12)->Arg(14)->Arg(16)->Arg(18)->Unit(benchmark::kMillisecond);

// A whole run of the program on "3" then "99": one COM-vs-COM game with every screen drawn into a
// sink that drops it, the clock (and so the seed) stopped at `seconds`.
int PlayWholeGame(std::uint32_t seconds) {
  static constexpr char Input[] = "3\n99\n";
  platform::RedirectOutput(DiscardOutput);
  platform::RedirectInput(Input, sizeof Input - 1);
  platform::FixClock(seconds);
  ResetProgramState();
  return RunGame();
}

// Whole games; the seed changes from game to game over a fixed cycle.
void BM_WholeGame(benchmark::State& state) {
  std::uint32_t game = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlayWholeGame(GameSeed + game++ % GameSeedCount));
  }
}
BENCHMARK(BM_WholeGame)->Unit(benchmark::kMicrosecond);

// Plays `games` games, one per seed of the fixed cycle and beyond.
void PlayWholeGames(int games) {
  for (int game = 0; game < games; ++game)
    PlayWholeGame(GameSeed + static_cast<std::uint32_t>(game));
}

// Plays the same games as PlayWholeGames without the screens and returns how many COM turns they
// took.
long CountComTurns(int games) {
  platform::RedirectOutput(DiscardOutput);
  long turns = 0;
  Position unused;
  for (int game = 0; game < games; ++game) {
    FindTurn(
        GameSeed + static_cast<std::uint32_t>(game),
        [&turns] {
          ++turns;
          return false;
        },
        unused);
  }
  return turns;
}

}  // namespace
}  // namespace reversi

// Besides the benchmarks, two fixed workloads for an instruction counter such as callgrind, whose
// counts do not depend on the load of the machine:
//   --games N   plays N whole games in-process (screens into a null sink)
//   --turns N   plays the same games without screens and prints the number of COM turns played
int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--games") == 0) {
    reversi::PlayWholeGames(std::atoi(argv[2]));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--turns") == 0) {
    std::printf("%ld\n", reversi::CountComTurns(std::atoi(argv[2])));
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
