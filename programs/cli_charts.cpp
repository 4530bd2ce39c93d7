// --chart: the group's size chart as CSV, within the ranges --heights, --chests, --thirds.
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

// "158-176" or a single "164" as a span; false when the text is neither.
// The range the options ask for, checked against what the group's lists offer; false with
// a message naming the option or the bound.
bool ReadRange(const Options& options, const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               figures::FigureRange& range, std::string& error) {
    const auto read = [&](const char* name, const std::optional<std::string>& text, std::optional<figures::ListSpan>& into) {
        if (!text) return true;
        figures::ListSpan span{};
        if (!figures::ParseListSpan(*text, span)) return error = std::string(name) + ": не диапазон «" + *text + "» (нужно от-до, например 158-176)", false;
        into = span;
        return true;
    };
    if (!read("--heights", options.heights, range.heights) || !read("--chests", options.chests, range.chests) ||
        !read("--thirds", options.thirds, range.thirds))
        return false;
    if (range.IsWhole()) return true;
    figures::FigureLists lists;
    if (!figures::ListFigures(dataDirectory, group.group, age, lists))
        return error = "не удалось прочитать списки из " + TablePath(dataDirectory, group), false;
    const std::string fault = figures::RangeFault(lists, range);
    if (fault.empty()) return true;
    return error = AnsiToUtf8(fault), false;
}

// The size chart of `group` (girls and boys: of age group `age`) within `range`; the exit
// code, 0 when `chart` holds it.
int BuildChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, results::SizeChart& chart) {
    const bool showProgress = ::isatty(STDERR_FILENO);
    const bool built = figures::BuildSizeChart(dataDirectory, group.group, age, range, chart, [&](int done, int total) {
        if (!showProgress) return;
        std::fprintf(stderr, "\rkelvo-cli: таблица размеров, рост %d из %d", done, total);
        if (done == total) std::fputc('\n', stderr);
    });
    return built ? 0 : Fail(1, "не удалось составить таблицу размеров из " + TablePath(dataDirectory, group));
}

// Writes the size chart to `file`, given in UTF-8; the exit code. Without `withSources` the
// chart has no source column.
int WriteChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, const std::string& file, results::CsvDialect dialect, bool withSources) {
    std::string path;
    if (!CommandLinePath(file, path)) return UnusablePath(file);
    results::SizeChart chart;
    if (const int code = BuildChart(dataDirectory, group, age, range, chart)) return code;
    if (!withSources) chart.sources.clear();
    std::string message;
    if (!results::WriteSizeChart(path, chart, dialect, message)) return Fail(1, AnsiToUtf8(message));
    return 0;
}

}  // namespace kelvo::cli
