#!/usr/bin/env bash
# Fuzzes with libFuzzer for a bounded time in all (default 60 s): the whole dialogue with its
# options (a third of the time), the command line, the engine protocols, --solve's problem file and
# the record file behind --resume (a sixth each). Builds the targets with clang, ASan and UBSan in build-fuzz,
# starts each from its seed corpus in the repository and fails on any finding.
# Usage: tools/fuzz.sh [seconds] [extra libFuzzer flags...]
# New interesting inputs collect in build-fuzz/corpus, build-fuzz/corpus-command-line,
# build-fuzz/corpus-protocol, build-fuzz/corpus-problem-file and build-fuzz/corpus-record-file
# (kept between runs); a finding is written to build-fuzz/findings/ and can be replayed with
# build-fuzz/tests/fuzz/reversi_fuzz <file> (or reversi_command_line_fuzz, reversi_protocol_fuzz,
# reversi_problem_file_fuzz, reversi_record_file_fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

bash tools/install-deps.sh clang-14 libclang-rt-14-dev cmake make libgtest-dev

CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREVERSI_FUZZ=ON \
  >/dev/null
cmake --build build-fuzz -j 2 --target reversi_fuzz reversi_command_line_fuzz \
  reversi_record_file_fuzz reversi_protocol_fuzz reversi_problem_file_fuzz
mkdir -p build-fuzz/corpus build-fuzz/corpus-command-line build-fuzz/corpus-record-file \
  build-fuzz/corpus-protocol build-fuzz/corpus-problem-file build-fuzz/findings

# Runs one target for `time` seconds from its corpora. -timeout: an input that runs 10 s is a hang
# (a COM-vs-COM game takes milliseconds). -rss_limit_mb: the game allocates nothing, so growth is a
# finding too. libFuzzer reports every new input it keeps; that goes to a log, and only the summary
# (or, on a finding, the end of the log) to the terminal.
fuzz() {
  local target=$1 time=$2 dict=$3 max_len=$4 log=build-fuzz/$1.log
  shift 4
  local fuzzer
  fuzzer=$(find build-fuzz -name "$target" -type f -perm -u+x | head -n 1)
  echo "== $target for $time s"
  if ! "$fuzzer" "$@" -dict="$dict" -max_total_time="$time" -timeout=10 -rss_limit_mb=512 \
    -max_len="$max_len" -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
    "${extra[@]}" 2>"$log"; then
    tail -n 80 "$log"
    echo "fuzzing $target found a fault; the input is in build-fuzz/findings/"
    exit 1
  fi
  grep -E '^(Done|stat::)' "$log"
}
extra=("$@")
dialogue_seconds=$((seconds / 3))
line_seconds=$((seconds / 6))
protocol_seconds=$((seconds / 6))
problem_seconds=$((seconds / 6))
fuzz reversi_fuzz "$dialogue_seconds" tests/fuzz/dialogue.dict 4096 \
  build-fuzz/corpus tests/fuzz/corpus-options
fuzz reversi_command_line_fuzz "$line_seconds" tests/fuzz/command_line.dict 512 \
  build-fuzz/corpus-command-line tests/fuzz/corpus-command-line
# Lines longer than the reader's buffer, and the line end left out at the end.
fuzz reversi_protocol_fuzz "$protocol_seconds" tests/fuzz/protocol.dict 4096 \
  build-fuzz/corpus-protocol tests/fuzz/corpus-protocol
# Lines of problems, comments and scores, joined and cut anywhere.
fuzz reversi_problem_file_fuzz "$problem_seconds" tests/fuzz/problem_file.dict 4096 \
  build-fuzz/corpus-problem-file tests/fuzz/corpus-problem-file
fuzz reversi_record_file_fuzz \
  "$((seconds - dialogue_seconds - line_seconds - protocol_seconds - problem_seconds))" \
  tests/fuzz/record_file.dict 20000 build-fuzz/corpus-record-file tests/fuzz/corpus-record-file
