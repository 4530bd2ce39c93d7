// kelvo-cli: the window's logic without a window. It acts as a user at the window (chooses
// the group, age group, height, chest and waist or hip girth, presses the export button)
// on the headless front end and prints the result list as the window shows it. With --chart
// it writes the group's size chart instead: every figure the lists offer, as CSV. With
// --make-table it turns a designer's CSV into a feature table, checked against the group's
// grid, and with --dump-table it writes a table back as such a CSV. With --nearest it takes
// the options as a person's measurements and prints the typical figures nearest to them, or
// with --select the list of the nearest one. With --pdf it writes the figure's measurement
// sheet, or with --chart-pages the size chart, on A4 pages as PDF; --heights, --chests and
// --thirds limit a chart to a range.
//
// main reads the options, chooses the figure in the window and prints: each step is a
// function of its own, and every byte written to stdout is checked.

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

// Opens the window on the chosen group and figure and does what the options ask.
int Run(const Options& options) {
    const figures::GroupEntry* group = &figures::Group(figures::kDefaultGroup);
    if (options.group && !(group = FindGroupNamed(*options.group)))
        return Fail(2, "в списке «Группа» нет «" + *options.group + "»; есть: " + GroupNames());
    std::string error;
    if (!OptionsApply(options, *group, error)) return UsageError(error);

    kelvo::app::FigureDialog dialog;
    if (options.data) {
        std::string path;
        if (!kelvo::platform::PathFromUtf8(*options.data, path))
            return Fail(2, "папку «" + *options.data + "» не передать: в её имени знаки вне Windows-1251");
        dialog.SetDataDirectory(path);
    }
    dialog.SetInitialGroup(static_cast<int>(group->group));
    HeadlessWindow window(dialog);
    if (!dialog.Table().IsOpen()) {
        const std::string table = TablePath(dialog.DataDirectory(), *group);
        if (dialog.Table().Failure() == tables::OpenFailure::TooLarge)
            return Fail(1, "таблица признаков " + table + " слишком велика: в ней больше " +
                               std::to_string(tables::FeatureTable::kMaxRecords) + " записей");
        return Fail(1, "не удалось открыть таблицу признаков " + table);
    }
    if (!dialog.SourcesProblem().empty())
        std::fprintf(stderr, "kelvo-cli: %s\n", AnsiToUtf8(dialog.SourcesProblem()).c_str());
    if (options.nearest) return RunNearest(window, dialog, *group, options);
    if (options.survey) return RunSurvey(window, dialog, *group, options);
    if (!ChooseFigure(window, options, error)) return Fail(2, error);

    if (options.pdf) return WritePages(window, dialog, *group, options);
    if (options.chart) {
        const auto dialect =
            options.chartFormat == "rfc4180" ? results::CsvDialect::Rfc4180 : results::CsvDialect::Spreadsheet;
        const int age = window.Selection(res::kIdAgeList);
        figures::FigureRange range;
        if (!ReadRange(options, dialog.DataDirectory(), *group, age, range, error)) return Fail(2, error);
        return WriteChart(dialog.DataDirectory(), *group, age, range, *options.chart, dialect, options.sources);
    }
    return PrintList(window, dialog, options);
}

// A table within the record limit may still hold more text than a small address space
// takes: end with a message and a failure, not with an abort.
void OutOfMemory() {
    static constexpr char kMessage[] = "kelvo-cli: недостаточно памяти\n";
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    ::_exit(1);
}

}  // namespace kelvo::cli

int main(int argc, char** argv) {
    using namespace kelvo::cli;
    std::set_new_handler(OutOfMemory);
    if (const auto code = RunTableTool(argc, argv)) return *code;
    Options options;
    std::string error;
    const bool parsed = ParseOptions(argc, argv, options, error);
    if (options.help) return Emit(Usage());
    if (options.version) {
        char text[64];
        std::snprintf(text, sizeof text, "kelvo-cli %d.%d.%d.%d\n", kelvo::res::kVersion[0], kelvo::res::kVersion[1],
                      kelvo::res::kVersion[2], kelvo::res::kVersion[3]);
        return Emit(text);
    }
    if (!parsed) return UsageError(error);
    return Run(options);
}
