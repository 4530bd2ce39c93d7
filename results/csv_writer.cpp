#include "results/csv_writer.h"

#include <algorithm>

#include "platform/codepage.h"

namespace kelvo::results {

std::string_view Unpadded(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

CsvWriter::CsvWriter(std::string& out, CsvDialect dialect)
    : out_(out), separator_(dialect == CsvDialect::Spreadsheet ? ';' : ','),
      decimalMark_(dialect == CsvDialect::Spreadsheet ? ',' : '.') {}

void CsvWriter::Field(std::string_view ansi) {
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

void CsvWriter::Value(std::string value) {
    std::replace(value.begin(), value.end(), '.', decimalMark_);
    Field(value);
}

void CsvWriter::EndLine() {
    out_ += "\r\n";
    lineStarted_ = false;
}

}  // namespace kelvo::results
