#!/usr/bin/env bash
# Measures how strongly the COM plays at each --level: games against gtp-rhino, the GTP engine of
# Debian's grhino package (written by others, so the yardstick is not our own), played through
# the game's ordinary dialogue by tools/strength_referee.py. Prints a table: wins, draws, losses,
# the mean disc margin and the time per move. Not part of the test suite's verdict.
#   usage: bash tools/strength.sh [--quick] [referee options...]
#     (none)   every level 1..5 against gtp-rhino -l 1, 3 and 5, 20 games per pairing
#     --quick  one short pairing (level 2 against -l 1, 2 games), to check that the script works
#     referee options, e.g. --levels 4,5 --opponents 5 --games 10 (see --help)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh g++ cmake make python3 grhino >&2
cmake -S . -B build-strength -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build-strength -j 2 --target reversi >/dev/null

arguments=()
if [ "${1:-}" = "--quick" ]; then
  shift
  arguments=(--levels 2 --opponents 1 --games 2)
fi
exec python3 tools/strength_referee.py --program build-strength/reversi \
  --engine /usr/games/gtp-rhino "${arguments[@]}" "$@"
