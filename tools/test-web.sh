#!/usr/bin/env bash
# The game's web page against the Linux program: builds both (installing what is missing), serves
# the page on a free loopback port, and plays the same sessions in headless Chromium and in a tmux
# terminal (tests/web/page_sessions.mjs), comparing the screens line for line after every line
# typed; saves a screenshot of the page to build-logs/web-page.png. Then the page as a player
# meets it at a phone's, a tablet's and a laptop's size (tests/web/page_play.mjs: the board's
# place, taps, keys, colours, answers while the COM searches, settings, offline), with its
# screenshots in build-web/screenshots/. Before that, the page's line discipline and character
# widths (tests/web/line_discipline_test.mjs), what the page decides without the document
# (tests/web/page_logic_test.mjs), and the page's CP932 converter against the Linux C library's,
# under node and in Chromium (tests/web/cp932_conversions.cpp).
# The last line says "N passed, M failed"; the exit status is 1 when anything failed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh g++ cmake make tmux chromium >&2
bash tools/build-web.sh >&2
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build-web/native -j 2 --target reversi >/dev/null

mkdir -p build-logs
passed=0
failed=0
# Shows a part's failures from its log and adds up the "N passed, M failed" of its last line; a
# part that did not get as far as that line counts as one failure, with the end of its log shown.
Tally() {
  local log=$1 line
  grep -E '^(FAIL|  )' "$log" || true
  line=$(tail -n 1 "$log")
  if [[ $line =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
    echo "$line"
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
  else
    echo "FAIL: $log ends without its count:"
    tail -n 20 "$log"
    failed=$((failed + 1))
  fi
}

node tests/web/line_discipline_test.mjs >build-logs/web-line-discipline.log 2>&1 || true
Tally build-logs/web-line-discipline.log
node tests/web/page_logic_test.mjs >build-logs/web-page-logic.log 2>&1 || true
Tally build-logs/web-page-logic.log

# One listing from the Linux C library, one from the page's converter under node.
conversions=build-web/conversions
mkdir -p "$conversions"
g++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -o "$conversions/native" tests/web/cp932_conversions.cpp
NODE_PATH=/usr/share/nodejs em++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -sSINGLE_FILE=1 \
  -sENVIRONMENT=web,node -o "$conversions/web.js" tests/web/cp932_conversions.cpp \
  src/platform/web/iconv.cpp 2>&1 |
  { grep -v 'unexpected binaryen version' || true; } >&2
"$conversions/native" >"$conversions/native.txt"
node "$conversions/web.js" >"$conversions/node.txt" || true
if cmp -s "$conversions/native.txt" "$conversions/node.txt"; then
  echo "CP932 under node: 1 passed, 0 failed"
else
  echo "FAIL: the page's CP932 converter under node differs from Linux's:"
  diff "$conversions/native.txt" "$conversions/node.txt" | head -n 10
  echo "CP932 under node: 0 passed, 1 failed"
fi >build-logs/web-cp932-node.log
Tally build-logs/web-cp932-node.log

# shellcheck source=tools/web-site-server.sh
source tools/web-site-server.sh build-logs/web-server.log

node tests/web/page_sessions.mjs "$site_url" build-web/native/reversi \
  build-logs/web-page.png "$conversions/web.js" "$conversions/native.txt" \
  >build-logs/web-sessions.log 2>&1 || true
Tally build-logs/web-sessions.log

node tests/web/page_play.mjs "$site_url" build-web/native/reversi build-web/screenshots \
  >build-logs/web-play.log 2>&1 || true
grep -E '^(phone|tablet|laptop|level 5)' build-logs/web-play.log || true
Tally build-logs/web-play.log

echo "$passed passed, $failed failed"
((failed == 0))
