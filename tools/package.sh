#!/usr/bin/env bash
# Builds the Debian package (build-package/reversi_VERSION_ARCH.deb) from a Release build, checks it
# with lintian (no error, no warning), unpacks it into a scratch root and checks what it installs:
# the program plays a scripted COM-vs-COM session byte for byte like build/reversi, and its manual
# page renders without a warning.
#   usage: bash tools/package.sh [program-to-compare-with]   (default: build/reversi)
set -euo pipefail
cd "$(dirname "$0")/.."
reference=${1:-build/reversi}

bash tools/install-deps.sh g++ cmake make dpkg-dev help2man lintian man-db groff-base

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DREVERSI_TESTS=OFF \
  -DREVERSI_DEBIAN_PACKAGE=ON >/dev/null
cmake --build build-package -j "$(nproc)" >/dev/null
rm -f build-package/reversi_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/reversi_*.deb)
echo "package: $deb"

# lintian prints one line per finding; informational ones (I:) are listed in the README.
findings=$(lintian --fail-on none "$deb" 2>/dev/null | grep -E '^[EW]: ' || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "lintian reports errors or warnings on $deb"
  exit 1
fi
echo "lintian: no error, no warning"

root=build-package/root
rm -rf "$root"
dpkg-deb -x "$deb" "$root"
installed=$root/usr/games/reversi
page=$root/usr/share/man/man6/reversi.6.gz
[ -x "$installed" ] || { echo "the package has no /usr/games/reversi"; exit 1; }
[ -f "$page" ] || { echo "the package has no manual page in section 6"; exit 1; }

# A fixed seed makes the COM's coin tosses repeat, so two builds of the same source must agree.
session=$(printf '3\n0\n3\n99\n')
expected=$("$reference" --seed=11 <<<"$session" | od -An -tx1)
actual=$("$installed" --seed=11 <<<"$session" | od -An -tx1)
if [ "$expected" != "$actual" ]; then
  echo "the installed program plays differently from $reference"
  exit 1
fi
echo "installed program: same session bytes as $reference"

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
if [ -n "$warnings" ]; then
  echo "$warnings"
  echo "man -l warns on the installed manual page"
  exit 1
fi
echo "manual page: renders without warnings"
