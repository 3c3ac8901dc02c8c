#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: Google Benchmark medians over repeated runs, then
# instruction counts under callgrind for fixed workloads, which do not drift with the load on this
# shared machine. Extra arguments go to the benchmark binary (e.g. --benchmark_filter=ComMove).
#   usage: bash tools/bench.sh [benchmark arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=9
games=100

bash tools/install-deps.sh g++ cmake make libbenchmark-dev valgrind >&2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF -DREVERSI_BENCHMARKS=ON \
  >/dev/null
cmake --build build-bench -j 2 --target reversi_bench >/dev/null
bench=build-bench/bench/reversi_bench

echo "== Google Benchmark, median of $repetitions repetitions"
"$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true "$@" | grep -v -E '_(mean|stddev|cv) '

echo "== callgrind instruction counts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Instructions executed inside the routine named by the toggle, for one fixed workload.
count() {
  valgrind --tool=callgrind --callgrind-out-file="$work/out" --toggle-collect="$1" "${@:2}" \
    2>&1 >/dev/null | awk '/Collected :/ { print $NF }'
}
game_instructions=$(count 'reversi::RunGame()' "$bench" --games "$games")
turns=$("$bench" --turns "$games")
turn_instructions=$(count 'reversi::ChooseComMove(int)' "$bench" --turns "$games")
echo "whole game (screens included): $((game_instructions / games)) instructions, mean of $games games"
echo "COM turn: $((turn_instructions / turns)) instructions, mean of $turns turns"
