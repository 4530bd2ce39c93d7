#include "results/list_text.h"

#include <algorithm>

#include "platform/codepage.h"
#include "results/csv_writer.h"

namespace kelvo::results {
namespace {

// A cell on one line: a tab, CR or LF inside it becomes a blank.
std::string Flat(std::string cell) {
    for (char& c : cell)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return cell;
}

// Characters a terminal shows for UTF-8 text: every byte that does not continue one.
std::size_t Width(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Csv(const std::vector<std::vector<std::string>>& lines) {
    std::string text;
    CsvWriter writer(text, CsvDialect::Rfc4180);
    for (const auto& line : lines) {
        for (const std::string& cell : line) writer.Field(Unpadded(cell));
        writer.EndLine();
    }
    return text;
}

std::string Tsv(const std::vector<std::vector<std::string>>& lines) {
    std::string text;
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < line.size(); ++c) {
            // Appended apart: GCC 12 at -O3 takes "\t" + string for an overlapping copy.
            if (c) text += '\t';
            text += platform::AnsiToUtf8(Flat(line[c]));
        }
        text += '\n';
    }
    return text;
}

std::string Table(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::vector<std::string>> cells;
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        cells.emplace_back();
        for (std::size_t c = 0; c < line.size(); ++c) {
            cells.back().push_back(platform::AnsiToUtf8(Flat(line[c])));
            if (widths.size() <= c) widths.resize(c + 1, 0);
            widths[c] = std::max(widths[c], Width(cells.back().back()));
        }
    }
    std::string text;
    for (const auto& line : cells) {
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size()) text += std::string(widths[c] - Width(line[c]) + 2, ' ');
        }
        text += '\n';
    }
    return text;
}

}  // namespace

std::string FormatList(const std::vector<std::vector<std::string>>& lines, ListFormat format) {
    switch (format) {
        case ListFormat::Tsv: return Tsv(lines);
        case ListFormat::Csv: return Csv(lines);
        case ListFormat::Table: return Table(lines);
    }
    return {};
}

}  // namespace kelvo::results
