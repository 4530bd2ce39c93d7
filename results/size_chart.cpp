#include "results/size_chart.h"

#include <string_view>

#include "platform/ansi_text.h"
#include "results/column_captions.h"
#include "results/csv_writer.h"
#include "results/export.h"

namespace kelvo::results {
namespace {

constexpr platform::AnsiText kSource(u8"Источник");

// A text that starts like a formula would be evaluated by the spreadsheet that opens the
// file; the apostrophe keeps it text. Only the table's texts can start so: the values are
// numbers, and a negative one must stay a number.
std::string AsText(std::string_view text) {
    std::string cell(Unpadded(text));
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos)
        cell.insert(0, 1, '\'');
    return cell;
}

}  // namespace

SizeChart SelectFigures(const SizeChart& chart, const std::vector<bool>& keep) {
    SizeChart kept{{}, chart.numbers, chart.names, std::vector<std::vector<std::string>>(chart.values.size()), {}};
    for (std::size_t f = 0; f < chart.headings.size() && f < keep.size(); ++f) {
        if (!keep[f]) continue;
        kept.headings.push_back(chart.headings[f]);
        for (std::size_t row = 0; row < chart.values.size(); ++row)
            kept.values[row].push_back(f < chart.values[row].size() ? chart.values[row][f] : std::string());
    }
    return kept;
}

std::string BuildSizeChartCsv(const SizeChart& chart, CsvDialect dialect) {
    std::string csv = "\xEF\xBB\xBF";  // without it Excel reads the file in the ANSI code page
    CsvWriter line(csv, dialect);
    line.Field(kNumberCaption);
    line.Field(kNameCaption);
    const bool withSources = !chart.sources.empty();
    if (withSources) line.Field(kSource);
    for (const std::string& heading : chart.headings) line.Field(heading);
    line.EndLine();
    for (std::size_t row = 0; row < chart.numbers.size(); ++row) {
        line.Field(AsText(chart.numbers[row]));
        line.Field(AsText(row < chart.names.size() ? chart.names[row] : std::string()));
        if (withSources) line.Field(AsText(row < chart.sources.size() ? chart.sources[row] : std::string()));
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
