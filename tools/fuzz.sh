#!/usr/bin/env bash
# Fuzzes the whole dialogue with libFuzzer for a bounded time (default 60 s): builds reversi_fuzz
# with clang, ASan and UBSan in build-fuzz, starts from the seed corpus and fails on any finding.
# Usage: tools/fuzz.sh [seconds] [extra libFuzzer flags...]
# New interesting inputs collect in build-fuzz/corpus (kept between runs); a finding is written
# to build-fuzz/findings/ and can be replayed with build-fuzz/reversi_fuzz <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

bash tools/install-deps.sh clang-14 libclang-rt-14-dev cmake make libgtest-dev

CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREVERSI_FUZZ=ON \
  >/dev/null
cmake --build build-fuzz -j 2 --target reversi_fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings
fuzzer=$(find build-fuzz -name reversi_fuzz -type f -perm -u+x | head -n 1)

# -timeout: a session that runs 10 s is a hang (a COM-vs-COM game takes milliseconds).
# -rss_limit_mb: the game allocates nothing, so growth is a finding too.
# libFuzzer reports every new input it keeps; that goes to a log, and only the summary (or, on a
# finding, the end of the log) to the terminal.
log=build-fuzz/fuzz.log
if ! "$fuzzer" build-fuzz/corpus tests/fuzz/corpus \
  -dict=tests/fuzz/dialogue.dict \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=512 -max_len=4096 \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 "$@" 2>"$log"; then
  tail -n 80 "$log"
  echo "fuzzing found a fault; the input is in build-fuzz/findings/"
  exit 1
fi
grep -E '^(Done|stat::)' "$log"
