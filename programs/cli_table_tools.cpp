// --make-table and --dump-table: a designer's CSV to a feature table and back.
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
namespace {

// The files read must survive the run: refused when a file written is one of them under
// any name (a link, a hard link), before anything is written. A table's side file goes with it.
std::optional<int> RefuseOverlap(const std::vector<std::string>& read, const std::vector<std::string>& written) {
    for (const std::string& in : read)
        for (const std::string& out : written)
            if (kelvo::platform::SameFile(in, out))
                return UsageError("«" + AnsiToUtf8(kelvo::platform::PathText(in)) +
                                  "» эта команда читает: записать в него нельзя, выберите другое имя");
    return std::nullopt;
}

std::string SideOf(const std::string& tablePath) {
    std::string resolved;
    return kelvo::tables::SidePath(kelvo::platform::ResolvedPath(tablePath, resolved) ? resolved : tablePath);
}

}  // namespace

// kelvo-cli --make-table GROUP SOURCE.csv TABLE.dbf: the designer's CSV checked and turned
// into the group's table, with the side file of its sources when the CSV has a source
// column. A refused source writes nothing and every fault is named.
int MakeTable(const std::string& groupName, const std::string& sourceFile, const std::string& tableFile) {
    const figures::GroupEntry* group = FindGroupNamed(groupName);
    if (!group) return UsageError("группы «" + groupName + "» нет; есть: " + GroupNames());
    std::string sourcePath, tablePath, csv;
    if (!CommandLinePath(sourceFile, sourcePath)) return UnusablePath(sourceFile);
    if (!CommandLinePath(tableFile, tablePath)) return UnusablePath(tableFile);
    if (const auto refused = RefuseOverlap({sourcePath}, {tablePath, SideOf(tablePath)})) return *refused;
    if (!kelvo::platform::ReadWholeFile(sourcePath, csv, true)) return Fail(1, "не удалось прочитать " + sourceFile);

    kelvo::tables::TableSource source;
    std::vector<kelvo::tables::TableFault> faults;
    kelvo::tables::ReadTableSource(csv, figures::TableColumns(group->group), source, faults);
    if (!source.contents.fields.empty()) figures::CheckTable(group->group, source, faults);
    if (!faults.empty()) {
        std::stable_sort(faults.begin(), faults.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
        std::string text;
        for (const auto& fault : faults) text += kelvo::tables::FaultMessage(sourceFile, source, fault) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return Fail(1, "таблица не записана, ошибок в " + sourceFile + ": " + std::to_string(faults.size()));
    }
    // A side file left from an earlier table would give this one's values its sources: with
    // no source column the table goes without one.
    std::string message;
    const std::string side = kelvo::tables::BuildSideFile(source.sources);
    if (!results::WriteTableWithSide(tablePath, kelvo::tables::BuildTable(source.contents),
                                     source.hasSources ? &side : nullptr, message))
        return Fail(1, AnsiToUtf8(message));
    return 0;
}

// kelvo-cli --dump-table TABLE.dbf SOURCE.csv: any table in the layout --make-table reads.
int DumpTable(const std::string& tableFile, const std::string& sourceFile) {
    std::string tablePath, sourcePath;
    if (!CommandLinePath(tableFile, tablePath)) return UnusablePath(tableFile);
    if (!CommandLinePath(sourceFile, sourcePath)) return UnusablePath(sourceFile);
    if (const auto refused = RefuseOverlap({tablePath, SideOf(tablePath)}, {sourcePath})) return *refused;
    kelvo::tables::FeatureTable table;
    if (!table.Open(tablePath) || table.ColumnCount() < 2)
        return Fail(1, "не удалось открыть таблицу признаков " + tableFile);
    kelvo::tables::TableSources sources;
    kelvo::tables::ReadTableSources(tablePath, sources);
    if (!sources.problem.empty()) std::fprintf(stderr, "kelvo-cli: %s\n", AnsiToUtf8(sources.problem).c_str());
    std::string message;
    if (!WriteOutputFile(sourcePath, kelvo::tables::BuildTableSourceCsv(table, sources.features), message))
        return Fail(1, AnsiToUtf8(message));
    return 0;
}

// The table tools take their arguments by position; nothing else goes with them.
std::optional<int> RunTableTool(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const std::string tool = argv[1];
    if (tool == "--make-table") {
        if (argc != 5) return UsageError("--make-table: нужны группа, исходник CSV и таблица");
        return MakeTable(argv[2], argv[3], argv[4]);
    }
    if (tool == "--dump-table") {
        if (argc != 4) return UsageError("--dump-table: нужны таблица и файл CSV");
        return DumpTable(argv[2], argv[3]);
    }
    return std::nullopt;
}

}  // namespace kelvo::cli
