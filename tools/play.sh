#!/usr/bin/env bash
# Builds the game (installing the compiler and CMake if they are missing) and starts it with the
# options given (see `reversi --help`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh g++ cmake make >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target reversi >/dev/null
exec ./build/reversi "$@"
