#!/bin/bash
# Builds kelvo for the browser with Emscripten into WEB-BUILD/site: the page, the program and
# the bundled tables taken from a native build's share/kelvo/BD; and the behaviour suites on the
# web front end for node (WEB-BUILD/bin/kelvo_web_tests.js).
#   tools/web-build.sh NATIVE-BUILD WEB-BUILD
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native=$1
web=$2
mkdir -p "$web"
# Debian's emscripten looks for its acorn among Debian's node modules.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release -DKELVO_BUILD_QT=OFF -DKELVO_BUILD_TESTS=ON \
    -DKELVO_WERROR=ON -DKELVO_HOST_TABLES="$native/share/kelvo/BD" >"$web/configure.log" 2>&1 ||
    { cat "$web/configure.log"; exit 1; }
cmake --build "$web" -j"$(nproc 2>/dev/null || echo 2)" --target site kelvo_web_tests >"$web/build.log" 2>&1 ||
    { grep -E 'error|Error' -A3 "$web/build.log" | head -40; exit 1; }
