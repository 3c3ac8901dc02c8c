# shellcheck shell=bash
# Sourced by the web page's test and benchmark: serves build-web/site/ with Python's http.server on
# a free loopback port until the sourcing script exits, and sets site_url to its address once it
# answers. Its log goes to the file named by $1.
site_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$site_port" --bind 127.0.0.1 --directory build-web/site >"$1" 2>&1 &
site_server=$!
trap 'kill "$site_server" 2>/dev/null || true' EXIT
site_url="http://127.0.0.1:$site_port/"
for ((try = 0; try < 100; try++)); do
  python3 -c "import urllib.request; urllib.request.urlopen('$site_url')" 2>/dev/null && break
  sleep 0.1
done
