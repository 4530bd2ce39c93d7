#pragma once
// The five groups as the benchmarks drive them: the window opened on a data directory, the
// group's compute step, and the fields that step reads at the window's first selection.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "bench/table_files.h"
#include "platform/headless/headless_window.h"

namespace kelvo::bench {

struct GroupRun {
    const char* name;
    int group;         // index in the group list
    const char* file;  // under <data directory>/BD
    // The handler of a list change whose step is the group's compute step.
    void (app::FigureDialog::*compute)();
    // At the first entry of every list: the columns read in the records of features 1 and
    // 16 (the base figure), and those read in every record, in the step's order.
    std::vector<int> baseColumns;
    std::vector<int> recordColumns;
};

inline const std::array<GroupRun, 5>& GroupRuns() {
    static const std::array<GroupRun, 5> runs{{
        {"nursery", 0, "yasly.dbf", &app::FigureDialog::OnChestChange, {4}, {1, 0, 2, 3, 4}},
        // Preschool: its waist increment column is its base column, read twice.
        {"girls", 1, "girls.dbf", &app::FigureDialog::OnHeightChange, {4}, {1, 0, 2, 3, 4, 4}},
        {"boys", 2, "boys.dbf", &app::FigureDialog::OnHeightChange, {4}, {1, 0, 2, 3, 4, 4}},
        // The first hip girth lies below band 0's base positions: two base figures.
        {"women", 3, "female.dbf", &app::FigureDialog::OnHeightChange, {6, 7}, {1, 0, 2, 3, 6, 7}},
        {"men", 4, "male.dbf", &app::FigureDialog::OnHeightChange, {5}, {1, 0, 2, 3, 5}},
    }};
    return runs;
}

// "kind/group": a benchmark's name. Built by appending, as GCC 12 warns falsely
// (-Wrestrict) on a chain of operator+ here.
inline std::string Name(const char* kind, const GroupRun& run) {
    std::string name = kind;
    name += '/';
    name += run.name;
    return name;
}

// The window on the headless front end, opened on `group` with its first figure computed.
// `dataDirectory` is in the ANSI code page, as the registry would hold it.
class HeadlessFigure {
public:
    HeadlessFigure(int group, const std::string& dataDirectory) {
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dataDirectory);
        window = std::make_unique<platform::headless::HeadlessWindow>(dialog);
    }

    app::FigureDialog dialog;
    std::unique_ptr<platform::headless::HeadlessWindow> window;  // closes before the dialog goes
};

// The fields the group's compute step reads, in its order, as offsets into the table.
inline std::vector<FieldRead> ComputeReads(const GroupRun& run, const TableLayout& layout,
                                           const figures::KeyFeatureRows& keys) {
    std::vector<FieldRead> reads;
    const auto add = [&](std::int32_t record, int column) {
        reads.push_back({layout.FieldOffset(record, column),
                         layout.fields[static_cast<std::size_t>(column)].length});
    };
    for (const int column : run.baseColumns) {
        add(keys[0], column);
        add(keys[1], column);
    }
    for (std::int32_t r = 0; r < layout.recordCount; ++r)
        for (const int column : run.recordColumns) add(r, column);
    return reads;
}

}  // namespace kelvo::bench
