#include "tables/table_source.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "platform/codepage.h"

namespace kelvo::tables {
namespace {

struct Row {
    int line = 0;
    std::vector<std::string> cells;
};

// The reader takes a field's length byte as it is; beyond 127 other dBASE readers take it
// for a negative length.
constexpr int kMaxFieldLength = 127;
constexpr int kNumberLength = 3;  // feature numbers 1 to 999
constexpr int kValueLength = 8;
constexpr int kValueDecimals = 1;
constexpr const char* kSourceColumn = "source";

// Splits CSV text into rows: fields separated by commas, optionally quoted with '"'
// ("" inside quotes is one quote); CR LF and a UTF-8 byte-order mark are accepted so a
// source saved by a spreadsheet still reads. Blank lines are skipped.
bool ParseCsv(const std::string& text, std::vector<Row>& rows, TableFault& fault) {
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
        fault = {rowLine, 0, "кавычка без пары", "закрытое поле в кавычках"};
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

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A comment ('#') or what a spreadsheet writes for an empty line (only commas).
bool Skipped(const Row& row) {
    if (!row.cells.empty() && Trimmed(row.cells[0]).starts_with('#')) return true;
    return std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return Trimmed(c).empty(); });
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
    oem = platform::Utf8ToOem(utf8);
    const auto marks = [](const std::string& s) { return std::count(s.begin(), s.end(), '?'); };
    return marks(oem) == marks(utf8);
}

std::string Quoted(const std::string& text) { return "«" + text + "»"; }

void ReadHeader(const Row& row, int columns, TableSource& source, std::vector<TableFault>& faults) {
    source.header = row.cells;
    source.hasSources = static_cast<int>(row.cells.size()) == columns + 1 &&
                        Lower(Trimmed(row.cells.back())) == kSourceColumn;
    std::set<std::string> names;
    for (int c = 0; c < columns && c < static_cast<int>(row.cells.size()); ++c) {
        std::string name;
        if (!FieldName(Trimmed(row.cells[c]), name) || !names.insert(name).second)
            faults.push_back({row.line, c + 1, Quoted(row.cells[c]),
                              "имя столбца: латинская буква, затем буквы, цифры или _, не длиннее 10, без повторов"});
        source.contents.fields.push_back({name, 'N', kValueLength, kValueDecimals});
    }
    source.contents.fields.resize(static_cast<std::size_t>(columns));
    source.contents.fields[0].type = 'C';
    source.contents.fields[0].decimals = 0;
    source.contents.fields[1].length = kNumberLength;
    source.contents.fields[1].decimals = 0;
}

// "W b2_hip1=illustrative": the feature's source, then the columns of another one.
void ReadSourceCell(const Row& row, int number, int columns, TableSource& source, std::vector<TableFault>& faults) {
    std::istringstream words(row.cells.back());
    std::string word;
    if (!(words >> word)) return;  // no source given: the feature's is unknown
    const int column = columns + 1;
    if (word.find('=') != std::string::npos) {
        faults.push_back({row.line, column, Quoted(word), "сначала код источника строки, затем столбец=код"});
        return;
    }
    FeatureSource& feature = source.sources[number];
    feature.code = word;
    while (words >> word) {
        const auto eq = word.find('=');
        const std::string name = Lower(word.substr(0, eq == std::string::npos ? 0 : eq));
        int index = -1;
        for (int c = 2; c < columns; ++c)
            if (Lower(Trimmed(source.header[static_cast<std::size_t>(c)])) == name) index = c;
        if (eq == std::string::npos || index < 0 || eq + 1 == word.size()) {
            faults.push_back({row.line, column, Quoted(word), "столбец=код, столбец из заголовка с третьего на"});
            continue;
        }
        feature.columns[index] = word.substr(eq + 1);
    }
}

void ReadRecord(const Row& row, int columns, TableSource& source, std::set<int>& numbers,
                std::vector<TableFault>& faults) {
    std::vector<std::string> record(static_cast<std::size_t>(columns));
    const std::string name = Trimmed(row.cells[0]);
    if (name.empty() || !OemName(name, record[0]))
        faults.push_back({row.line, 1, Quoted(name), "название из знаков кодовой страницы 866 (кириллица DOS)"});
    else if (record[0].size() > static_cast<std::size_t>(kMaxFieldLength))
        faults.push_back({row.line, 1, std::to_string(record[0].size()) + " знаков",
                          "не больше " + std::to_string(kMaxFieldLength)});
    int number = 0;
    if (!FeatureNumber(row.cells[1], number)) {
        faults.push_back({row.line, 2, Quoted(row.cells[1]), "номер признака от 1 до 999"});
    } else if (!numbers.insert(number).second) {
        // The program finds features 1 and 16 by number; a second record of a number would
        // silently take the place of the first.
        faults.push_back({row.line, 2, std::to_string(number) + " второй раз", "каждый номер один раз"});
    }
    record[1] = std::to_string(number);
    for (int c = 2; c < columns; ++c) {
        const std::string& cell = row.cells[static_cast<std::size_t>(c)];
        if (!ValueText(cell, record[static_cast<std::size_t>(c)]))
            faults.push_back({row.line, c + 1, Quoted(cell), "число не более чем с одним знаком после точки"});
    }
    if (source.hasSources) ReadSourceCell(row, number, columns, source, faults);
    source.contents.fields[0].length =
        std::max(source.contents.fields[0].length, static_cast<int>(std::min<std::size_t>(record[0].size(), kMaxFieldLength)));
    source.contents.records.push_back(std::move(record));
    source.lines.push_back(row.line);
}

}  // namespace

void ReadTableSource(const std::string& csv, int columns, TableSource& source, std::vector<TableFault>& faults) {
    source = {};
    std::vector<Row> rows;
    TableFault fault;
    if (!ParseCsv(csv, rows, fault)) {
        faults.push_back(fault);
        return;
    }
    std::erase_if(rows, Skipped);
    if (rows.empty()) {
        faults.push_back({0, 0, "пустой файл", "строка заголовка и строки признаков"});
        return;
    }
    ReadHeader(rows[0], columns, source, faults);
    source.contents.fields[0].length = 1;
    const int width = columns + (source.hasSources ? 1 : 0);
    std::set<int> numbers;
    for (const Row& row : rows) {
        if (static_cast<int>(row.cells.size()) != width) {
            faults.push_back({row.line, 0, std::to_string(row.cells.size()) + " столбцов",
                              std::to_string(columns) + (source.hasSources ? " и «source»" : "") + ", как в шаблоне группы"});
            continue;
        }
        if (&row != &rows[0]) ReadRecord(row, columns, source, numbers, faults);
    }
}

std::string FaultMessage(const std::string& file, const TableSource& source, const TableFault& fault) {
    // Appended piece by piece: GCC 12 at -O3 takes ":" + string for an overlapping copy
    // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
    std::string message = file;
    if (fault.line > 0) {
        message += ':';
        message += std::to_string(fault.line);
    }
    message += ": ";
    if (fault.column > 0) {
        message += "столбец " + std::to_string(fault.column);
        const auto index = static_cast<std::size_t>(fault.column - 1);
        if (index < source.header.size() && !Trimmed(source.header[index]).empty())
            message += " (" + Trimmed(source.header[index]) + ")";
        message += ": ";
    }
    return message + "найдено " + fault.found + ", ожидалось " + fault.expected;
}

std::string BuildTableSourceCsv(const FeatureTable& table, const FeatureSources& sources) {
    std::string csv;
    const auto field = [&csv](const std::string& text, bool last) {
        if (text.find_first_of(",\"\r\n") == std::string::npos) {
            csv += text;
        } else {
            csv += '"';
            for (const char c : text) csv += c == '"' ? std::string("\"\"") : std::string(1, c);
            csv += '"';
        }
        csv += last ? '\n' : ',';
    };
    const int columns = table.ColumnCount();
    const bool withSources = !sources.empty();
    for (int c = 0; c < columns; ++c) field(Lower(table.FieldName(c)), c + 1 == columns && !withSources);
    if (withSources) field(kSourceColumn, true);
    std::string text;
    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            table.ReadField(r, c, text);
            std::string cell = Trimmed(text);
            if (c == 0) cell = platform::AnsiToUtf8(platform::OemToAnsi(cell));
            field(cell, c + 1 == columns && !withSources);
        }
        if (!withSources) continue;
        table.ReadField(r, 1, text);
        const auto found = sources.find(std::atoi(text.c_str()));
        std::string cell;
        if (found != sources.end()) {
            cell = found->second.code;
            for (const auto& [column, code] : found->second.columns)
                cell += ' ' + Lower(table.FieldName(column)) + '=' + code;
        }
        field(cell, true);
    }
    return csv;
}

}  // namespace kelvo::tables
