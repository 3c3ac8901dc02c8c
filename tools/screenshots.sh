#!/usr/bin/env bash
# Takes the README's screenshots of the game in a real terminal window: xterm on a virtual X
# display (Xvfb), two people's game after the move 34, plain, in colour on a dark and on a light
# theme, and with --english --ascii. Writes docs/terminal-*.png.
#   usage: bash tools/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh g++ cmake make xvfb xterm imagemagick x11-utils fonts-morisawa-bizud-gothic fonts-dejavu-core >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target reversi >/dev/null

# A display of its own: Xvfb picks a free number and writes it to the file once it is ready.
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$ready" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$ready"' EXIT
while [ ! -s "$ready" ]; do sleep 0.1; done
display=":$(cat "$ready")"

# Shows the game with OPTIONS in an xterm of the given colours after "0" (two people) and "34",
# and saves the window as docs/terminal-NAME.png.
shot() {
  local name=$1 background=$2 foreground=$3
  shift 3
  local program
  program=$(printf '%q ' "$PWD/build/reversi" "$@")
  DISPLAY=$display xterm -geometry 80x16 -fa 'DejaVu Sans Mono' -fd 'BIZ UDGothic' -fs 13 -bg "$background" \
    -fg "$foreground" \
    -e sh -c "(printf '0\\n34\\n'; sleep 10) | $program" &
  local terminal=$! window="" tries=0
  # The window shows once xterm has loaded its font; the game has drawn a second later.
  while [ -z "$window" ] && ((tries++ < 100)); do
    sleep 0.1
    # The game titles the window itself: the one xterm is found by its class.
    window=$(DISPLAY=$display xwininfo -root -children | awk '/\("xterm" "XTerm"\)/ { print $1; exit }')
  done
  [ -n "$window" ] || { echo "no xterm window for $name" >&2; exit 1; }
  sleep 2
  DISPLAY=$display import -window "$window" "docs/terminal-$name.png"
  wait "$terminal" || true
  echo "docs/terminal-$name.png"
}

shot plain black white
shot color black white --color --hints --last-move
shot color-light white black --color --hints --last-move
shot ascii black white --english --ascii --hints --last-move
