// The columns of a size chart: which figures, in which order, and the values the window
// shows for each of them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codepage.h"
#include "figure_dialog.h"
#include "fixture_tables.h"
#include "headless_window.h"
#include "resource.h"
#include "size_chart_walk.h"
#include "temp_dir.h"

namespace kelvo {
namespace {

using figures::FigureGroup;
using Headings = std::vector<std::string>;

class ChartFigures : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }
    results::SizeChart Build(FigureGroup group, int age = 0) {
        results::SizeChart chart;
        EXPECT_TRUE(figures::BuildSizeChart(dir.DataDirectory(), group, age, chart));
        return chart;
    }
    test::TempDir dir;
};

// "134-64-60" as the entries of the height, chest and third lists.
std::vector<std::string> Entries(const std::string& heading) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= heading.size();) {
        const std::size_t dash = std::min(heading.find('-', at), heading.size());
        parts.push_back(heading.substr(at, dash - at));
        at = dash + 1;
    }
    return parts;
}

TEST_F(ChartFigures, EachColumnHoldsWhatTheWindowShowsForItsFigure) {
    struct Case {
        FigureGroup group;
        int age;
        std::size_t figures;
    };
    for (const Case c : {Case{FigureGroup::Nursery, 0, 10}, Case{FigureGroup::Girls, 3, 4 * 5 * 2},
                         Case{FigureGroup::Boys, 1, 5 * 6 * 2}, Case{FigureGroup::Women, 0, 12 * 14 * 9},
                         Case{FigureGroup::Men, 0, 12 * 14 * 5}}) {
        SCOPED_TRACE(static_cast<int>(c.group));
        const results::SizeChart chart = Build(c.group, c.age);
        ASSERT_EQ(chart.headings.size(), c.figures);
        for (const std::size_t figure : {std::size_t{0}, c.figures / 2 + 1, c.figures - 1}) {
            app::FigureDialog dialog;
            dialog.SetInitialGroup(static_cast<int>(c.group));
            dialog.SetDataDirectory(dir.DataDirectory());
            platform::headless::HeadlessWindow window(dialog);
            if (c.group == FigureGroup::Girls || c.group == FigureGroup::Boys) {
                ASSERT_TRUE(window.Choose(res::kIdAgeList, c.age));
            }
            const int lists[] = {res::kIdHeightList, res::kIdChestList, res::kIdThirdList};
            const auto entries = Entries(chart.headings[figure]);
            for (std::size_t i = 0; i < entries.size(); ++i)
                ASSERT_TRUE(window.ChooseText(lists[i], entries[i])) << chart.headings[figure];
            ASSERT_EQ(static_cast<std::size_t>(window.ItemCount(res::kIdResultList)), chart.numbers.size());
            for (int row = 0; row < window.ItemCount(res::kIdResultList); ++row) {
                const auto r = static_cast<std::size_t>(row);
                EXPECT_EQ(window.ItemText(res::kIdResultList, row, 0), chart.numbers[r]);
                EXPECT_EQ(window.ItemText(res::kIdResultList, row, 1), chart.names[r]);
                EXPECT_EQ(window.ItemText(res::kIdResultList, row, 2), chart.values[r][figure])
                    << chart.headings[figure] << " row " << row;
            }
        }
    }
}

TEST_F(ChartFigures, FiguresRunByHeightThenChestThenThirdList) {
    EXPECT_EQ(Build(FigureGroup::Nursery).headings,
              (Headings{"62-40", "68-44", "74-44", "74-48", "80-48", "80-52", "86-48", "86-52", "92-52", "92-56"}));
    const Headings boys = Build(FigureGroup::Boys, 0).headings;
    EXPECT_EQ(Headings(boys.begin(), boys.begin() + 5),
              (Headings{"98-52-48", "98-56-51", "98-60-54", "98-64-57", "104-52-48"}));
    const Headings girls = Build(FigureGroup::Girls, 2).headings;
    EXPECT_EQ(Headings(girls.begin(), girls.begin() + 3), (Headings{"146-76-57", "146-76-63", "146-80-60"}));
    const Headings women = Build(FigureGroup::Women).headings;
    EXPECT_EQ(Headings(women.begin() + 7, women.begin() + 11),
              (Headings{"134-84-104", "134-84-108", "134-88-80", "134-88-84"}));
    EXPECT_EQ(women.back(), "200-136-160");
    EXPECT_EQ(Build(FigureGroup::Men).headings.back(), "212-136-142");
}

TEST_F(ChartFigures, EveryColumnShowsTheHeightAndChestOfItsHeading) {
    // The fixture tables grow feature 1 by the height and, for children, feature 16 by the
    // chest girth: a value that slipped into a neighbour's column would show it.
    for (const FigureGroup group : {FigureGroup::Nursery, FigureGroup::Girls, FigureGroup::Women, FigureGroup::Men}) {
        for (int age = 0; age < (group == FigureGroup::Girls ? 4 : 1); ++age) {
            const results::SizeChart chart = Build(group, age);
            for (std::size_t figure = 0; figure < chart.headings.size(); ++figure) {
                const auto entries = Entries(chart.headings[figure]);
                ASSERT_EQ(chart.values[0][figure], entries[0] + ".0") << chart.headings[figure];
                if (group == FigureGroup::Nursery || group == FigureGroup::Girls) {
                    ASSERT_EQ(chart.values[1][figure], entries[1] + ".0") << chart.headings[figure];
                }
            }
        }
    }
}

TEST_F(ChartFigures, MissingTableOrAgeGroupGivesNoChart) {
    std::filesystem::remove(dir / "BD" / "male.dbf");
    results::SizeChart chart;
    chart.headings.push_back("stale");
    EXPECT_FALSE(figures::BuildSizeChart(dir.DataDirectory(), FigureGroup::Men, 0, chart));
    EXPECT_TRUE(chart.headings.empty());
    EXPECT_FALSE(figures::BuildSizeChart(dir.DataDirectory(), FigureGroup::Boys, 4, chart));
    EXPECT_FALSE(figures::BuildSizeChart(dir.DataDirectory(), FigureGroup::Girls, -1, chart));
}

}  // namespace
}  // namespace kelvo
