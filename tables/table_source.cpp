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
    bool quoted = false;  // some cell was in quotes: even an empty one makes the line a record
    bool firstQuoted = false;
};

// The reader takes a field's length byte as it is; beyond 127 other dBASE readers take it
// for a negative length.
constexpr int kMaxFieldLength = 127;
constexpr int kNumberLength = 3;  // feature numbers 1 to 999
constexpr int kValueLength = 8;
constexpr int kValueDecimals = 1;
constexpr const char* kSourceColumn = "source";

// Splits CSV text into rows: fields separated by commas, optionally quoted with '"'
// ("" inside quotes is one quote); LF, CR LF and CR alone (old Mac files) end a line, and a
// UTF-8 byte-order mark is accepted so a source saved by a spreadsheet still reads. Blank
// lines are skipped.
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
        row = {};
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
                if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
                field += c;
            }
            continue;
        }
        if (!fieldStarted && row.cells.empty()) rowLine = line;
        if (c == '"' && field.empty()) {
            quoted = true;
            fieldStarted = true;
            row.quoted = true;
            if (row.cells.empty()) row.firstQuoted = true;
        } else if (c == ',') {
            row.cells.push_back(field);
            field.clear();
            fieldStarted = true;
        } else if (c == '\n') {
            endRow();
            ++line;
        } else if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') continue;
            endRow();
            ++line;
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

// A comment, or what a spreadsheet writes for an empty line (only commas). A comment is a
// line whose first cell starts with '#': unquoted, or quoted (a spreadsheet quotes a comment
// holding a comma) with every other cell empty. A quoted '#' name with a number is a record.
bool Skipped(const Row& row) {
    const auto empty = [](const std::string& c) { return Trimmed(c).empty(); };
    if (!row.cells.empty() && Trimmed(row.cells[0]).starts_with('#') &&
        (!row.firstQuoted || std::all_of(row.cells.begin() + 1, row.cells.end(), empty)))
        return true;
    return !row.quoted && std::all_of(row.cells.begin(), row.cells.end(), empty);
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
    // Exact or refused: a digit beyond the one decimal the field holds must be a zero, so
    // that "3.3000001" is not silently stored as 3.3.
    const auto point = trimmed.find('.');
    if (point != std::string::npos && point + 2 < trimmed.size() &&
        trimmed.find_first_not_of('0', point + 2) != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (*end != '\0' || errno != 0) return false;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", kValueDecimals, value);
    text = buffer;
    // The increment cells show the stored text; "-0" would appear there as "-0.0".
    if (text == "-0.0") text = "0.0";
    if (text.size() <= static_cast<std::size_t>(kValueLength)) return true;
    text.clear();
    return false;
}

bool FeatureNumber(const std::string& cell, int& number) {
    const std::string trimmed = Trimmed(cell);
    if (trimmed.empty() || trimmed.size() > static_cast<std::size_t>(kNumberLength) ||
        trimmed.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::atoi(trimmed.c_str());
    return number > 0;
}

// A name the table can hold and every list, window and dump shows as written: signs of code
// page 866 that 1251 has too (866's box drawing and √ ∙ ■ would come back as '?'), and no
// control character (a NUL ends the field early, an escape reaches a terminal).
bool OemName(const std::string& utf8, std::string& oem) {
    if (std::any_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return false;
    oem = platform::Utf8ToOem(utf8);
    return platform::AnsiToUtf8(platform::OemToAnsi(oem)) == utf8;
}

}  // namespace

std::string ShownCell(std::string_view cell) {
    constexpr std::size_t kShown = 60;
    std::string shown;
    std::size_t signs = 0, total = 0;
    for (std::size_t i = 0; i < cell.size(); ++total) {
        const auto c = static_cast<unsigned char>(cell[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        // A broken sequence (a control byte inside it, a lead byte alone) is one sign, shown
        // by its code, so that the message stays UTF-8 and lets no control byte through.
        for (std::size_t k = 1; k < length; ++k)
            if (i + k >= cell.size() || (static_cast<unsigned char>(cell[i + k]) >> 6) != 0x2) length = 0;
        const bool broken = length == 0;
        if (broken) length = 1;
        if (signs < kShown) {
            if (c < 0x20 || c == 0x7F || broken) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02X", c);
                shown += code;
            } else {
                shown.append(cell.substr(i, length));
            }
            ++signs;
        }
        i += length;
    }
    if (total > kShown) shown += "… (" + std::to_string(total) + " знаков)";
    return "«" + shown + "»";
}

namespace {

std::string Quoted(const std::string& text) { return ShownCell(text); }

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
        faults.push_back({row.line, 1, Quoted(name),
                          "название из знаков кодовой страницы 866 (кириллица DOS), которые есть и в 1251, "
                          "без управляющих знаков"});
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
    // UTF-16 and UTF-32 hold a zero byte in every Latin sign: its lines would be nonsense.
    if (csv.starts_with("\xFF\xFE") || csv.starts_with("\xFE\xFF") || csv.starts_with(std::string_view("\0\0\xFE\xFF", 4)) ||
        csv.find('\0') != std::string::npos) {
        const bool wide = csv.starts_with("\xFF\xFE") || csv.starts_with("\xFE\xFF") ||
                          std::count(csv.begin(), csv.end(), '\0') * 4 >= static_cast<std::ptrdiff_t>(csv.size());
        faults.push_back({0, 0, wide ? "файл в UTF-16 или UTF-32" : "нулевой байт в тексте", "текст в UTF-8: сохраните файл как UTF-8"});
        return;
    }
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
        if (index < source.header.size() && !Trimmed(source.header[index]).empty()) {
            const std::string name = Trimmed(source.header[index]);
            const std::string shown = ShownCell(name);
            // A name that shows otherwise than written is quoted as a cell is.
            message += " (" + (shown == "«" + name + "»" ? name : shown) + ")";
        }
        message += ": ";
    }
    return message + "найдено " + fault.found + ", ожидалось " + fault.expected;
}

std::string BuildTableSourceCsv(const FeatureTable& table, const FeatureSources& sources) {
    std::string csv;
    // Quoted too: a cell starting with '#' (unquoted, a comment) and an empty name (a line
    // of empty cells is skipped), so that the source reads back as every record.
    const auto field = [&csv](const std::string& text, bool last, bool first = false) {
        if (text.find_first_of(",\"\r\n") == std::string::npos && !Trimmed(text).starts_with('#') &&
            !(first && text.empty())) {
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
            field(cell, c + 1 == columns && !withSources, c == 0);
        }
        if (!withSources) continue;
        table.ReadField(r, 1, text);
        const auto found = sources.find(std::atoi(text.c_str()));
        std::string cell;
        if (found != sources.end()) {
            cell = found->second.code;
            // Only the value columns can have sources of their own: a side file naming the
            // name, the number or a column the table lacks would give a source make refuses.
            for (const auto& [column, code] : found->second.columns)
                if (column >= 2 && column < columns) cell += ' ' + Lower(table.FieldName(column)) + '=' + code;
        }
        field(cell, true);
    }
    return csv;
}

}  // namespace kelvo::tables
