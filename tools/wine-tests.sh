#!/bin/bash
# Builds kelvo.exe and its Windows tests with MinGW-w64 and runs them under Wine on a virtual
# X server, in one fresh Wine prefix that is removed afterwards:
#   1. kelvo_win32_tests.exe: the shared behaviour suites on the real Win32 window, and the
#      front end, resources, registry, painting, runtime and file tests;
#   2. kelvo.exe end to end: the data directory from the registry, the bundled tables, the
#      window driven from outside to write table.txt, whose bytes are then checked;
#   3. a picture of the window with the women's figure, saved in the build folder;
#   4. the installer, run silently: kelvo.exe from it opens on the installed tables with no
#      registry value set by us and exports; the silent uninstaller leaves no program file,
#      shortcut or registry value, only the user's table.txt; the portable zip's contents.
# Ends with the line "N passed, M failed"; the exit code is non-zero on any failure.
#
# Needs (Debian): cmake g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth x11-apps
# imagemagick locales python3 nsis, and the ru_RU.UTF-8 locale generated. Installs nothing.
#
# usage: tools/wine-tests.sh [BUILD-FOLDER]     (default: build-win32 in the source tree)
# KELVO_NATIVE_TABLES: a native build's share/kelvo/BD to bundle (default build/share/kelvo/BD);
# without it the tables are made from data/*.csv by the cross-built kelvo-cli under Wine.

set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${1:-}" = "--under-x" ]; then
    under_x=1
    build=$2
    work=$3
else
    under_x=0
    build=$(realpath -m "${1:-$root/build-win32}")
fi

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

# Runs kelvo.exe (or PROGRAM) with ARGUMENTS through the driver, checks that the window opened
# with group EXPECTED-GROUP, takes the picture into PICTURE (unless empty) and checks the bytes
# of table.txt in $data.
drive() {
    local arguments=$1 expected=$2 picture=$3 program=${4:-$bin/kelvo.exe}
    local signals=$work/signals-$expected x y w h rows group
    mkdir -p "$signals"
    rm -f "$signals"/*  # a run before for the same group left its signals
    rm -f "$data/table.txt"
    wine "$bin/kelvo_driver.exe" "$(winepath -w "$program")" "$arguments" "$(winepath -w "$signals")" \
        >"$results/driver-$expected.log" 2>&1 &
    local driver=$!
    for _ in $(seq 1 1200); do
        [ -s "$signals/ready" ] || ! kill -0 "$driver" 2>/dev/null && break
        sleep 0.1
    done
    if [ -s "$signals/ready" ]; then
        read -r x y w h rows group < <(tr -d '\r' <"$signals/ready")
        shown_w=$w shown_h=$h
        [ "$group" = "$expected" ] && pass "argument \"$arguments\" opened group $group with $rows rows" \
            || fail "argument \"$arguments\" opened group $group, not $expected"
        if [ -n "$picture" ]; then
            xwd -root -silent >"$work/screen.xwd"
            convert "$work/screen.xwd" -crop "${w}x${h}+${x}+${y}" +repage "$picture" &&
                pass "picture of the window: $picture" || fail "no picture taken"
        fi
    else
        fail "argument \"$arguments\": the window never showed a figure"
    fi
    : >"$signals/shot"
    if wait "$driver"; then pass "$(tail -1 "$results/driver-$expected.log")"
    else fail "driver: $(cat "$results/driver-$expected.log")"; fi
    wineserver -w

    local table=$data/table.txt
    if [ ! -f "$table" ]; then
        fail "kelvo.exe wrote no table.txt into its data directory"
        return
    fi
    local lines crlf odd last
    lines=$(grep -c '' "$table")
    crlf=$(grep -c $'\r$' "$table")
    odd=$(grep -vcE $'^ *[0-9]+ -?[0-9]+\\.[0-9]\r$' "$table")
    last=$(tail -c 2 "$table" | od -An -tx1 | tr -d ' ')
    [ "$lines" = "${rows:-x}" ] && pass "table.txt has one line per row ($lines)" \
        || fail "table.txt has $lines lines for ${rows:-?} rows"
    [ "$crlf" = "$lines" ] && [ "$last" = 0d0a ] \
        && pass "every line of table.txt ends in CR LF, the last one too" \
        || fail "line ends of table.txt: $crlf of $lines with CR LF, last bytes $last"
    [ "$odd" = 0 ] && pass "every line of table.txt is a feature number, one blank and a value" \
        || fail "$odd lines of table.txt are not number, blank, value"
    cp "$table" "$results/table-$expected.txt"
}

# --- Under the X server: everything that runs Windows programs -----------------------------
if [ "$under_x" = 1 ]; then
    export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine takes the ANSI and OEM code pages (1251, 866) from the locale.
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
    bin=$build/bin
    results=$work/results
    mkdir -p "$results"

    started=$SECONDS
    wine wineboot --init >"$work/wineboot.log" 2>&1 || { fail "wineboot"; cat "$work/wineboot.log"; }
    # For the picture: the dialog template's own bitmap font, MS Sans Serif, and the glyphs
    # of the caption's buttons.
    cp /usr/share/wine/fonts/sserife*.fon /usr/share/wine/fonts/marlett.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    # One virtual desktop, with room for the window at 192 DPI: windows open without waiting
    # on an X window manager, get their frame and caption drawn by Wine, and every process
    # finds the others' windows.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 2048x1536 /f >/dev/null 2>&1
    wineserver -w
    echo "Wine prefix ready in $((SECONDS - started)) s"

    # 1. The test program.
    started=$SECONDS
    xml=$results/kelvo_win32_tests.xml
    (cd "$work" && timeout 600 wine "$bin/kelvo_win32_tests.exe" --gtest_brief=1 \
        "--gtest_output=xml:$(winepath -w "$xml")") 2>&1 | tee "$results/kelvo_win32_tests.log" | grep -v '^$'
    wineserver -w
    if [ -s "$xml" ]; then
        tests=$(grep -m1 -o '<testsuites tests="[0-9]*"' "$xml" | grep -o '[0-9]*')
        failures=$(grep -m1 -o '<testsuites [^>]*failures="[0-9]*"' "$xml" | grep -o 'failures="[0-9]*"' | grep -o '[0-9]*')
        errors=$(grep -m1 -o '<testsuites [^>]*errors="[0-9]*"' "$xml" | grep -o 'errors="[0-9]*"' | grep -o '[0-9]*')
        skipped=$(grep -c '<skipped' "$xml")
        bad=$((failures + errors))
        passed=$((passed + tests - bad - skipped))
        failed=$((failed + bad))
        echo "kelvo_win32_tests: $((tests - bad - skipped)) passed, $bad failed, $skipped skipped" \
            "in $((SECONDS - started)) s"
    else
        fail "kelvo_win32_tests.exe wrote no results (crashed or hung)"
    fi

    # 2. kelvo.exe end to end, with its data directory from the registry.
    started=$SECONDS
    data=$work/data
    mkdir -p "$data/BD"
    tables="${KELVO_NATIVE_TABLES:-$root/build/share/kelvo/BD}"
    if [ -f "$tables/female.dbf" ]; then
        cp "$tables"/*.dbf "$tables"/*.src "$tables"/sources.txt "$data/BD/"
        echo "bundled tables from $tables"
    else
        for entry in yasly:nursery girls:girls boys:boys female:women male:men; do
            name=${entry%%:*}
            wine "$bin/kelvo-cli.exe" --make-table "${entry##*:}" "$(winepath -w "$root/data/$name.csv")" \
                "$(winepath -w "$data/BD/$name.dbf")" >>"$results/make_table.log" 2>&1
        done
        cp "$root/data/sources.txt" "$data/BD/"
        echo "bundled tables made from data/*.csv by kelvo-cli.exe --make-table"
    fi
    if [ -f "$data/BD/female.dbf" ]; then pass "feature tables in the data directory"; else fail "no feature tables"; fi

    wine reg add 'HKLM\SOFTWARE\Brenk' /v path /t REG_SZ /d "$(winepath -w "$data")" /f >/dev/null 2>&1
    shot=$build/screenshots
    mkdir -p "$shot"
    # Women (no argument, with the picture: point 3), then Men from the argument "4".
    drive "" 3 "$shot/kelvo-women.png"
    drive 4 4 ""
    echo "end to end in $((SECONDS - started)) s"

    # 3b. The window at 144 and 192 DPI, the prefix's LogPixels: kelvo.exe declares itself
    #     DPI-aware, so Wine draws it at that DPI; it grows with the DPI, and nothing in it
    #     overlaps (the layout test of the test program, run again at that DPI).
    wide96=$shown_w high96=$shown_h
    for dpi in 144 192; do
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
        wineserver -w
        shown_w=0 shown_h=0
        drive "" 3 "$shot/kelvo-women-$dpi.png"
        # The frame and caption grow less than the client area: at least 90 % of the ratio.
        if [ $((shown_w * 96 * 10)) -ge $((wide96 * dpi * 9)) ] && [ $((shown_h * 96 * 10)) -ge $((high96 * dpi * 9)) ]; then
            pass "at $dpi DPI the window is ${shown_w}x${shown_h}, at 96 DPI ${wide96}x${high96}"
        else
            fail "at $dpi DPI the window is ${shown_w}x${shown_h}, at 96 DPI ${wide96}x${high96}: it did not grow with the DPI"
        fi
        if (cd "$work" && timeout 120 wine "$bin/kelvo_win32_tests.exe" --gtest_brief=1 \
                --gtest_filter='FigureWindowTest.NothingOverlaps*' >"$results/layout-$dpi.log" 2>&1); then
            pass "at $dpi DPI nothing in the window overlaps"
        else
            fail "at $dpi DPI: $(grep -m3 -A3 Failure "$results/layout-$dpi.log")"
        fi
    done
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    wineserver -w

    # 4. The installer and the uninstaller, both silent. Last, because the picture above
    #    comes out blank once the installer has run in the prefix; the key set by step 2 is
    #    deleted first, so that the value kelvo.exe reads is the installer's own.
    started=$SECONDS
    wine reg delete 'HKLM\SOFTWARE\Brenk' /f >/dev/null 2>&1
    setup=$(ls "$build"/packages/kelvo-*-setup.exe 2>/dev/null | head -1)
    programs="$WINEPREFIX/drive_c/Program Files/kelvo"
    menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/kelvo.lnk"
    uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\kelvo'
    registry_path() { wine reg query 'HKLM\SOFTWARE\Brenk' /v path 2>/dev/null | tr -d '\r' | awk '$1 == "path" { sub(/^ *path +REG_SZ +/, ""); print }'; }
    if [ -n "$setup" ] && wine "$setup" /S && wineserver -w && [ -f "$programs/kelvo.exe" ]; then
        pass "installer $(basename "$setup") ($(stat -c %s "$setup") bytes) ran silently"
        value=$(registry_path)
        # The drive's own link in the prefix, not winepath -u: on a fresh CI machine winepath
        # once printed nothing here, and every check of the installed data folder then failed.
        drive_letter=$(printf '%s' "${value:0:1}" | tr 'A-Z' 'a-z')
        data=$(realpath -m "$WINEPREFIX/dosdevices/$drive_letter:")$(printf '%s' "${value:2}" | tr '\\' /)
        [ -n "$value" ] && pass "the installer set the data folder $value" || fail "no registry value after installing"
        [ "$(ls "$data/BD/"*.dbf 2>/dev/null | wc -l)" = 5 ] && pass "the 5 tables are in the data folder" ||
            fail "tables in the data folder: $(ls "$data/BD" 2>&1)"
        [ -f "$menu" ] && pass "Start-menu entry" || fail "no Start-menu entry"
        manual_files=$(cd "$root/packaging/manual" && ls | sort | tr '\n' ' ')
        [ "$(cd "$programs/manual" 2>/dev/null && ls | sort | tr '\n' ' ')" = "$manual_files" ] &&
            pass "the manual beside kelvo.exe: $manual_files" || fail "the manual is not installed whole: $(ls "$programs/manual" 2>&1)"
        wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 &&
            pass "listed among the installed programs" || fail "not in the system's program list"
        drive "" 3 "" "$programs/kelvo.exe"
        wine reg query 'HKCU\Software\kelvo\Window' >/dev/null 2>&1 &&
            pass "kelvo.exe kept its window size for the user" || fail "no window size kept in HKCU"

        wine "$programs/uninstall.exe" /S
        wineserver -w
        [ ! -e "$programs" ] && pass "uninstalled: no program file left" || fail "left: $(ls -A "$programs")"
        [ ! -e "$menu" ] && pass "uninstalled: no Start-menu entry" || fail "the Start-menu entry is left"
        [ -z "$(registry_path)" ] && pass "uninstalled: no registry value" || fail "the registry value is left"
        wine reg query 'HKCU\Software\kelvo' >/dev/null 2>&1 && fail "the user's window size is left" ||
            pass "uninstalled: no window size left for the user"
        wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "still in the program list" ||
            pass "uninstalled: gone from the program list"
        [ ! -e "$data/BD" ] && [ -f "$data/table.txt" ] && pass "uninstalled: the tables went, table.txt stayed" ||
            fail "after uninstalling, the data folder holds: $(ls -AR "$data" 2>&1)"
    else
        fail "the installer ${setup:-(not built)} did not install kelvo.exe"
    fi
    zip=$(ls "$build"/packages/kelvo-*-portable.zip 2>/dev/null | head -1)
    listing=$(python3 -c 'import sys, zipfile
print(" ".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' "$zip" 2>/dev/null)
    manual_entries=$(cd "$root/packaging/manual" && ls | sort | sed 's|^|manual/|' | tr '\n' ' ')
    [ "$listing" = "BD/boys.dbf BD/boys.src BD/female.dbf BD/female.src BD/girls.dbf BD/girls.src BD/male.dbf BD/male.src BD/sources.txt BD/yasly.dbf BD/yasly.src kelvo.exe ${manual_entries}readme.txt" ] &&
        pass "portable zip: kelvo.exe, BD, the manual and readme.txt" || fail "portable zip ${zip:-(not built)}: $listing"
    echo "installer in $((SECONDS - started)) s"
    echo "$passed $failed" >"$work/counts"
    exit 0
fi

# --- Outside: check the tools, build, and run the part above under Xvfb --------------------
missing=""
for tool in cmake x86_64-w64-mingw32-g++-posix wine wineserver winepath xvfb-run xwd convert python3 makensis; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -d /usr/share/wine/fonts ] || missing="$missing fonts-wine"
locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' || missing="$missing locale:ru_RU.UTF-8"
if [ -n "$missing" ]; then
    echo "wine-tests: missing:$missing"
    echo "0 passed, 1 failed"
    exit 1
fi

started=$SECONDS
mkdir -p "$build"
host_tables=()
[ -f "${KELVO_NATIVE_TABLES:-$root/build/share/kelvo/BD}/female.dbf" ] &&
    host_tables=("-DKELVO_HOST_TABLES=${KELVO_NATIVE_TABLES:-$root/build/share/kelvo/BD}")
if ! cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKELVO_WERROR=ON "${host_tables[@]}" >"$build/configure.log" 2>&1 ||
   ! cmake --build "$build" -j2 --target kelvo kelvo_win32_tests kelvo_driver kelvo-cli installer portable \
        >"$build/build.log" 2>&1; then
    cat "$build/configure.log" "$build/build.log" 2>/dev/null | grep -E 'error|Error' | head -40
    echo "wine-tests: the cross build failed (logs: $build/configure.log, $build/build.log)"
    echo "0 passed, 1 failed"
    exit 1
fi
echo "cross build in $((SECONDS - started)) s: kelvo.exe $(stat -c %s "$build/bin/kelvo.exe") bytes," \
     "imports: $(x86_64-w64-mingw32-objdump -p "$build/bin/kelvo.exe" | awk '/DLL Name/ {printf "%s ", $3}')"

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-wine.XXXXXX")
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

started=$SECONDS
xvfb-run -a -s "-screen 0 2048x1536x24" bash "$0" --under-x "$build" "$work"
read -r passed failed <"$work/counts" 2>/dev/null || { passed=0; failed=1; }
echo "Wine run in $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
