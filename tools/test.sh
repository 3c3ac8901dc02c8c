#!/usr/bin/env bash
# Builds and runs every test: the plain suite, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, valgrind memcheck on whole sessions, a bounded fuzzing run and the
# Debian package. Installs what it needs first. Each stage's full output goes to a log in
# build-logs/; a failing stage prints the end of its log. The last line says whether all passed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
logs=build-logs
mkdir -p "$logs"

# Runs one stage with its output in a log; on failure shows the log's end and stops.
stage() {
  local name=$1 log=$logs/$2.log
  shift 2
  echo "== $name (log: $log)"
  if ! "$@" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FAILED: $name; the whole output is in $log"
    exit 1
  fi
}

# The count of tests that CTest ran, from its summary line in a log.
tests_in() {
  sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n 1
}

stage "installing the build and test tools" install \
  bash tools/install-deps.sh g++ cmake make libgtest-dev tmux libbenchmark-dev help2man

# The benchmarks are built here (not run) so that they keep compiling.
# (Inside `if`, errexit does not apply, hence the && chains.)
plain() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=ON -DREVERSI_BENCHMARKS=ON &&
    cmake --build build -j "$jobs" &&
    ctest --test-dir build --output-on-failure -j "$jobs"
}
stage "plain build and tests" plain plain

sanitized() {
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DREVERSI_SANITIZE=ON &&
    cmake --build build-sanitize -j "$jobs" &&
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
}
stage "sanitized build and tests (ASan + UBSan)" sanitized sanitized

stage "valgrind memcheck on whole sessions" memcheck bash tools/valgrind.sh build
fuzz_seconds=60
stage "fuzzing the dialogue, the command line, the protocols, the problem file and the record file for $fuzz_seconds s in all" fuzz \
  bash tools/fuzz.sh "$fuzz_seconds"
stage "Debian package, lintian, installed program and manual page" package \
  bash tools/package.sh build/reversi

sessions=$(grep -c '^memcheck clean' "$logs/memcheck.log")
runs=$(awk '/^stat::number_of_executed_units:/ { sum += $2 } END { print sum }' "$logs/fuzz.log")
echo "all passed: $(tests_in "$logs/plain.log") + $(tests_in "$logs/sanitized.log") tests," \
  "$sessions memcheck sessions, $fuzz_seconds s fuzzing (${runs:-?} runs) with no finding," \
  "package lintian-clean and installed program checked"
