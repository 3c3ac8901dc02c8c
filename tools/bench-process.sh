#!/usr/bin/env bash
# Whole-process figure: build/reversi plays 1,000 COM-vs-COM games in one run (mode 3, then "0"
# and "3" 999 times, then "99") with standard output thrown away. Reports the time per game and
# the peak resident set size, as the median of several runs (the machine is shared, single runs
# are noisy). With --callgrind it also counts the instructions of 10 games under valgrind, a
# figure that does not drift with the load on the machine.
#   usage: bash tools/bench-process.sh [runs (default 5)] [--callgrind]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
callgrind=0
for arg in "$@"; do
  case "$arg" in
    --callgrind) callgrind=1 ;;
    *) runs=$arg ;;
  esac
done
games=1000
callgrind_games=10

bash tools/install-deps.sh g++ cmake make time >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target reversi >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The answers for `count` games: the first mode choice, then a new game in mode 3 after each
# result screen, then shut down.
write_input() {
  local count=$1
  {
    echo 3
    for ((game = 1; game < count; game++)); do printf '0\n3\n'; done
    echo 99
  } >"$2"
}
write_input "$games" "$work/input"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((run = 1; run <= runs; run++)); do
  /usr/bin/time -v -o "$work/time" ./build/reversi <"$work/input" >/dev/null
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' \
    "$work/time" >>"$work/seconds"
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time" >>"$work/rss"
done
seconds=$(median <"$work/seconds")
rss=$(median <"$work/rss")
echo "$games games, median of $runs runs: $seconds s in all, $(awk -v s="$seconds" -v g="$games" 'BEGIN { printf "%.0f", s * 1e6 / g }') us per game, peak RSS $rss KiB"

if [ "$callgrind" -eq 1 ]; then
  bash tools/install-deps.sh valgrind >&2
  write_input "$callgrind_games" "$work/input-short"
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" ./build/reversi \
    <"$work/input-short" >/dev/null 2>"$work/callgrind.log"
  instructions=$(awk '/Collected :/ { print $NF }' "$work/callgrind.log")
  echo "callgrind: $instructions instructions for $callgrind_games games, $((instructions / callgrind_games)) per game (start-up included)"
fi
