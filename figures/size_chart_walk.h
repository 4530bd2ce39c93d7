#pragma once
// Every figure a group's lists offer, each chosen as a user chooses it in the window and
// computed by the group's own steps, on lists of its own: the window is left as it was.

#include <functional>
#include <string>

#include "figures/figure_group.h"
#include "results/size_chart.h"

namespace kelvo::figures {

// Told before each height is walked and once at the end: heights done, heights in all.
using ChartProgress = std::function<void(int done, int total)>;

// Fills `chart` with every figure of `group` (girls and boys: of age group `age`) from the
// group's table under `dataDirectory`, in the order of the height, chest and third lists.
// False when the table cannot be opened or a figure cannot be computed.
bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, results::SizeChart& chart,
                    const ChartProgress& progress = {});

}  // namespace kelvo::figures
