#!/usr/bin/env bash
# Builds and runs every test: the plain suite, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer. Installs what it needs first. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash tools/install-deps.sh g++ cmake make libgtest-dev tmux libbenchmark-dev

echo "== plain build"
# The benchmarks are built here (not run) so that they keep compiling.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=ON -DREVERSI_BENCHMARKS=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitized build (ASan + UBSan)"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DREVERSI_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== valgrind memcheck on whole sessions"
bash tools/valgrind.sh build

echo "== fuzzing the dialogue (bounded)"
bash tools/fuzz.sh 60
