#!/bin/bash
# Opens every size chart kelvo-cli writes in LibreOffice Calc and checks that the spreadsheet
# reads back what the file holds: every value cell a number (not text, not a date) equal to
# the value written, every heading, feature number and feature name intact, Cyrillic
# included.
#
# Each group is charted (girls and boys: each age group) in both dialects. Calc imports the
# files headless, the way a user opens them:
#   excel    ";" between fields, "," as decimal mark, UTF-8: language Russian (1049),
#            as a double-click opens it under a Russian locale;
#   rfc4180  "," between fields, "." as decimal mark, UTF-8: language English (US) (1033);
# with special numbers (dates, times, percentages) detected, so that a heading like "74-48"
# that Calc took for a date would show up. Calc saves what it understood as flat ODF
# (.fods), which names each cell's value type, and python3 compares it with the CSV.
# As a control, one excel chart is also opened as English (US) and must fail the check: it
# shows that the check sees a wrong decimal mark.
#
# Prints one line per chart ("women excel: 1512 figures × 22 features, all numbers equal").
# Exit code 0 when all agree, 1 on any difference, 2 when something needed is missing.
# Installs nothing (Debian: libreoffice-calc-nogui python3).
#
# usage: tools/chart-spreadsheet-check.sh [--cli KELVO-CLI] [--data DIR] [--soffice SOFFICE]
#   defaults: build/bin/kelvo-cli, build/share/kelvo, soffice from PATH.

set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=$root/build/bin/kelvo-cli
data=$root/build/share/kelvo
soffice=${SOFFICE:-}

while [ $# -gt 0 ]; do
    case $1 in
        --cli) cli=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        --soffice) soffice=$2; shift 2 ;;
        *) echo "usage: $0 [--cli KELVO-CLI] [--data DIR] [--soffice SOFFICE]" >&2; exit 2 ;;
    esac
done

me="chart-spreadsheet-check"
if [ -n "$soffice" ]; then
    soffice=$(command -v -- "$soffice" || true)
else
    soffice=$(command -v soffice || command -v libreoffice || true)
fi
if [ -z "$soffice" ]; then
    echo "$me: LibreOffice's soffice not found (Debian: apt-get install libreoffice-calc-nogui)" >&2
    exit 2
fi
if ! command -v python3 >/dev/null; then
    echo "$me: python3 not found (Debian: apt-get install python3)" >&2
    exit 2
fi
if [ ! -x "$cli" ]; then
    echo "$me: $cli not found: build kelvo-cli first or name it with --cli" >&2
    exit 2
fi
if [ ! -d "$data/BD" ]; then
    echo "$me: no feature tables in $data/BD: build them first or name the folder with --data" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-chart-check.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/csv" "$work/excel" "$work/rfc4180" "$work/control"

# name|kelvo-cli arguments|the option that picks a figure's third dimension
charts=("nursery|--group 0|")
for age in 0 1 2 3; do charts+=("girls age $age|--group 1 --age $age|--waist"); done
for age in 0 1 2 3; do charts+=("boys age $age|--group 2 --age $age|--waist"); done
charts+=("women|--group 3|--hip" "men|--group 4|--waist")

pairs=()
for chart in "${charts[@]}"; do
    IFS='|' read -r name arguments third <<<"$chart"
    file=${name// /-}
    for dialect in excel rfc4180; do
        # shellcheck disable=SC2086 # the arguments are words by design
        if ! "$cli" --data "$data" $arguments --chart "$work/csv/$file.$dialect.csv" \
            --chart-format "$dialect" 2>"$work/cli.err"; then
            echo "$me: kelvo-cli $arguments --chart-format $dialect failed: $(cat "$work/cli.err")" >&2
            exit 1
        fi
        pairs+=("$name $dialect|$work/csv/$file.$dialect.csv|$work/$dialect/$file.$dialect.fods|$dialect|$arguments|$third")
    done
done

# Calc's CSV filter options: separator, text delimiter, character set (76 = UTF-8), first
# line, column formats (none: Calc decides), language, quoted field as text, detect special
# numbers. One soffice run per import setting; the profile is thrown away with $work so that
# runs side by side do not share one.
calc_import() {
    local options=$1 outdir=$2
    shift 2
    if ! "$soffice" "-env:UserInstallation=file://$work/profile" --headless --norestore \
        --infilter="Text - txt - csv (StarCalc):$options" --convert-to fods --outdir "$outdir" "$@" \
        >"$work/soffice.log" 2>&1; then
        echo "$me: soffice failed:" >&2
        cat "$work/soffice.log" >&2
        exit 1
    fi
}
calc_import 59,34,76,1,,1049,false,true "$work/excel" "$work"/csv/*.excel.csv
calc_import 44,34,76,1,,1033,false,true "$work/rfc4180" "$work"/csv/*.rfc4180.csv
calc_import 59,34,76,1,,1033,false,true "$work/control" "$work/csv/nursery.excel.csv"

python3 - "$cli" "$data" "$work/control/nursery.excel.fods" "${pairs[@]}" <<'PY'
import csv
import io
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from decimal import Decimal

TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"
NUMBER = {"excel": re.compile(r"-?[0-9]+(,[0-9]+)?"), "rfc4180": re.compile(r"-?[0-9]+(\.[0-9]+)?")}
HEADINGS = ["Номер", "Наименование размерного признака"]
FIGURE = re.compile(r"[0-9]+-[0-9]+(-[0-9]+)?")
# A feature name as the table holds it: Cyrillic words, no padding, no byte-order mark or
# control character carried along.
NAME = re.compile(r"[А-ЯЁ][^\x00-\x1f\ufeff]*[^ ]", re.IGNORECASE)


def paragraph_text(element):
    """A text:p as Calc shows it: text:s stands for runs of blanks, text:tab for a tab."""
    parts = [element.text or ""]
    for child in element:
        if child.tag == f"{{{TEXT}}}s":
            parts.append(" " * int(child.get(f"{{{TEXT}}}c", "1")))
        elif child.tag == f"{{{TEXT}}}tab":
            parts.append("\t")
        elif child.tag == f"{{{TEXT}}}line-break":
            parts.append("\n")
        else:
            parts.append(paragraph_text(child))
        parts.append(child.tail or "")
    return "".join(parts)


def read_sheet(path):
    """The first sheet as rows of (value type, value, text); trailing empty cells and rows dropped."""
    table = ET.parse(path).getroot().find(f".//{{{TABLE}}}table")
    rows, pending_empty_rows = [], 0
    for row in table.iter(f"{{{TABLE}}}table-row"):
        cells = []
        for cell in row:
            if cell.tag not in (f"{{{TABLE}}}table-cell", f"{{{TABLE}}}covered-table-cell"):
                continue
            kind = cell.get(f"{{{OFFICE}}}value-type")
            text = "\n".join(paragraph_text(p) for p in cell.findall(f"{{{TEXT}}}p"))
            value = cell.get(f"{{{OFFICE}}}value")
            repeat = int(cell.get(f"{{{TABLE}}}number-columns-repeated", "1"))
            cells.extend([(kind, value, text)] * min(repeat, 20000))
        while cells and cells[-1][0] is None and not cells[-1][2]:
            cells.pop()
        repeat = int(row.get(f"{{{TABLE}}}number-rows-repeated", "1"))
        if not cells:
            pending_empty_rows += repeat
            continue
        rows.extend([[]] * pending_empty_rows)
        pending_empty_rows = 0
        rows.extend([cells] * repeat)
    return rows


class Problems(list):
    """The first dozen differences, and a mark that there were more."""

    def say(self, where, message):
        if len(self) < 12:
            self.append(f"{where}: {message}")
        elif len(self) == 12:
            self.append("…")


def compare(csv_path, fods_path, dialect, problems):
    """Checks the CSV kelvo-cli wrote, and the sheet Calc read from it against it; both as rows."""
    with open(csv_path, "rb") as f:
        raw = f.read()
    if not raw.startswith(b"\xef\xbb\xbf"):
        problems.say("file", "no UTF-8 byte-order mark")
    # Exactly one mark stripped: a second one would stay in the first heading and be seen.
    text = raw[3:].decode("utf-8") if raw.startswith(b"\xef\xbb\xbf") else raw.decode("utf-8")
    written = list(csv.reader(io.StringIO(text, newline=""), delimiter=";" if dialect == "excel" else ","))
    read = read_sheet(fods_path)

    # The file itself: the fixed headings, a figure's dimensions over each column, a feature
    # number and a name in front of each row, a number in the dialect's form in every value cell.
    if written[0][:2] != HEADINGS:
        problems.say("row 1", f"headings {written[0][:2]!r}, not {HEADINGS!r}")
    for c, heading in enumerate(written[0][2:], start=3):
        if not FIGURE.fullmatch(heading):
            problems.say(f"row 1 column {c}", f"heading {heading!r} is not a figure's dimensions")
    for r, line in enumerate(written[1:], start=2):
        if len(line) < 2 or not line[0].isdigit() or not NAME.fullmatch(line[1]):
            problems.say(f"row {r}", f"feature {line[:2]!r} is not a number and a name")
        for c, cell in enumerate(line[2:], start=3):
            if not NUMBER[dialect].fullmatch(cell):
                problems.say(f"row {r} column {c}", f"value {cell!r} is not a number in the {dialect} dialect")

    # What Calc made of it.
    if len(read) != len(written):
        problems.say("sheet", f"{len(read)} rows read, {len(written)} written")
    for r, line in enumerate(written, start=1):
        sheet_line = read[r - 1] if r - 1 < len(read) else []
        if len(sheet_line) != len(line):
            problems.say(f"row {r}", f"{len(sheet_line)} cells read, {len(line)} written")
        for c, cell in enumerate(line, start=1):
            kind, value, shown = sheet_line[c - 1] if c - 1 < len(sheet_line) else (None, None, "")
            where = f"row {r} column {c}"
            if r == 1 or c == 2:
                # Headings and names: text, character for character.
                if kind != "string" or shown != cell:
                    problems.say(where, f"{cell!r} read as {kind} {shown!r}")
            elif c == 1:
                # The feature number: Calc may take it for a number, but it must be the same one.
                if not (kind == "string" and shown == cell or
                        kind == "float" and cell.isdigit() and Decimal(value) == Decimal(cell)):
                    problems.say(where, f"feature number {cell!r} read as {kind} {value or shown!r}")
            elif kind != "float":
                problems.say(where, f"value {cell!r} read as {kind} {value or shown!r}, not as a number")
            elif NUMBER[dialect].fullmatch(cell) and Decimal(value) != Decimal(cell.replace(",", ".")):
                problems.say(where, f"value {cell!r} read as the number {value}")
    return written, read


window_lists = {}


def window_list(arguments, third, heading):
    """The result list kelvo-cli prints for the figure HEADING: (number, name, value) rows."""
    key = (arguments, heading)
    if key not in window_lists:
        dimensions = heading.split("-")
        command = [cli, "--data", data, *arguments.split(), "--height", dimensions[0], "--chest", dimensions[1]]
        if third:
            command += [third, dimensions[2]]
        result = subprocess.run(command + ["--format", "tsv"], capture_output=True, text=True)
        if result.returncode != 0:
            raise RuntimeError(f"{' '.join(command[3:])}: {result.stderr.strip()}")
        lines = result.stdout.splitlines()[1:]
        window_lists[key] = [[field.strip() for field in line.split("\t")[:3]] for line in lines]
    return window_lists[key]


def against_window(written, read, arguments, third, problems):
    """The first, middle and last figure in Calc's sheet against the window's result list for it."""
    headings = written[0][2:]
    for column in sorted({0, len(headings) // 2, len(headings) - 1}):
        heading = headings[column]
        try:
            rows = window_list(arguments, third, heading)
        except RuntimeError as error:
            problems.say(heading, f"kelvo-cli failed: {error}")
            continue
        if len(rows) != len(written) - 1:
            problems.say(heading, f"the window lists {len(rows)} features, the chart {len(written) - 1}")
        for r, (number, name, value) in enumerate(rows, start=2):
            sheet_line = read[r - 1] if r - 1 < len(read) else []
            cells = [sheet_line[c] if c < len(sheet_line) else (None, None, "") for c in (0, 1, column + 2)]
            if cells[0][2] != number or cells[1][2] != name:
                problems.say(f"{heading} row {r}", f"Calc reads {cells[0][2]!r} {cells[1][2]!r}, "
                                                   f"the window shows {number!r} {name!r}")
            if cells[2][0] != "float" or Decimal(cells[2][1]) != Decimal(value):
                problems.say(f"{heading} row {r}", f"Calc reads {cells[2][1] or cells[2][2]!r}, "
                                                   f"the window shows {value!r}")


cli, data, control, pairs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
failed = False
for pair in pairs:
    name, csv_path, fods_path, dialect, arguments, third = pair.split("|")
    problems = Problems()
    try:
        written, read = compare(csv_path, fods_path, dialect, problems)
        against_window(written, read, arguments, third, problems)
    except (OSError, ET.ParseError, IndexError, ValueError) as error:
        print(f"{name}: FAILED: the chart or Calc's sheet could not be read: {error!r}")
        failed = True
        continue
    figures, features = len(written[0]) - 2, len(written) - 1
    if problems:
        failed = True
        print(f"{name}: FAILED: {figures} figures × {features} features, they differ:")
        for problem in problems:
            print(f"    {problem}")
    else:
        print(f"{name}: {figures} figures × {features} features, all numbers equal")

# The control: the excel dialect read with "." as decimal mark must not pass.
problems = Problems()
try:
    compare(control.replace("/control/", "/csv/").replace(".fods", ".csv"), control, "excel", problems)
except (OSError, ET.ParseError, IndexError, ValueError) as error:
    problems.say("sheet", repr(error))
if problems:
    print(f"control: nursery excel opened as English (US) differs as it should ({problems[0]})")
else:
    print("control: FAILED: nursery excel opened as English (US) passed the check, which sees nothing")
    failed = True
sys.exit(1 if failed else 0)
PY
