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
    // A chart writes a field for each of its 55,000 values: seven-bit text, the same in
    // UTF-8, is not converted, and the signs that need quotes are not built anew.
    const bool ascii = std::all_of(ansi.begin(), ansi.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::string utf8 = ascii ? std::string() : platform::AnsiToUtf8(ansi);
    const std::string_view text = ascii ? ansi : std::string_view(utf8);
    const char special[] = {separator_, '"', '\r', '\n'};
    if (text.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
        out_ += text;
        return;
    }
    out_ += '"';
    for (const char c : text) {
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
