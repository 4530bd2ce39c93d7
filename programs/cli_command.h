#pragma once
// kelvo-cli's commands and what they share: the options as parsed, the figure chosen in the
// headless window as a user would choose it, and the checked ways out (stdout, a file, the
// exit code). Each command lives in a file of its own:
//   cli_options.cpp         the option parser and the usage text
//   cli_list.cpp            the figure's list, and table.txt (--export)
//   cli_measurement_files.cpp  --format vit|vst|json
//   cli_charts.cpp          --chart and the ranges --heights, --chests, --thirds
//   cli_pages.cpp           --pdf, --chart-pages
//   cli_nearest.cpp         --nearest
//   cli_survey.cpp          --survey
//   cli_table_tools.cpp     --make-table, --dump-table
// kelvo_cli.cpp's main runs the one the options name.

#include <optional>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "figures/group_registry.h"
#include "figures/size_chart_walk.h"
#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "results/list_text.h"
#include "results/measurement_files.h"
#include "results/size_chart.h"

namespace kelvo::cli {

using platform::AnsiToUtf8;
using platform::Utf8ToAnsi;
using platform::headless::HeadlessWindow;

struct Options {
    std::optional<std::string> data, group, age, height, chest, waist, hip, chart, chartFormat, output;
    std::optional<std::string> pdf, heights, chests, thirds, measurements;
    std::optional<std::string> survey, assign, sizes, columns, units;
    bool chartPages = false;
    std::string format;
    std::vector<std::string> features;  // --feature, each "N=V"
    bool exportTable = false;
    bool sources = false;
    bool nearest = false, select = false;
    bool help = false, version = false;
};

// The usage text, and every way to name a group ("0-4, Ясельная nursery, ...").
std::string Usage();
std::string GroupNames();
// Parses "--name value" and "--name=value"; false with a message for anything else.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

// The message on stderr after "kelvo-cli: "; the exit code given.
int Fail(int code, const std::string& message);
// The message and the usage; exit code 2.
int UsageError(const std::string& message);
// Writes `text` to stdout, checked; 0, or 1 when it could not be written.
int Emit(const std::string& text);

std::string AnsiLower(std::string text);
std::optional<int> EntryIndex(const std::string& value, const std::vector<std::string>& captions);
const figures::GroupEntry* FindGroupNamed(const std::string& value);
std::string Offered(const std::vector<std::string>& entries);
std::string TablePath(const std::string& dataDirectory, const figures::GroupEntry& group);
bool OptionsApply(const Options& options, const figures::GroupEntry& group, std::string& error);
bool ChooseFigure(HeadlessWindow& window, const Options& options, std::string& error);
results::ListFormat FormatNamed(const std::string& format);
results::ListFormat OutputFormat(const Options& options);
bool CommandLinePath(const std::string& file, std::string& path);
int UnusablePath(const std::string& file);
// Writes an output file as a whole or not at all; a pipe or device (--output /dev/stdout)
// written in place. False with the message (Windows-1251) as WriteWholeFile's.
bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& message);

// The commands; each returns the exit code.
int PrintList(HeadlessWindow& window, const app::FigureDialog& dialog, const Options& options);
int WriteMeasurements(const app::FigureDialog& dialog, results::MeasurementFormat format,
                      const std::optional<std::string>& output);
bool ReadRange(const Options& options, const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               figures::FigureRange& range, std::string& error);
int BuildChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, results::SizeChart& chart);
int WriteChart(const std::string& dataDirectory, const figures::GroupEntry& group, int age,
               const figures::FigureRange& range, const std::string& file, results::CsvDialect dialect, bool withSources);
int WritePages(HeadlessWindow& window, const app::FigureDialog& dialog, const figures::GroupEntry& group,
               const Options& options);
int RunNearest(HeadlessWindow& window, const app::FigureDialog& dialog, const figures::GroupEntry& group,
               const Options& options);
int RunSurvey(HeadlessWindow& window, const app::FigureDialog& dialog, const figures::GroupEntry& group,
              const Options& options);
// --make-table and --dump-table, which take their arguments by position; none for others.
std::optional<int> RunTableTool(int argc, char** argv);

}  // namespace kelvo::cli
