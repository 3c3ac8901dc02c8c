#!/usr/bin/env bash
# Runs the fixed-clock program under valgrind memcheck on every seed-corpus session (each mode,
# passes, break-offs, garbage, huge numbers, CR LF, binary bytes) and fails on any error or leak.
# Usage: tools/valgrind.sh [build-dir]   (default: build, as tools/test.sh leaves it)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash tools/install-deps.sh valgrind
program=$(find "$build" -name reversi_fixed_clock -type f -perm -u+x | head -n 1)
[ -n "$program" ] || { echo "no reversi_fixed_clock in $build; build it first" >&2; exit 1; }

failed=0
for session in tests/fuzz/corpus/*; do
  if valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=all \
      "$program" <"$session" >/dev/null; then
    echo "memcheck clean: $(basename "$session")"
  else
    echo "memcheck FAILED: $(basename "$session")"
    failed=1
  fi
done
exit "$failed"
