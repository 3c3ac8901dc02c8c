#!/usr/bin/env bash
# The game's web page against the Linux program: builds both (installing what is missing), serves
# the page on a free loopback port, and plays the same sessions in headless Chromium and in a tmux
# terminal (tests/web/page_sessions.mjs), comparing the screens line for line after every line
# typed. Saves a screenshot of the page to build-logs/web-page.png. The last line says
# "N passed, M failed"; the exit status is 1 when anything failed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh g++ cmake make tmux chromium >&2
bash tools/build-web.sh >&2
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build-web/native -j 2 --target reversi >/dev/null

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p build-logs
python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site \
  >build-logs/web-server.log 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
# Served once it answers.
for ((try = 0; try < 100; try++)); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null &&
    break
  sleep 0.1
done

node tests/web/page_sessions.mjs "http://127.0.0.1:$port/" build-web/native/reversi \
  build-logs/web-page.png
