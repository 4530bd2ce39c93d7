// make_table: writes one bundled feature table, a dBASE III file, from its CSV source.
//
//   make_table --columns N SOURCE.csv TABLE.dbf
//
// The source is UTF-8 CSV: a header line naming the N columns (the names become the
// dBASE field names), then one line per feature: its name, its number and N - 2 decimal
// numbers. Names are stored in code page 866, numbers right-aligned with one decimal. A
// source the table could not hold exactly as written is refused, and no table is written.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tables/table_writer.h"

namespace {

// One line of the source: its cells, and where it starts for the messages.
struct Row {
    int line = 0;
    std::vector<std::string> cells;
};

// The reader of the program takes the length byte of a field as a signed byte.
constexpr int kMaxFieldLength = 127;
constexpr int kNumberLength = 3;  // feature numbers 1 to 999
constexpr int kValueLength = 8;
constexpr int kValueDecimals = 1;

struct SourceError {
    int line = 0;
    std::string text;
};

// Splits CSV text into rows: fields separated by commas, optionally quoted with '"'
// ("" inside quotes is one quote); CR LF and a UTF-8 byte-order mark are accepted so a
// source saved by a spreadsheet still reads. Blank lines are skipped.
bool ParseCsv(const std::string& text, std::vector<Row>& rows, SourceError& error) {
    std::size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    int line = 1;
    Row row;
    std::string field;
    bool quoted = false, fieldStarted = false;
    int rowLine = 1;
    auto endRow = [&] {
        if (fieldStarted || !row.cells.empty()) {
            row.cells.push_back(field);
            row.line = rowLine;
            rows.push_back(std::move(row));
        }
        row.cells.clear();
        field.clear();
        fieldStarted = false;
    };
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (!fieldStarted && row.cells.empty()) rowLine = line;
        if (c == '"' && field.empty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            row.cells.push_back(field);
            field.clear();
            fieldStarted = true;
        } else if (c == '\n') {
            endRow();
            ++line;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        error = {line, "a quoted field is not closed"};
        return false;
    }
    endRow();
    return true;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A dBASE field name: a letter, then letters, digits or '_', at most 10 in all.
bool FieldName(const std::string& header, std::string& name) {
    if (header.empty() || header.size() > 10 || !std::isalpha(static_cast<unsigned char>(header[0])))
        return false;
    name.clear();
    for (const char c : header) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return true;
}

// The value as stored: one decimal, and only if that loses nothing of what was written.
bool ValueText(const std::string& cell, std::string& text) {
    const std::string trimmed = Trimmed(cell);
    // strtod also reads hexadecimal, exponents and "inf", which the program's atof reading
    // of the stored text would take differently or not at all.
    if (trimmed.empty() || trimmed.find_first_not_of("+-.0123456789") != std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (*end != '\0' || errno != 0) return false;
    const double tenths = value * 10.0;
    if (std::fabs(tenths - std::round(tenths)) > 1e-6) return false;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", kValueDecimals, value);
    text = buffer;
    // The increment cells show the stored text; "-0" would appear there as "-0.0".
    if (text == "-0.0") text = "0.0";
    return text.size() <= static_cast<std::size_t>(kValueLength);
}

bool FeatureNumber(const std::string& cell, int& number) {
    const std::string trimmed = Trimmed(cell);
    if (trimmed.empty() || trimmed.size() > static_cast<std::size_t>(kNumberLength) ||
        trimmed.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::atoi(trimmed.c_str());
    return number > 0;
}

// Code page 866 has no replacement of its own: a character it lacks comes back as '?',
// which must not pass for a name.
bool OemName(const std::string& utf8, std::string& oem) {
    oem = kelvo::platform::Utf8ToOem(utf8);
    const auto marks = [](const std::string& s) { return std::count(s.begin(), s.end(), '?'); };
    return marks(oem) == marks(utf8);
}

bool BuildContents(const std::vector<Row>& rows, int columns, kelvo::tables::TableContents& contents,
               SourceError& error) {
    if (rows.empty()) {
        error = {1, "no header line"};
        return false;
    }
    for (const Row& row : rows) {
        if (row.cells.size() != static_cast<std::size_t>(columns)) {
            error = {row.line, std::to_string(row.cells.size()) + " columns, the table has " +
                                   std::to_string(columns)};
            return false;
        }
    }
    const std::vector<std::string>& header = rows[0].cells;
    std::set<std::string> fieldNames;
    for (int c = 0; c < columns; ++c) {
        std::string name;
        if (!FieldName(Trimmed(header[c]), name) || !fieldNames.insert(name).second) {
            error = {rows[0].line, "column " + std::to_string(c + 1) + ": \"" + header[c] +
                                   "\" is no field name (a letter, then letters, digits or _; 10 at most; unique)"};
            return false;
        }
        contents.fields.push_back({name, 'N', kValueLength, kValueDecimals});
    }
    contents.fields[1].length = kNumberLength;
    contents.fields[1].decimals = 0;
    contents.fields[0].type = 'C';
    contents.fields[0].decimals = 0;

    std::set<int> numbers;
    int nameLength = 1;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r].cells;
        const int line = rows[r].line;
        std::vector<std::string> record(row.size());
        const std::string name = Trimmed(row[0]);
        if (name.empty() || !OemName(name, record[0])) {
            error = {line, "the name is empty or has a character code page 866 lacks"};
            return false;
        }
        if (record[0].size() > static_cast<std::size_t>(kMaxFieldLength)) {
            error = {line, "the name is longer than " + std::to_string(kMaxFieldLength) + " characters"};
            return false;
        }
        nameLength = std::max(nameLength, static_cast<int>(record[0].size()));
        int number = 0;
        if (!FeatureNumber(row[1], number)) {
            error = {line, "\"" + row[1] + "\" is no feature number (1 to 999)"};
            return false;
        }
        // The program finds features 1 and 16 by number; a second record of a number
        // would silently take the place of the first.
        if (!numbers.insert(number).second) {
            error = {line, "feature " + std::to_string(number) + " appears twice"};
            return false;
        }
        record[1] = std::to_string(number);
        for (int c = 2; c < columns; ++c) {
            if (!ValueText(row[c], record[c])) {
                error = {line, "column " + std::to_string(c + 1) + ": \"" + row[c] +
                                       "\" is no number with at most one decimal"};
                return false;
            }
        }
        contents.records.push_back(std::move(record));
    }
    contents.fields[0].length = nameLength;
    return true;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return !file.bad();
}

// Written beside the target and renamed over it, so a failed run never leaves a table
// that looks complete to the next build.
bool WriteAtomically(const std::string& path, const kelvo::tables::TableContents& contents) {
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temporary = path + ".tmp";
    if (!kelvo::tables::WriteTable(temporary, contents)) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) std::filesystem::remove(temporary, ec);
    return !ec;
}

int Usage() {
    std::cerr << "usage: make_table --columns N SOURCE.csv TABLE.dbf\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || std::string(argv[1]) != "--columns") return Usage();
    int columns = 0;
    if (!FeatureNumber(argv[2], columns) || columns < 2) return Usage();
    const std::string source = argv[3], target = argv[4];

    std::string text;
    if (!ReadFile(source, text)) {
        std::cerr << "make_table: cannot read " << source << "\n";
        return 1;
    }
    std::vector<Row> rows;
    kelvo::tables::TableContents contents;
    SourceError error;
    if (!ParseCsv(text, rows, error) || !BuildContents(rows, columns, contents, error)) {
        std::cerr << source << ":" << error.line << ": " << error.text << "\n";
        return 1;
    }
    if (!WriteAtomically(target, contents)) {
        std::cerr << "make_table: cannot write " << target << "\n";
        return 1;
    }
    return 0;
}
