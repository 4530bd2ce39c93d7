#!/bin/bash
# The Debian package as a machine gets it: built with cpack, checked by lintian, installed
# with dpkg -i; an ordinary user opens the window (offscreen), which computes the first
# figure, and exports table.txt into their own data folder; dpkg -r then leaves none of the
# package's files behind.
#
# Installs into the running system, so it runs only as root (CI), and never where a kelvo
# package is installed already. Exit 77: skipped.
#   tests/packaging/debian-package-test.sh BUILD-FOLDER
set -u

build=$(realpath "$1")
skip() { echo "SKIPPED: $*"; exit 77; }
failed=0
fail() { failed=1; echo "FAILED: $*"; }
pass() { echo "ok: $*"; }

[ "$(id -u)" = 0 ] || skip "needs root to install the package"
for tool in cpack dpkg dpkg-deb setpriv flock; do
    command -v "$tool" >/dev/null || skip "no $tool"
done
[ -x "$build/bin/kelvo" ] || skip "no Qt window built"

# One package test on the machine at a time, whichever build folder it comes from.
exec 9>/tmp/kelvo-debian-package-test.lock
flock 9
dpkg-query -W -f='${Status}' kelvo 2>/dev/null | grep -q installed && skip "a kelvo package is installed here"

work=$(mktemp -d)
chmod 755 "$work"
installed=0
cleanup() {
    [ "$installed" = 1 ] && dpkg -r kelvo >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

# dpkg waits for no one: retry while another apt or dpkg holds its lock.
dpkg_retrying() {
    local try
    for try in $(seq 1 60); do
        dpkg "$@" >"$work/dpkg.log" 2>&1 && return 0
        grep -q 'lock' "$work/dpkg.log" || break
        sleep 2
    done
    cat "$work/dpkg.log"
    return 1
}

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack"; exit 1; }
deb=$(ls "$work"/kelvo_*.deb)
pass "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

if command -v lintian >/dev/null; then
    if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
        pass "lintian: no errors"
    else
        cat "$work/lintian.log"
        fail "lintian reports errors"
    fi
fi

dpkg_retrying -i "$deb" && installed=1 || { fail "dpkg -i"; exit 1; }
pass "dpkg -i"
mapfile -t files < <(dpkg -L kelvo | while read -r path; do [ -f "$path" ] && echo "$path"; done)
for expected in /usr/bin/kelvo /usr/bin/kelvo-cli /usr/share/kelvo/BD/female.dbf \
        /usr/share/applications/kelvo.desktop /usr/share/icons/hicolor/256x256/apps/kelvo.png \
        /usr/share/man/man1/kelvo.1.gz /usr/share/man/man1/kelvo-cli.1.gz /usr/share/doc/kelvo/copyright; do
    [ -f "$expected" ] || fail "not installed: $expected"
done
# bash completes kelvo-cli's options from the installed completion file.
completed=$(bash -c 'source /usr/share/bash-completion/completions/kelvo-cli &&
    COMP_WORDS=(kelvo-cli --su) COMP_CWORD=1 && _kelvo_cli && echo "${COMPREPLY[*]}"' 2>&1)
[ "$completed" = "--survey" ] && pass "bash completes kelvo-cli --su to $completed" ||
    fail "bash completion of kelvo-cli --su: $completed"
# The manual, whole, where F1 looks for it beside the installed tables.
source_manual=$(cd "$(dirname "$0")/../../packaging/manual" && ls | sort | tr '\n' ' ')
[ "$(ls /usr/share/kelvo/manual 2>/dev/null | sort | tr '\n' ' ')" = "$source_manual" ] &&
    pass "the manual in /usr/share/kelvo/manual: $source_manual" ||
    fail "the manual is not installed whole: $(ls /usr/share/kelvo/manual 2>&1)"

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net /usr/share/metainfo/org.kelvo.kelvo.metainfo.xml >"$work/appstream.log" 2>&1 &&
        pass "appstreamcli validate" || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/kelvo.desktop && pass "desktop-file-validate" ||
        fail "desktop-file-validate"
fi

# An ordinary user: nobody, with a home of its own and nothing else of root's environment.
home=$work/home
mkdir -p "$home"
chown 65534:65534 "$home"
as_user() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
data=$home/.local/share/kelvo
if as_user KELVO_SCREENSHOT="$home/window.png" kelvo 4 >"$work/kelvo.log" 2>&1 && [ -s "$home/window.png" ]; then
    pass "the window opened offscreen on men and was drawn"
else
    fail "the window: $(cat "$work/kelvo.log")"
fi
tables=$(find "$data/BD" -name '*.dbf' -user 65534 2>/dev/null | wc -l)
[ "$tables" = 5 ] && pass "the user's data folder holds their own copy of the 5 tables" ||
    fail "$tables tables of the user's in $data/BD"

if as_user kelvo-cli --group 4 --export >"$work/cli.log" 2>&1 && [ -f "$data/table.txt" ]; then
    rows=$(grep -c '' "$data/table.txt")
    [ "$rows" -gt 0 ] && pass "table.txt exported into the user's folder: $rows lines" || fail "table.txt is empty"
else
    fail "export: $(cat "$work/cli.log")"
fi
[ -e /usr/share/kelvo/table.txt ] && fail "table.txt was written into the installed folder"
# The PDF writer is a module kelvo-cli loads from /usr/lib/kelvo only for a PDF.
if as_user kelvo-cli --group 4 --pdf "$home/sheet.pdf" >"$work/pdf.log" 2>&1 && [ -s "$home/sheet.pdf" ]; then
    pass "kelvo-cli wrote a measurement sheet as PDF"
else
    fail "PDF: $(cat "$work/pdf.log")"
fi

dpkg_retrying -r kelvo && installed=0 || fail "dpkg -r"
left=0
for path in "${files[@]}"; do
    [ -e "$path" ] && { echo "left behind: $path"; left=$((left + 1)); }
done
[ -d /usr/share/kelvo ] && { echo "left behind: /usr/share/kelvo"; left=$((left + 1)); }
[ "$left" = 0 ] && pass "dpkg -r removed all ${#files[@]} installed files" || fail "$left paths left after dpkg -r"
exit $failed
