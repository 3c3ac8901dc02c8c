#!/usr/bin/env bash
# Measures how strongly the COM plays at each --level: games against gtp-rhino, the GTP engine of
# Debian's grhino package (written by others, so the yardstick is not our own), refereed by
# tools/strength_referee.py with the COM speaking GTP itself (--gtp; "--through dialogue" drives
# the game's ordinary dialogue instead). Prints a table: wins, draws, losses, the mean disc margin
# and the time per move. A game the referee finds wrong (an illegal move, a wrong final score)
# makes the exit status 1.
#   usage: bash tools/strength.sh [--quick] [referee options...]
#     (none)   every level 1..5 against gtp-rhino -l 1, 3 and 5, 20 games per pairing
#     --quick  one short pairing through GTP (level 2 against -l 1, 4 games) and one game through
#              the dialogue, to check that both ways work
#     referee options, e.g. --levels 4,5 --opponents 5 --games 10 (see --help)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh g++ cmake make python3 grhino >&2
cmake -S . -B build-strength -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build-strength -j 2 --target reversi >/dev/null

arguments=()
if [ "${1:-}" = "--quick" ]; then
  shift
  arguments=(--levels 2 --opponents 1 --games 4)
  python3 tools/strength_referee.py --program build-strength/reversi \
    --engine /usr/games/gtp-rhino --levels 2 --opponents 1 --games 1 --through dialogue
fi
exec python3 tools/strength_referee.py --program build-strength/reversi \
  --engine /usr/games/gtp-rhino "${arguments[@]}" "$@"
