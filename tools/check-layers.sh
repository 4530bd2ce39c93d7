#!/usr/bin/env bash
# Fails when the layers do not hold:
#   - a core folder (app figures results tables res, and platform's own files) includes a
#     front end (platform/qt, platform/win32, platform/headless, platform/web), Qt, Windows or
#     Emscripten headers;
#   - a folder includes one above it (app > figures > results > tables > res > platform);
#   - a core library given on the command line leaves a front end's or Qt's symbol undefined,
#     which a link of that library alone would have to find in a front end.
# usage: tools/check-layers.sh SOURCE-DIR [CORE-LIBRARY.a ...]
set -u
source_dir=$1
shift
status=0
complain() { echo "layering: $*"; status=1; }

rank() {
    case $1 in
        app) echo 5 ;; figures) echo 4 ;; results) echo 3 ;; tables) echo 2 ;; res) echo 1 ;; platform) echo 0 ;;
        *) echo -1 ;;
    esac
}

cd "$source_dir" || exit 2
core_files=$(ls app/* figures/* results/* tables/* res/* platform/*.h platform/*.cpp 2>/dev/null |
    grep -E '\.(h|cpp)$')
for file in $core_files; do
    folder=${file%%/*}
    own=$(rank "$folder")
    while IFS= read -r line; do
        [ -z "$line" ] && continue
        number=${line%%:*}
        text=${line#*:}
        if echo "$text" | grep -qE '#[[:space:]]*include[[:space:]]*"platform/(qt|win32|headless|web)/'; then
            complain "$file:$number includes a front end: $text"
        elif echo "$text" | grep -qiE '#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]+|qt[a-z]*/.*|windows\.h|commctrl\.h|commdlg\.h|emscripten\.h|emscripten/.*)>'; then
            complain "$file:$number includes a toolkit's or the system's window header: $text"
        elif included=$(echo "$text" | sed -nE 's/.*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/p') &&
            [ -n "$included" ] && [ "$(rank "$included")" -gt "$own" ]; then
            complain "$file:$number includes $included/, a layer above $folder/: $text"
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file")
done

for library in "$@"; do
    symbols=$(nm -C --undefined-only "$library" 2>/dev/null |
        grep -E 'platform::(qt|win32|headless|web)::|[[:space:]]Q[A-Z][A-Za-z]+::' | head -n 5)
    [ -n "$symbols" ] && complain "$(basename "$library") needs a front end's symbols: $symbols"
done

[ $status -eq 0 ] && echo "layering: core folders and libraries hold"
exit $status
