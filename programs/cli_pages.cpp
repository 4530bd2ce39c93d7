// --pdf: the measurement sheet, or with --chart-pages the size chart, on A4 pages.
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

// Writes the pages `layOut` makes as PDF to `file`, given in UTF-8; the exit code.
int WritePdf(const std::string& file, const kelvo::platform::PageLayout& layOut) {
    std::string path;
    if (!CommandLinePath(file, path)) return UnusablePath(file);
    std::string bytes, message;
    if (!kelvo::programs::RenderPdf(layOut, bytes, message)) return Fail(1, message);
    if (!WriteOutputFile(path, bytes, message)) return Fail(1, AnsiToUtf8(message));
    return 0;
}

// --pdf: the figure shown as a measurement sheet, or with --chart-pages the group's chart
// within the range asked for; the exit code.
int WritePages(HeadlessWindow& window, const kelvo::app::FigureDialog& dialog, const figures::GroupEntry& group,
               const Options& options) {
    const std::string folder = kelvo::platform::PathText(dialog.DataDirectory());
    const std::string date = results::DateText(std::time(nullptr));
    if (!options.chartPages) {
        if (!dialog.IsComputed()) return Fail(1, "фигура не рассчитана: печатать нечего");
        const results::PrintHeading heading = results::SheetHeading(dialog.ShownFigure(), folder, date);
        return WritePdf(*options.pdf, [&](kelvo::platform::TextMeasure& measure) {
            return results::LayOutSheet(dialog.Results(), heading, measure);
        });
    }
    const int age = window.Selection(res::kIdAgeList);
    figures::FigureRange range;
    std::string error;
    if (!ReadRange(options, dialog.DataDirectory(), group, age, range, error)) return Fail(2, error);
    results::SizeChart chart;
    if (const int code = BuildChart(dialog.DataDirectory(), group, age, range, chart)) return code;
    const std::string third = group.hasThirdList ? std::string(figures::ThirdCaption(group.third)) : std::string();
    const results::PrintHeading heading =
        results::ChartHeading(group.caption, group.hasAgeGroups ? window.Entries(res::kIdAgeList).at(static_cast<std::size_t>(age)) : "",
                              figures::RangeText(range, third), folder, date);
    return WritePdf(*options.pdf, [&](kelvo::platform::TextMeasure& measure) {
        return results::LayOutChart(chart, heading, measure);
    });
}

}  // namespace kelvo::cli
