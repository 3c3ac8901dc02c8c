#!/usr/bin/env bash
# The exact end game on published problems: build/reversi --solve on a range of lines of a problem
# file (by default the FForum endgame problems 40-49 of the shared benchmark data, whose line k is
# problem 39 + k), one core, with the table of moves, scores, nodes, seconds and speed it prints.
# Problems 40-44 take seconds, 45-49 a minute or two each, 50-58 minutes to tens of minutes each.
#   usage: bash tools/bench-solve.sh [first last (default 40 49)] [problem file]
set -euo pipefail
cd "$(dirname "$0")/.."
first=${1:-40}
last=${2:-49}
problems=${3:-../shared/bench/fforum-40-59.obf}
numbered_from=40  # the problem on the file's first line

if [ ! -r "$problems" ]; then
  echo "bench-solve: cannot read the problem file $problems" >&2
  exit 2
fi
bash tools/install-deps.sh g++ cmake make >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target reversi >/dev/null

chosen=$(mktemp)
trap 'rm -f "$chosen"' EXIT
sed -n "$((first - numbered_from + 1)),$((last - numbered_from + 1))p" "$problems" >"$chosen"
echo "problems $first to $last of $problems (row 1 is problem $first)"
./build/reversi --solve="$chosen"
