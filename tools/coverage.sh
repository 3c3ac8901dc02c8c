#!/usr/bin/env bash
# Line and branch coverage of src/ by the whole test suite: builds with clang's source-based
# coverage in build-coverage, runs every test (the child-process tests too), and prints the
# figures per folder, then per file. Usage: tools/coverage.sh [--html]  (--html also writes
# build-coverage/html/index.html)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh clang-14 llvm-14 cmake make libgtest-dev

build=build-coverage
CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DREVERSI_COVERAGE=ON >/dev/null
cmake --build "$build" -j 2
rm -rf "$build/profiles" && mkdir -p "$build/profiles"
# Every process, the programs started by the end-to-end tests included, writes its own profile.
LLVM_PROFILE_FILE="$PWD/$build/profiles/%p-%m.profraw" ctest --test-dir "$build" -j 2 >/dev/null
llvm-profdata-14 merge -sparse "$build"/profiles/*.profraw -o "$build/reversi.profdata"

# The first program is named plainly, every further one after -object.
binaries=()
for binary in reversi reversi_fixed_clock reversi_tests reversi_e2e_tests reversi_corpus_replay; do
  path=$(find "$build" -name "$binary" -type f -perm -u+x | head -n 1)
  [ -n "$path" ] && binaries+=(${binaries:+-object} "$path")
done
report() {
  llvm-cov-14 report "${binaries[@]}" -instr-profile="$build/reversi.profdata" \
    -show-branch-summary "$@"
}
# Sums the per-file rows of one folder: Lines and Branches, covered of total.
echo "folder           lines            branches"
for folder in src/board src/com src/game src/platform src/app; do
  report "$PWD/$folder" | awk -v folder="$folder" '
    $1 ~ /\.(cpp|h)$/ { lines += $8; missedLines += $9; branches += $11; missedBranches += $12 }
    END {
      printf "%-14s %6.2f%% %4d/%-4d  %6.2f%% %4d/%-4d\n", folder,
        lines ? 100 * (lines - missedLines) / lines : 100, lines - missedLines, lines,
        branches ? 100 * (branches - missedBranches) / branches : 100,
        branches - missedBranches, branches }'
done
echo
report "$PWD/src"
if [ "${1:-}" = "--html" ]; then
  llvm-cov-14 show "${binaries[@]}" -instr-profile="$build/reversi.profdata" \
    -format=html -show-branches=count -output-dir="$build/html" "$PWD/src"
  echo "written: $build/html/index.html"
fi
