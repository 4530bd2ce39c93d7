#pragma once
// A size chart: every figure of a group side by side, one row per feature and one column
// per figure, and its CSV form for spreadsheets.

#include <string>
#include <vector>

#include "results/csv_writer.h"

namespace kelvo::results {

// Texts are Windows-1251, as the result list shows them.
struct SizeChart {
    std::vector<std::string> headings;             // one per figure: "134-64-60", "74-48"
    std::vector<std::string> numbers, names;       // one per feature, in record order
    std::vector<std::vector<std::string>> values;  // values[feature][figure]
    // One per feature, the sources of its values ("W, illustrative"); empty for a table
    // whose sources are not known, and then the CSV has no source column.
    std::vector<std::string> sources;
};

// The columns of `chart` whose flag in `keep` is set, in their order. The sources are left
// out: they name the values of every figure, not of those kept.
SizeChart SelectFigures(const SizeChart& chart, const std::vector<bool>& keep);

// The chart as CSV: UTF-8 with a byte-order mark, a heading line, CR LF after every line,
// fields quoted where RFC 4180 asks; the column "Источник" after the name when the chart
// holds sources.
std::string BuildSizeChartCsv(const SizeChart& chart, CsvDialect dialect);

// Writes the chart's CSV to `path` (Windows-1251) as a whole or not at all. False with a
// message for the user when nothing was written.
bool WriteSizeChart(const std::string& path, const SizeChart& chart, CsvDialect dialect, std::string& message);

}  // namespace kelvo::results
