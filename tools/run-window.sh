#!/bin/sh
# Shows the kelvo window: on the screen when there is one, otherwise as a picture.
#   tools/run-window.sh BUILD_DIR [GROUP]
# GROUP is the program's argument: 0 nursery, 1 girls, 2 boys, 4 men, else women.
# Without a reachable display the window is drawn off screen into
# BUILD_DIR/kelvo-window.png, and the script says where.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [GROUP]" >&2
    exit 2
fi
build=$1
shift
program=$build/bin/kelvo
if [ ! -x "$program" ]; then
    echo "$0: no $program; build first: cmake --build $build" >&2
    exit 1
fi

# The build's tables as last built, and table.txt beside them: a settings file that names
# build/share/kelvo, read before any other. (Without it the window would use the user's own
# folder, whose tables, copied at its first start, stay as they were then.)
config=$(cd "$build" && pwd)/run-config
mkdir -p "$config/kelvo"
printf '[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=%s\n' "$(cd "$build" && pwd)/share/kelvo" \
    >"$config/kelvo/registry.ini"
export XDG_CONFIG_HOME=$config

log=$(mktemp)
trap 'rm -f "$log"' EXIT

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    if "$program" "$@" 2>"$log"; then
        exit 0
    fi
    # A display named but not reachable (a stale DISPLAY over ssh): fall back to the picture.
    if ! grep -q "could not connect to display" "$log"; then
        cat "$log" >&2
        exit 1
    fi
    echo "The display ${DISPLAY:-$WAYLAND_DISPLAY} cannot be reached; drawing the window off screen."
fi

picture=$(cd "$build" && pwd)/kelvo-window.png
rm -f "$picture"
if ! env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen KELVO_SCREENSHOT="$picture" \
        "$program" "$@" >/dev/null 2>"$log"; then
    cat "$log" >&2
    echo "$0: kelvo could not draw its window into $picture" >&2
    exit 1
fi
echo "No display here: the window was drawn into $picture"
