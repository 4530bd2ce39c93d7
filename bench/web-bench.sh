#!/bin/bash
# The site's size and the time to its first computed list in headless Chromium (five fresh
# profiles, each also reloaded from the service worker's cache): best and median, in ms.
#   bench/web-bench.sh [WEB-BUILD]      (default build-web; tools/web-tests.sh builds it and
#                                        installs the driver)
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
web=$(realpath -m "${1:-$root/build-web}")
site=$web/site
echo "site: $(du -sb "$site" | cut -f1) bytes; kelvo.wasm $(stat -c %s "$site/kelvo.wasm"), kelvo.js $(stat -c %s "$site/kelvo.js"), kelvo.data $(stat -c %s "$site/kelvo.data")"
echo "gzip -9 as a server would send them: wasm $(gzip -9c "$site/kelvo.wasm" | wc -c), js $(gzip -9c "$site/kelvo.js" | wc -c)"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
sleep 0.5
(cd "$web/driver" && node "$root/bench/web_first_list.js" "http://127.0.0.1:$port/index.html" 5) | sort -k1,1 -k2n |
    awk '{t[$1] = t[$1] " " $2; n[$1]++} END {for (k in t) {split(substr(t[k], 2), v, " "); printf "%s: best %d ms, median %d ms (%d runs)\n", k, v[1], v[int((n[k] + 1) / 2)], n[k]}}'
