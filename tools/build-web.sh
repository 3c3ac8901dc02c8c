#!/usr/bin/env bash
# Builds the game for a web page into build-web/site/: the program compiled to WebAssembly with
# emscripten (reversi.js, reversi.wasm, run by worker.js), the page (web/) with its icons and
# service worker, the terminal emulator from npm (web/package-lock.json) and a font of just the
# characters the game writes, with its licence.
# Any static web server can serve the folder; tools/play-web.sh does. Installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh cmake make emscripten python3-fonttools python3-brotli \
  fonts-morisawa-bizud-gothic >&2
# node and npm may come from another package source than Debian's, with npm inside: only when
# neither is there are Debian's installed.
command -v npm >/dev/null || bash tools/install-deps.sh nodejs npm >&2

if [ ! -f web/node_modules/.package-lock.json ] ||
  [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
  (cd web && npm ci --no-audit --no-fund --loglevel=error) >&2
fi

# emscripten's JavaScript optimizer needs Debian's acorn, which a node of another source does not
# look for. The system-library cache is the package's own (an empty one of our own would have to
# be built, which the package does not allow).
export NODE_PATH=/usr/share/nodejs
mkdir -p build-web
emcmake cmake -S . -B build-web/cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DREVERSI_TESTS=OFF \
  >build-web/configure.log 2>&1 || { cat build-web/configure.log >&2; exit 1; }
# The link takes in src/platform/web/terminal.js, which CMake does not know as an input: the
# program is linked anew every time.
rm -f build-web/cmake/reversi.js
# The linker says "unexpected binaryen version" at every link: Debian's binaryen is newer than
# this emscripten expects, which does no harm.
cmake --build build-web/cmake -j 2 --target reversi 2>&1 | { grep -v 'unexpected binaryen version' || true; } |
  { grep -E 'warning|error' || true; } >&2

site=build-web/site
rm -rf "$site"
mkdir -p "$site/fonts"
cp web/index.html web/reversi.css web/page.js web/page_logic.js web/line_discipline.js \
  web/cell_width.js web/worker.js web/sw.js web/manifest.webmanifest web/icon.svg \
  build-web/cmake/reversi.js build-web/cmake/reversi.wasm "$site/"
xterm=web/node_modules/@xterm/xterm
cp "$xterm/lib/xterm.js" "$xterm/css/xterm.css" "$site/"
cp "$xterm/LICENSE" "$site/xterm-LICENSE.txt"

# The installed page's icons as PNG too, which every browser takes: the board of icon.svg (a
# green square, two black and two white discs), drawn here at the two sizes the manifest names.
/usr/bin/python3 - "$site" <<'PYTHON'
import struct, sys, zlib
def icon(size):
    green, black, white = (0x3D, 0x9C, 0x48), (0, 0, 0), (255, 255, 255)
    scale = size / 64
    discs = [(18, 18, white), (46, 46, white), (46, 18, black), (18, 46, black)]
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            colour = green
            for cx, cy, disc in discs:
                if ((x + 0.5) / scale - cx) ** 2 + ((y + 0.5) / scale - cy) ** 2 <= 11 ** 2:
                    colour = disc
            row += bytes(colour)
        rows.append(bytes(row))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
for size in (192, 512):
    open(f"{sys.argv[1]}/icon-{size}.png", "wb").write(icon(size))
PYTHON

# The font: every character of the game's texts (the string literals of src/game/texts.h, CP932
# byte escapes, and their readable forms in the comments) and printable ASCII, cut out of a
# Japanese monospace font under the SIL Open Font License. Debian's own python, which has Debian's
# fontTools, whatever python comes first on the PATH.
font_dir=/usr/share/fonts/truetype/bizud-gothic
/usr/bin/python3 - src/game/texts.h >build-web/font-text.txt <<'PYTHON'
import re, sys
source = open(sys.argv[1], encoding="utf-8").read()
text = set(chr(c) for c in range(0x20, 0x7F))
text.update(c for c in source if ord(c) > 0x7F)  # the readable forms in the comments
escape = re.compile(rb'\\(x[0-9A-Fa-f]+|[0-7]{1,3}|.)')
def literal_bytes(body):
    def one(match):
        code = match.group(1)
        if code[:1] == b"x":
            return bytes([int(code[1:], 16) & 0xFF])
        if code[:1].isdigit():
            return bytes([int(code, 8) & 0xFF])
        return {b"n": b"\n", b"t": b"\t", b"r": b"\r", b"0": b"\0"}.get(code, code)
    return escape.sub(one, body)
for body in re.findall(rb'"((?:[^"\\\n]|\\.)*)"', source.encode("utf-8")):
    text.update(c for c in literal_bytes(body).decode("cp932", "replace") if c.isprintable())
text.discard("\ufffd")
sys.stdout.write("".join(sorted(text)))
PYTHON
/usr/bin/python3 -m fontTools.subset "$font_dir/BIZUDGothic-Regular.ttf" --text-file=build-web/font-text.txt \
  --flavor=woff2 --no-hinting --desubroutinize --layout-features='' --drop-tables+=meta \
  --output-file="$site/fonts/reversi-text.woff2"
# The licence: the font's copyright line and the SIL Open Font License from the package's
# copyright file.
{
  echo "The font reversi-text.woff2 is a subset of BIZ UDGothic Regular."
  echo "Copyright 2022 The BIZ UDGothic Project Authors"
  echo
  awk 'BEGIN { RS = "" } /^License: SIL-1.1\n/' /usr/share/doc/fonts-morisawa-bizud-gothic/copyright |
    sed '1d; s/^ //; s/^\.$//'
} >"$site/fonts/OFL.txt"

# The service worker keeps every file of the site under a name of this build's contents.
(
  cd "$site"
  files=$(find . -type f ! -name sw.js | sed 's|^\./||' | sort)
  build=$(cat $files | sha256sum | cut -c1-16)
  list=$(printf '"%s", ' ./ $files)
  sed -i "s|^const Build = .*|const Build = \"reversi-$build\";|; s|^const SiteFiles = .*|const SiteFiles = [${list%, }];|" sw.js
)

wasm=$(stat -c %s "$site/reversi.wasm")
js=$(stat -c %s "$site/reversi.js")
echo "built $site: reversi.wasm $wasm bytes + reversi.js $js bytes = $(((wasm + js) / 1024)) KB"
