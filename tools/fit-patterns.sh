#!/usr/bin/env bash
# Fits the learned evaluation's weights from nothing and writes them to src/com/pattern_weights.cpp:
# self-play games from random openings, their positions labelled by exact solves, a least-squares
# fit per stage (tools/fit-patterns/fit_patterns.cpp). Two rounds: the hand-weighted evaluation
# plays the first games; the weights fitted to them play the second; the final fit takes both.
# Every seed is fixed, so a run repeats exactly. Two processes at a time, run under nice.
#   usage: bash tools/fit-patterns.sh [games per process in round 1, default 4000]
#                                     [games per process in round 2, default 1000]
set -euo pipefail
cd "$(dirname "$0")/.."

first_games="${1:-4000}"
second_games="${2:-1000}"
bash tools/install-deps.sh g++ cmake make libbenchmark-dev >&2
cmake -S . -B build-fit -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF \
  -DREVERSI_BENCHMARKS=ON >/dev/null
cmake --build build-fit -j 2 --target reversi_fit_patterns >/dev/null
tool=build-fit/bench/reversi_fit_patterns
data=build-fit/fit-data
mkdir -p "$data"

# Plays 2 x $2 games of round $1 into $data/$1-{0,1}.bin; the rest are generate's options.
generate() {
  local round="$1"
  local games="$2"
  shift 2
  nice "$tool" generate --games "$games" --first 0 --out "$data/$round-0.bin" "$@" &
  nice "$tool" generate --games "$games" --first "$games" --out "$data/$round-1.bin" "$@" &
  wait
}

SECONDS=0
generate hand "$first_games" --seed 1 --level 3 --exact 16 --hand
echo "round 1 played: $SECONDS s"
nice "$tool" fit --out-source "$data/round1.cpp" --out-weights "$data/round1.bin" \
  --penalties 1,3,10 "$data"/hand-*.bin
echo "round 1 fitted: $SECONDS s"
generate learned "$second_games" --seed 2 --level 3 --exact 16 --weights "$data/round1.bin"
echo "round 2 played: $SECONDS s"
nice "$tool" fit --out-source src/com/pattern_weights.cpp --out-weights "$data/round2.bin" \
  "$data"/hand-*.bin "$data"/learned-*.bin
echo "round 2 fitted: $SECONDS s"
