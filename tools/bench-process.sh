#!/usr/bin/env bash
# Whole-process figure: build/reversi plays 1,000 COM-vs-COM games in one run (mode 3, then "0"
# and "3" 999 times, then "99") with standard output thrown away. Reports the time per game and
# the peak resident set size, as the median of several runs (the machine is shared, single runs
# are noisy). Instruction counts, which do not drift with the load, come from tools/bench.sh.
#   usage: bash tools/bench-process.sh [runs (default 5)]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
games=1000

bash tools/install-deps.sh g++ cmake make time >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target reversi >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The answers: the first mode choice, then a new game in mode 3 after each result screen, then
# shut down.
{
  echo 3
  for ((game = 1; game < games; game++)); do printf '0\n3\n'; done
  echo 99
} >"$work/input"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((run = 1; run <= runs; run++)); do
  start=$EPOCHREALTIME
  /usr/bin/time -v -o "$work/time" ./build/reversi <"$work/input" >/dev/null
  end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }' >>"$work/seconds"
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time" >>"$work/rss"
done
seconds=$(median <"$work/seconds")
rss=$(median <"$work/rss")
echo "$games games, median of $runs runs: $seconds s in all, $(awk -v s="$seconds" -v g="$games" 'BEGIN { printf "%.0f", s * 1e6 / g }') us per game, peak RSS $rss KiB"

