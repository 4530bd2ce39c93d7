// The figure's list as the window shows it, with its sources, and table.txt with --export.
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <optional>
#include <charconv>
#include <set>
#include <string>
#include <vector>

#include "programs/cli_command.h"
#include "app/figure_dialog.h"
#include "figures/group_registry.h"
#include "figures/client_measurements.h"
#include "figures/nearest_figure.h"
#include "figures/size_chart_walk.h"
#include "figures/table_check.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/headless/headless_window.h"
#include "platform/page_canvas.h"
#include "programs/cli_pdf.h"
#include "res/resource.h"
#include "res/version.h"
#include "results/export.h"
#include "results/list_text.h"
#include "tables/feature_table.h"
#include "tables/table_source.h"
#include "results/measurement_files.h"
#include "results/match_text.h"
#include "results/print_pages.h"

namespace kelvo::cli {

// The result list as the window shows it: the column captions, then every item.
std::vector<std::vector<std::string>> ListLines(HeadlessWindow& window) {
    std::vector<std::vector<std::string>> lines;
    const auto& columns = window.List(res::kIdResultList).Columns();
    lines.emplace_back();
    for (const auto& column : columns) lines.back().push_back(column.caption);
    for (int item = 0; item < window.ItemCount(res::kIdResultList); ++item) {
        lines.emplace_back();
        for (std::size_t c = 0; c < columns.size(); ++c)
            lines.back().push_back(window.ItemText(res::kIdResultList, item, static_cast<int>(c)));
    }
    return lines;
}

constexpr kelvo::platform::AnsiText kSourceHeading(u8"Источник");

// The sources beside the list: with --sources a last column "Источник"; in a table for the
// terminal, where no script reads the columns, a mark on each illustrative row anyway. True
// when rows were marked.
bool AddSources(std::vector<std::vector<std::string>>& lines, const results::ResultTable& rows,
                results::ListFormat format, bool withSources) {
    bool illustrative = false;
    for (std::int32_t row = 0; row < rows.GetSize(); ++row) illustrative = illustrative || rows[row].illustrative;
    const bool marks = !withSources && format == results::ListFormat::Table && illustrative;
    if (!withSources && !marks) return false;
    lines[0].emplace_back(withSources ? kSourceHeading.view() : std::string_view());
    for (std::size_t item = 1; item < lines.size(); ++item) {
        const auto row = static_cast<std::int32_t>(item - 1);
        const bool held = row < rows.GetSize();
        if (withSources) lines[item].push_back(held ? rows[row].source : std::string());
        else lines[item].emplace_back(held && rows[row].illustrative ? "*" : "");
    }
    return marks;
}

// Presses the export button where asked and prints the result list, or writes the figure's
// measurement file, to stdout or --output; the exit code.
int PrintList(HeadlessWindow& window, const kelvo::app::FigureDialog& dialog, const Options& options) {
    if (options.exportTable) {
        window.Press(res::kIdWriteTable);
        if (!window.messages.empty()) return Fail(1, AnsiToUtf8(window.messages.back()));
    }
    if (options.format == "vit") return WriteMeasurements(dialog, results::MeasurementFormat::Vit, options.output);
    if (options.format == "vst") return WriteMeasurements(dialog, results::MeasurementFormat::Vst, options.output);
    if (options.format == "json") return WriteMeasurements(dialog, results::MeasurementFormat::Json, options.output);
    const results::ListFormat format = OutputFormat(options);
    auto lines = ListLines(window);
    const bool marked = AddSources(lines, dialog.Results(), format, options.sources);
    const std::string list = results::FormatList(lines, format) +
                             (marked ? "* иллюстративное значение: выведено для правдоподобия, ни из какого стандарта не взято\n" : "");
    if (!options.output) return Emit(list);
    std::string path, message;
    if (!CommandLinePath(*options.output, path)) return UnusablePath(*options.output);
    return WriteOutputFile(path, list, message) ? 0 : Fail(1, AnsiToUtf8(message));
}

}  // namespace kelvo::cli
