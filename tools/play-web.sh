#!/usr/bin/env bash
# Builds the game's web page (tools/build-web.sh) and serves it on this machine only, with
# Python's http.server, until Ctrl-C. Options go into the address: .../?english&hints&seed=7
#   usage: bash tools/play-web.sh [port (default 8080)]
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
bash tools/build-web.sh
echo "play at http://127.0.0.1:$port/ (Ctrl-C ends the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
