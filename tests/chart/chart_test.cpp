// The columns of a size chart: which figures, in which order, and the values the window
// shows for each of them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "figures/size_chart_walk.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

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

TEST_F(ChartFigures, EachColumnHoldsWhatTheWindowShowsForItsFigure) {
    struct Case {
        FigureGroup group;
        int age;
        std::size_t figures;
    };
    for (const Case c : {Case{FigureGroup::Nursery, 0, 10}, Case{FigureGroup::Girls, 3, 4 * 5 * 2},
                         Case{FigureGroup::Boys, 1, 5 * 6 * 2}, Case{FigureGroup::Women, 0, 12 * 14 * 9},
                         Case{FigureGroup::Men, 0, 12 * 14 * 5}}) {
        const results::SizeChart chart = Build(c.group, c.age);
        ASSERT_EQ(chart.headings.size(), c.figures);
        app::FigureDialog dialog;
        dialog.SetInitialGroup(static_cast<int>(c.group));
        dialog.SetDataDirectory(dir.DataDirectory());
        platform::headless::HeadlessWindow window(dialog);
        window.Choose(res::kIdAgeList, c.age);
        for (const std::size_t figure : {std::size_t{0}, c.figures / 2 + 1, c.figures - 1}) {
            // "134-64-60": the entries of the height, chest and third lists, chosen in turn.
            const std::string& heading = chart.headings[figure];
            const int lists[] = {res::kIdHeightList, res::kIdChestList, res::kIdThirdList};
            for (std::size_t at = 0, list = 0; at < heading.size(); ++list) {
                const std::size_t dash = std::min(heading.find('-', at), heading.size());
                ASSERT_TRUE(window.ChooseText(lists[list], heading.substr(at, dash - at))) << heading;
                at = dash + 1;
            }
            ASSERT_EQ(static_cast<std::size_t>(window.ItemCount(res::kIdResultList)), chart.numbers.size());
            for (std::size_t row = 0; row < chart.numbers.size(); ++row) {
                const int item = static_cast<int>(row);
                EXPECT_EQ(window.ItemText(res::kIdResultList, item, 0), chart.numbers[row]);
                EXPECT_EQ(window.ItemText(res::kIdResultList, item, 1), chart.names[row]);
                EXPECT_EQ(window.ItemText(res::kIdResultList, item, 2), chart.values[row][figure]) << heading;
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

}  // namespace
}  // namespace kelvo
