#!/usr/bin/env bash
# Instructions per written byte of the screen path, counted by callgrind on the screens of
# recorded COM-vs-COM games (bench/screen_bench.cpp): written to a pipe or a file, plain and with
# the options that change the screens, and put through the UTF-8 conversion a terminal is shown.
# First checks that the replayed screens are byte for byte those of real sessions.
#   usage: bash tools/bench-screen.sh [rounds (default 10)]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-10}

bash tools/install-deps.sh g++ cmake make libbenchmark-dev valgrind >&2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF -DREVERSI_BENCHMARKS=ON \
  >/dev/null
cmake --build build-bench -j 2 --target reversi_screen_bench >/dev/null
bench=build-bench/bench/reversi_screen_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Instructions executed inside the replay, less the driver's own bookkeeping between screens.
collected() {
  valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" 2>&1 >/dev/null |
    awk '/Collected :/ { print $NF }'
}

for options in "" "--english" "--hints" "--last-move" "--ascii" "--color" "--hints --last-move --color" \
  "--english --hints --last-move --ascii --color"; do
  # shellcheck disable=SC2086 # the options are words
  "$bench" --check $options >/dev/null
  # shellcheck disable=SC2086
  bytes=$("$bench" --screens 1 $options 2>/dev/null | wc -c)
  # shellcheck disable=SC2086
  instructions=$(collected --toggle-collect='*ReplayScreens*' --toggle-collect='*SetUpTurn*' \
    --toggle-collect='*FinishTurn*' "$bench" --screens "$rounds" $options)
  awk -v i="$instructions" -v b="$bytes" -v r="$rounds" -v o="${options:-plain}" 'BEGIN {
    printf "screens to a pipe or file (%s): %.2f instructions per byte, %d bytes per game\n",
      o, i / (b * r), b / 16 }'
done

for options in "" "--hints --last-move --color"; do
  # shellcheck disable=SC2086
  sizes=$("$bench" --terminal 1 $options 2>/dev/null)
  in=$(echo "$sizes" | awk '{ print $1 }')
  out=$(echo "$sizes" | awk '{ print $5 }')
  # shellcheck disable=SC2086
  instructions=$(collected --toggle-collect='*ConvertScreens*' "$bench" --terminal "$rounds" $options)
  awk -v i="$instructions" -v a="$in" -v b="$out" -v r="$rounds" -v o="${options:-plain}" 'BEGIN {
    printf "UTF-8 conversion for a terminal (%s): %.2f instructions per CP932 byte in (%.2f per byte out)\n",
      o, i / (a * r), i / (b * r) }'
done
