#pragma once
// Every figure a group's lists offer, each chosen as a user chooses it in the window and
// computed by the group's own steps, on lists of its own: the window is left as it was.

#include <functional>
#include <string>

#include "figures/figure_group.h"
#include "results/result_table.h"
#include "results/size_chart.h"

namespace kelvo::figures {

// Told before each height is walked and once at the end: heights done, heights in all.
using ChartProgress = std::function<void(int done, int total)>;

// One figure of the walk: the entries chosen in the height, chest and third lists (the
// third index -1 and its text empty where the group has no third list), and the rows the
// group's compute step made for it.
struct WalkedFigure {
    int heightIndex, chestIndex, thirdIndex;
    std::string height, chest, third;
    const results::ResultTable& rows;
};

// Told of each figure in list order; false ends the walk as a failure.
using FigureVisitor = std::function<bool(const WalkedFigure&)>;

// Chooses every figure of `group` (girls and boys: of age group `age`) in the order of the
// height, chest and third lists and hands each to `visit`. False when the table cannot be
// opened, a figure cannot be computed, or `visit` says so.
bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureVisitor& visit,
                 const ChartProgress& progress = {});

// Fills `chart` with every figure of `group` (girls and boys: of age group `age`) from the
// group's table under `dataDirectory`, in the order of the height, chest and third lists.
// False when the table cannot be opened or a figure cannot be computed.
bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, results::SizeChart& chart,
                    const ChartProgress& progress = {});

}  // namespace kelvo::figures
