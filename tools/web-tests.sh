#!/bin/bash
# Builds the site (tools/kelvo.sh web's build) and tests the real page in headless Chromium:
# tests/web/page_test.js with puppeteer-core, installed by npm into the build folder, the
# site served by python3's http.server on a free local port. Ends with "N passed, M failed";
# the exit code is non-zero on any failure.
#
# Needs (Debian): emscripten, chromium, nodejs and npm (a native build's kelvo-cli and tables
# in build/, which it compares the page with). Installs nothing but the npm driver.
#
# usage: tools/web-tests.sh [NATIVE-BUILD] [WEB-BUILD]
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native=$(realpath -m "${1:-$root/build}")
web=$(realpath -m "${2:-$root/build-web}")

if ! "$root/tools/web-build.sh" "$native" "$web"; then
    echo "web-tests: the site was not built"
    echo "0 passed, 1 failed"
    exit 1
fi
site=$web/site
echo "site: $(du -sb "$site" | cut -f1) bytes in $(find "$site" -type f | wc -l) files"

# The behaviour suites on the web front end, under node: from the native build's folder, whose
# share/kelvo holds the manual the window opens; with a home of their own.
home=$(mktemp -d)
(cd "$native" && HOME=$home timeout 300 node --no-experimental-fetch "$web/bin/kelvo_web_tests.js" --gtest_brief=1 \
    --gtest_output="xml:$web/kelvo_web_tests.xml") >"$web/kelvo_web_tests.log" 2>&1
rm -rf "$home"
suite_tests=$(grep -o 'tests="[0-9]*"' "$web/kelvo_web_tests.xml" 2>/dev/null | head -1 | tr -dc 0-9)
suite_failures=$(grep -o 'failures="[0-9]*"' "$web/kelvo_web_tests.xml" 2>/dev/null | head -1 | tr -dc 0-9)
if [ -z "$suite_tests" ]; then
    suite_tests=0 suite_failures=1
    tail -20 "$web/kelvo_web_tests.log"
fi
[ "${suite_failures:-0}" -gt 0 ] && grep -A8 'FAILED\|Failure' "$web/kelvo_web_tests.log" | head -60
echo "kelvo_web_tests (behaviour suites on the web front end, node): $((suite_tests - suite_failures)) passed, $suite_failures failed"

driver=$web/driver
if [ ! -d "$driver/node_modules/puppeteer-core" ]; then
    mkdir -p "$driver"
    (cd "$driver" && npm install --no-audit --no-fund --silent --no-save puppeteer-core@24 >/dev/null 2>&1) ||
        { echo "web-tests: npm could not install puppeteer-core"; echo "0 passed, 1 failed"; exit 1; }
fi

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$web/http.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 1 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
    sleep 0.1
done

shots=$web/screenshots
mkdir -p "$shots"
log=$web/page-test.log
(cd "$driver" && timeout 300 node "$root/tests/web/page_test.js" "http://127.0.0.1:$port/index.html" \
    "$native/bin/kelvo-cli" "$native/share/kelvo" "$shots") >"$log" 2>&1
status=$?
grep -v '^ok: ' "$log"
passed=$(( $(grep -c '^ok: ' "$log") + suite_tests - suite_failures ))
failed=$(( $(grep -c '^FAILED: ' "$log") + suite_failures ))
[ $status -ne 0 ] && [ "$failed" -eq 0 ] && failed=1
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
