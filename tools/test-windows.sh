#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 and tests it under Wine: the whole unit suite
# through ctest, then every scripted session in tests/sessions, whose output must equal the Linux
# program's byte for byte but for two things: text mode writes each "\n" as "\r\n", and "cls"
# writes nothing into a pipe where the Linux program writes the ANSI clear sequence. Last, the
# sessions in tests/console_sessions are played in a real, headless Wine console at several code
# pages, and the time one board screen takes to reach that console is measured. On the way, CPack
# zips the exe with its README and the licence.
# Installs what it needs first. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash tools/install-deps.sh g++ cmake make libgtest-dev googletest g++-mingw-w64-x86-64 wine wine64

# A Wine prefix of our own, outside the repository, set up before the first program runs: Wine
# would otherwise set one up on the spot and write its chatter into that program's standard error.
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/reversi-wine}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One Wine server for the whole run. Left to itself, the server quits a few seconds after its last
# program ends, and a program that starts in that moment loses its connection ("recvmsg:
# Connection reset by peer") and fails a test that has nothing wrong with it; ctest's parallel
# starts hit that moment. A persistent server is never in it; it is stopped when the script ends.
# Wine's own background programs (services, devices) are started here too, away from every test's
# pipes: started by a test's program, they would live on with the server and hold its output open.
wineserver -p
wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Windows build (MinGW-w64), unit suite under Wine"
cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  --no-warn-unused-cli >/dev/null
cmake --build build-windows -j "$jobs"
ctest --test-dir build-windows --output-on-failure -j "$jobs"

echo "== Windows zip: the exe, its README and the licence (CPack)"
rm -f build-windows/reversi-*-windows.zip
(cd build-windows && cpack -G ZIP >/dev/null)
zip=$(ls build-windows/reversi-*-windows.zip)
contents=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
top=$(basename "$zip" .zip)
if [ "$contents" != "$top/LICENSE $top/README.md $top/reversi.exe " ]; then
  echo "the zip holds: $contents"
  exit 1
fi
echo "$zip: $contents"

echo "== scripted sessions: Windows program under Wine against the Linux program"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=ON >/dev/null
cmake --build build -j "$jobs" --target reversi reversi_fixed_clock

work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
failures=0

# Runs `program` (through `runner`, if any) with the session on a pipe into standard input and
# standard output into a pipe, as a user's script would; leaves output, errors and exit code in
# $work/NAME.out, .err and .rc.
run() {
  local name=$1 session=$2
  shift 2
  set +e
  cat "$session" | "$@" 2>"$work/$name.err" | cat >"$work/$name.out"
  echo "${PIPESTATUS[1]}" >"$work/$name.rc"
  set -e
}

fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}

# A run must end with exit code 0 and nothing on standard error (no Wine chatter either).
# Returns 1 after reporting a failure.
check_exit() {
  local name=$1 label=$2 status=0
  if [ "$(cat "$work/$name.rc")" != 0 ]; then
    fail "$label: $name exit code $(cat "$work/$name.rc")"
    status=1
  fi
  if [ -s "$work/$name.err" ]; then
    fail "$label: $name wrote to standard error: $(head -c 300 "$work/$name.err")"
    status=1
  fi
  return $status
}

# Both programs must exit with 0 and write nothing to standard error; the Windows output must be
# the Linux output with the two allowed differences, and nothing else.
compare() {
  local label=$1 session=$2 linux=$3 windows=$4
  run linux "$session" "$linux" "${program_options[@]}"
  run windows "$session" wine "$windows" "${program_options[@]}"
  check_exit linux "$label" || true
  check_exit windows "$label" || true
  perl -0777 -pe 's/\e\[H\e\[2J//g; s/\n/\r\n/g' "$work/linux.out" >"$work/expected"
  if cmp -s "$work/expected" "$work/windows.out"; then
    echo "ok   $label ($(wc -c <"$work/windows.out") bytes)"
  else
    fail "$label: output differs: $(cmp "$work/expected" "$work/windows.out" 2>&1 | head -1)"
  fi
}

# Options for the programs that compare() runs; none for the plain sessions.
program_options=()
for session in tests/sessions/*.in; do
  name=$(basename "$session" .in)
  compare "$name, clock fixed" "$session" build/tests/reversi_fixed_clock \
    build-windows/tests/reversi_fixed_clock.exe
  # The shipped programs read the real clock, which decides the COM's coin tosses; sessions of
  # two human players do not depend on it.
  case $name in
    players-*)
      compare "$name, shipped program" "$session" build/reversi build-windows/reversi.exe
      ;;
    *)
      run windows "$session" wine build-windows/reversi.exe
      check_exit windows "$name, shipped program" && echo "ok   $name, shipped program (runs)"
      ;;
  esac
done

# The options work the same in the exe: a few sessions again with every option that changes the
# output, the seed standing in for the clock, and both programs' record files compared as well;
# once with the board in colour and its glyphs in ASCII, which into a pipe must be the same SGR
# sequences as on Linux.
for run_options in "" "--ascii --color=always"; do
for name in com-vs-com-twice player-vs-com players-new-game; do
  session=tests/sessions/$name.in
  rm -f "$work/linux.rec" "$work/windows.rec"
  # shellcheck disable=SC2206 # the options are words
  program_options=(--english --hints --last-move --seed=1700000000 "--record=$work/linux.rec"
    $run_options)
  run linux "$session" build/reversi "${program_options[@]}"
  program_options[4]="--record=$(winepath -w "$work/windows.rec" 2>/dev/null)"
  run windows "$session" wine build-windows/reversi.exe "${program_options[@]}"
  program_options=()
  check_exit linux "$name, options" || true
  check_exit windows "$name, options" || true
  perl -0777 -pe 's/\e\[H\e\[2J//g; s/\n/\r\n/g' "$work/linux.out" >"$work/expected"
  if cmp -s "$work/expected" "$work/windows.out" && cmp -s "$work/linux.rec" "$work/windows.rec"
  then
    echo "ok   $name, options ${run_options:+$run_options }($(wc -l <"$work/windows.rec") recorded games)"
  else
    fail "$name, options $run_options: output or record differs"
  fi
done
done

# With --english --ascii nothing but ASCII is written, on every screen.
for session in tests/sessions/*.in; do
  name=$(basename "$session" .in)
  run windows "$session" wine build-windows/reversi.exe --english --ascii --hints --last-move
  check_exit windows "$name, --english --ascii" || continue
  if LC_ALL=C grep -q '[^[:print:][:space:]]' "$work/windows.out"; then
    fail "$name, --english --ascii: bytes beyond ASCII"
  else
    echo "ok   $name, --english --ascii: ASCII only ($(wc -c <"$work/windows.out") bytes)"
  fi
done

# Taking back, given moves and a continued game: the same bytes and the same record lines.
printf '1\n98\n34\n63\n98\n98\n63\n99\n98\n99\n0\n0\n34\n33\n99\n99\n' >"$work/undo.in"
printf '0\n32\n99\n99\n' >"$work/resume.in"
for variant in undo from resume; do
  rm -f "$work/linux.rec" "$work/windows.rec"
  case $variant in
    undo) session=$work/undo.in extra=(--undo --last-move --hints) ;;
    from) session=$work/undo.in extra=(--undo --from=f5D6PA) ;;
    resume)
      session=$work/resume.in extra=()
      printf 'f5d6c3 4-1\nd3c3 3-3\n' >"$work/linux.rec"
      cp "$work/linux.rec" "$work/windows.rec"
      ;;
  esac
  linux_options=(--seed=11 "${extra[@]}" "--record=$work/linux.rec")
  windows_options=(--seed=11 "${extra[@]}" "--record=$(winepath -w "$work/windows.rec" 2>/dev/null)")
  if [ "$variant" = resume ]; then
    linux_options+=("--resume=$work/linux.rec")
    windows_options+=("--resume=$(winepath -w "$work/windows.rec" 2>/dev/null)")
  fi
  run linux "$session" build/reversi "${linux_options[@]}"
  run windows "$session" wine build-windows/reversi.exe "${windows_options[@]}"
  check_exit linux "$variant" || true
  check_exit windows "$variant" || true
  perl -0777 -pe 's/\e\[H\e\[2J//g; s/\n/\r\n/g' "$work/linux.out" >"$work/expected"
  if cmp -s "$work/expected" "$work/windows.out" && cmp -s "$work/linux.rec" "$work/windows.rec"
  then
    echo "ok   $variant ($(wc -l <"$work/windows.rec") recorded games)"
  else
    fail "$variant: output or record differs"
  fi
done

echo "== console sessions: the Windows program in a headless Wine console"
# The helper types each line when the prompt shows and compares every screen, the cursor and the
# title with the Linux program's output laid out as a CP932 console shows it. Whatever code page
# the console uses, the Japanese texts must read right.
# Options after the session go to both programs, the shipped ones then, with the seed standing in
# for the clock; with --color the Linux program, whose output is a pipe, is asked for colour
# always, and the colours must be the console's text attributes.
console_session() {
  local label=$1 codepage=$2 session=$3
  shift 3
  local linux=build/tests/reversi_fixed_clock windows=build-windows/tests/reversi_fixed_clock.exe
  local options=()
  if [ $# -gt 0 ]; then
    linux=build/reversi windows=build-windows/reversi.exe
    options=(--seed=1700000000 "$@")
  fi
  local linux_options=("${options[@]/#--color/--color=always}")
  "$linux" "${linux_options[@]}" <"$session" >"$work/linux.out"
  set +e
  wine build-windows/tests/reversi_console_session.exe "$codepage" "$windows" "$session" \
    "$work/linux.out" "${options[@]}" >"$work/console.out" 2>"$work/console.err"
  local status=$?
  set -e
  if [ "$status" -ne 0 ] || [ -s "$work/console.err" ]; then
    fail "$label at code page $codepage (exit code $status)"
    cat "$work/console.out" "$work/console.err"
  else
    echo "ok   $label at code page $codepage: $(cat "$work/console.out")"
  fi
}
for codepage in 437 1252 65001 932; do
  console_session vs-com "$codepage" tests/console_sessions/vs-com.in
done
console_session players-input-ends 850 tests/console_sessions/players-input-ends.in
console_session "vs-com in colour" 437 tests/console_sessions/vs-com.in --color --hints --last-move
console_session "players-input-ends in colour, ASCII" 65001 \
  tests/console_sessions/players-input-ends.in --color --hints --last-move --ascii

# A board screen must reach the console within 10 ms. The median round is taken: a single round
# can also carry a stall of the machine, which is shared.
set +e
timing=$(wine build-windows/tests/reversi_console_session.exe 437 \
  build-windows/tests/reversi_console_timing.exe 2>&1)
set -e
echo "     $timing"
median=$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' <<<"$timing")
if [ -z "$median" ] || ! awk -v ms="$median" 'BEGIN { exit !(ms <= 10) }'; then
  fail "board screen on the console: ${median:-no figure} ms, more than 10 ms"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures Windows session check(s) failed"
  exit 1
fi
echo "all Windows session checks passed"
