#pragma once
// Every figure a group's lists offer, each chosen as a user chooses it in the window and
// computed by the group's own steps, on lists of its own: the window is left as it was.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Entries of one list from–to by their values in cm, both ends included.
struct ListSpan {
    double from, to;
};

// "158-176", or one entry "164": the lists' own numbers (decimal whole numbers, blanks
// around each alike); false for anything else, signs, fractions and exponents included.
bool ParseListSpan(std::string_view text, ListSpan& span);

// A part of a chart: the figures whose height, chest and third entries fall in the spans
// set; an unset span takes the whole list.
struct FigureRange {
    std::optional<ListSpan> heights, chests, thirds;
    bool IsWhole() const { return !heights && !chests && !thirds; }
};

// The figures a group's lists offer, without their rows: each height's chest entries and
// each chest's third entries (none where the group has no third list), as values in cm.
struct FigureLists {
    struct Chest {
        double value;
        std::vector<double> thirds;
    };
    struct Height {
        double value;
        std::vector<Chest> chests;
    };
    std::vector<Height> heights;
    bool hasThirdList = false;

    // Every value one list offers under any entry of the lists before it, ascending.
    std::vector<double> Heights() const;
    std::vector<double> Chests() const;
    std::vector<double> Thirds() const;
    // Whether each figure, in the order of the lists (the order a chart's columns take),
    // lies within `range`.
    std::vector<bool> Within(const FigureRange& range) const;
    // How many figures `range` holds.
    int Count(const FigureRange& range) const;
};

// Fills `lists` by choosing each height and chest of `group` (girls and boys: of age group
// `age`) as a user does; false when the table cannot be opened or an entry is not a number.
bool ListFigures(const std::string& dataDirectory, FigureGroup group, int age, FigureLists& lists);

// A list's value as ranges show it: "158", "50.5".
std::string ValueText(double value);

// Why `range` cannot be charted, for the user (Windows-1251): a bound that no entry of its
// list has, a span from a larger value to a smaller one, or no figure at all in the range.
// Empty when it can.
std::string RangeFault(const FigureLists& lists, const FigureRange& range);

// The range for a page's heading (Windows-1251): "T1 158-176, T16 88-100, T19 92-104", the
// spans set only; "все типовые фигуры группы" for the whole chart. `third` names the third list.
std::string RangeText(const FigureRange& range, std::string_view third);

// Whether an entry's text is a value within `span` (always, without a span).
bool InSpan(const std::optional<ListSpan>& span, const std::string& entry);

// Chooses every figure of `group` (girls and boys: of age group `age`) in the order of the
// height, chest and third lists and hands each to `visit`. False when the table cannot be
// opened, a figure cannot be computed, or `visit` says so.
bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureVisitor& visit,
                 const ChartProgress& progress = {});
// The same, over the figures within `range` only.
bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureRange& range,
                 const FigureVisitor& visit, const ChartProgress& progress = {});

// Fills `chart` with every figure of `group` (girls and boys: of age group `age`) from the
// group's table under `dataDirectory`, in the order of the height, chest and third lists.
// False when the table cannot be opened or a figure cannot be computed.
bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, results::SizeChart& chart,
                    const ChartProgress& progress = {});
// The same, with the figures within `range` only; false also when it holds none.
bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, const FigureRange& range,
                    results::SizeChart& chart, const ChartProgress& progress = {});

}  // namespace kelvo::figures
