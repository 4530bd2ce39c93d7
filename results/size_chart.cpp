#include "results/size_chart.h"

#include <algorithm>
#include <string_view>

#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "results/export.h"

namespace kelvo::results {
namespace {

constexpr platform::AnsiText kNumber(u8"Номер");
constexpr platform::AnsiText kName(u8"Наименование размерного признака");

// dBASE pads every field to its width, the numbers with leading blanks and the names with
// trailing ones; in a spreadsheet the blanks would stay part of the text.
std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A text that starts like a formula would be evaluated by the spreadsheet that opens the
// file; the apostrophe keeps it text. Only the table's texts can start so: the values are
// numbers, and a negative one must stay a number.
std::string AsText(std::string_view text) {
    std::string cell(Trimmed(text));
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos)
        cell.insert(0, 1, '\'');
    return cell;
}

class CsvWriter {
public:
    CsvWriter(std::string& out, CsvDialect dialect)
        : out_(out), separator_(dialect == CsvDialect::Spreadsheet ? ';' : ','),
          decimalMark_(dialect == CsvDialect::Spreadsheet ? ',' : '.') {}

    // One field, Windows-1251, quoted when it holds the separator, a quote or a line break.
    void Field(std::string_view ansi) {
        if (lineStarted_) out_ += separator_;
        lineStarted_ = true;
        const std::string utf8 = platform::AnsiToUtf8(ansi);
        if (utf8.find_first_of(std::string{separator_, '"', '\r', '\n'}) == std::string::npos) {
            out_ += utf8;
            return;
        }
        out_ += '"';
        for (const char c : utf8) {
            if (c == '"') out_ += '"';
            out_ += c;
        }
        out_ += '"';
    }
    void Value(std::string value) {
        std::replace(value.begin(), value.end(), '.', decimalMark_);
        Field(value);
    }
    void EndLine() {
        out_ += "\r\n";
        lineStarted_ = false;
    }

private:
    std::string& out_;
    const char separator_;
    const char decimalMark_;
    bool lineStarted_ = false;
};

}  // namespace

std::string BuildSizeChartCsv(const SizeChart& chart, CsvDialect dialect) {
    std::string csv = "\xEF\xBB\xBF";  // without it Excel reads the file in the ANSI code page
    CsvWriter line(csv, dialect);
    line.Field(kNumber);
    line.Field(kName);
    for (const std::string& heading : chart.headings) line.Field(heading);
    line.EndLine();
    for (std::size_t row = 0; row < chart.numbers.size(); ++row) {
        line.Field(AsText(chart.numbers[row]));
        line.Field(AsText(row < chart.names.size() ? chart.names[row] : std::string()));
        for (std::size_t figure = 0; figure < chart.headings.size(); ++figure) {
            const bool held = row < chart.values.size() && figure < chart.values[row].size();
            line.Value(held ? chart.values[row][figure] : std::string());
        }
        line.EndLine();
    }
    return csv;
}

bool WriteSizeChart(const std::string& path, const SizeChart& chart, CsvDialect dialect, std::string& message) {
    return WriteWholeFile(path, BuildSizeChartCsv(chart, dialect), message);
}

}  // namespace kelvo::results
