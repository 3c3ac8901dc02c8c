#!/usr/bin/env bash
# Figures of the game's web page: the size of the program (reversi.wasm and reversi.js, before
# compression), the time from loading the page to the first prompt in headless Chromium, and the
# time of COM-vs-COM games in the page (bench/web_bench.mjs) against the Linux program on a
# terminal (a pseudo-terminal, so that it converts its output as it does for a player), both with
# all answers typed ahead. The machine is shared: medians of several runs.
#   usage: bash tools/bench-web.sh [games per run (default 20)] [runs (default 5)]
set -euo pipefail
cd "$(dirname "$0")/.."
games=${1:-20}
runs=${2:-5}
loads=11

bash tools/install-deps.sh g++ cmake make chromium >&2
bash tools/build-web.sh >/dev/null
cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF >/dev/null
cmake --build build-web/native -j 2 --target reversi >/dev/null

wasm=$(stat -c %s build-web/site/reversi.wasm)
js=$(stat -c %s build-web/site/reversi.js)
gzipped=$(cat build-web/site/reversi.wasm build-web/site/reversi.js | gzip -9 | wc -c)
echo "program size: reversi.wasm $wasm + reversi.js $js = $((wasm + js)) bytes" \
  "($(((wasm + js + 1023) / 1024)) KB; $(((gzipped + 1023) / 1024)) KB gzipped)"

# shellcheck source=tools/web-site-server.sh
source tools/web-site-server.sh /dev/null

node bench/web_bench.mjs "$site_url" "$loads" "$games" "$runs"

# The Linux program on an 80x24 pseudo-terminal: the same answers, written at the mode prompt, up
# to its exit (the end of its output).
python3 - build-web/native/reversi "$games" "$runs" <<'PYTHON'
import fcntl, os, pty, statistics, struct, sys, termios, time
program, games, runs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
answers = ("3\n" + "0\n3\n" * (games - 1) + "99\n").encode()
per_game = []
for _ in range(runs):
    pid, fd = pty.fork()
    if pid == 0:
        os.execv(program, [program, "--seed=1"])
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    seen = b""
    while not seen.rstrip().endswith(b">"):
        seen += os.read(fd, 65536)
    start = time.perf_counter()
    os.write(fd, answers)
    try:
        while os.read(fd, 65536):
            pass
    except OSError:  # the program has ended and closed the terminal
        pass
    per_game.append((time.perf_counter() - start) * 1000 / games)
    os.waitpid(pid, 0)
print(f"COM vs COM, Linux program on a terminal, per game: median {statistics.median(per_game):.1f} ms "
      f"(min {min(per_game):.1f}, max {max(per_game):.1f}, {runs} runs)")
PYTHON
