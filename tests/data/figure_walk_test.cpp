// Every figure each group's lists offer, computed from the bundled tables through the window
// logic: the values must be measurements a body can have, and the leading dimensions must
// come out as the figure that was chosen. The figures as the window showed them are also
// each group's size chart, which must come out byte for byte as the chart the walk over
// the table's copy in memory writes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "figures/size_chart_walk.h"
#include "results/size_chart.h"
#include "tests/data/bundled_window.h"

namespace kelvo::test {
namespace {

using res::kIdAgeList, res::kIdHeightList, res::kIdChestList, res::kIdThirdList;

// What the chosen figure must show in its key rows.
struct Expected {
    int height = 0;
    double chest = 0;        // the girth for children, the size (half the girth) for adults
    int thirdFeature = 0;    // 0 for the nursery, whose figure has no third dimension
    double third = 0;
};

std::string Shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

class FigureWalk : public ::testing::Test {
protected:
    // Chooses every entry of the first list in turn and, under each, every entry of the
    // lists after it as that choice refilled them; checks each complete figure.
    void ChooseEvery(BundledWindow& w, std::span<const int> lists, const std::function<Expected()>& expected) {
        if (lists.empty()) {
            Check(w, expected());
            return;
        }
        const auto count = w->Entries(lists[0]).size();
        for (std::size_t i = 0; i < count; ++i) {
            if (!w->Choose(lists[0], static_cast<int>(i))) {
                Fault("list " + std::to_string(lists[0]) + " refuses entry " + std::to_string(i));
                continue;
            }
            ChooseEvery(w, lists.subspan(1), expected);
        }
    }

    void Check(BundledWindow& w, const Expected& e) {
        ++figures;
        AddToChart(w, e.thirdFeature != 0);
        figure = std::to_string(e.height) + "/" + Shown(e.chest) + "/" + Shown(e.third);
        if (w.Rows() == 0) Fault("no rows");
        bool seen[3] = {false, false, e.thirdFeature == 0};
        for (int row = 0; row < w.Rows(); ++row) {
            const int number = w.FeatureNumber(row);
            const std::string name = platform::AnsiToUtf8(w.Cell(row, 1));
            const std::string text = w.Cell(row, 2);
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            const std::string what = "feature " + std::to_string(number) + " = " + text;
            if (text.empty() || *end != '\0' || !std::isfinite(value)) Fault(what + " is no number");
            else if (value <= 0) Fault(what + " is not positive");
            // Girths may exceed the height (a short stout figure); nothing else may.
            else if (name.find("бхват") == std::string::npos && value > e.height) Fault(what + " exceeds the height");
            if (number == 1) {
                seen[0] = true;
                if (text != Shown(e.height)) Fault(what + ", not the chosen height");
            } else if (number == 16) {
                seen[1] = true;
                if (text != Shown(e.chest)) Fault(what + ", not the chosen chest");
            } else if (number == e.thirdFeature) {
                seen[2] = true;
                if (text != Shown(e.third)) Fault(what + ", not the chosen " + Shown(e.third));
            }
        }
        if (!seen[0] || !seen[1] || !seen[2]) Fault("a key feature has no row");
    }

    // The figure on show as the next column of its age group's chart, headed as the chart
    // heads it: the entries of the height, chest and third lists.
    void AddToChart(BundledWindow& w, bool withThird) {
        results::SizeChart& chart = walked[w->Selection(kIdAgeList)];
        const auto entry = [&](int list) { return w->Entries(list)[static_cast<std::size_t>(w->Selection(list))]; };
        std::string heading = entry(kIdHeightList);
        for (const int list : {kIdChestList, kIdThirdList})
            if (list != kIdThirdList || withThird) heading += '-' + entry(list);
        chart.headings.push_back(heading);
        if (chart.headings.size() == 1)
            for (int row = 0; row < w.Rows(); ++row) {
                chart.numbers.push_back(w.Cell(row, 0));
                chart.names.push_back(w.Cell(row, 1));
            }
        chart.values.resize(chart.numbers.size());
        for (int row = 0; row < w.Rows() && row < static_cast<int>(chart.values.size()); ++row)
            chart.values[static_cast<std::size_t>(row)].push_back(w.Cell(row, 2));
    }

    void ExpectChartsAsWalked(int group) {
        for (auto& [age, walkedChart] : walked) {
            results::SizeChart chart;
            ASSERT_TRUE(figures::BuildSizeChart(BundledDataDirectory(), static_cast<figures::FigureGroup>(group),
                                                std::max(age, 0), chart));
            // The sources come from the table's side file, not from anything the window shows.
            walkedChart.sources = chart.sources;
            for (const auto dialect : {results::CsvDialect::Spreadsheet, results::CsvDialect::Rfc4180})
                EXPECT_TRUE(results::BuildSizeChartCsv(chart, dialect) == results::BuildSizeChartCsv(walkedChart, dialect))
                    << "age group " << age << ": the chart differs from the figures the window showed";
        }
    }

    void Fault(const std::string& text) {
        if (faults.size() < 20) faults.push_back(figure + ": " + text);
        ++faultCount;
    }

    void ExpectSound(int expectedFigures) {
        EXPECT_EQ(figures, expectedFigures);
        std::string all;
        for (const std::string& f : faults) all += "\n  " + f;
        EXPECT_EQ(faultCount, 0) << all;
    }

    int figures = 0;
    std::map<int, results::SizeChart> walked;  // by the age list's selection
    int faultCount = 0;
    std::string figure;
    std::vector<std::string> faults;
};

TEST_F(FigureWalk, Nursery) {
    BundledWindow w(kNursery);
    const int lists[] = {kIdHeightList, kIdChestList};
    ChooseEvery(w, lists, [&] { return Expected{w.Chosen(kIdHeightList), double(w.Chosen(kIdChestList))}; });
    ExpectSound(10);
    ExpectChartsAsWalked(kNursery);
}

// Children: every age group; the waist entry is the girth feature 18 must show.
Expected ChildFigure(BundledWindow& w) {
    return {w.Chosen(kIdHeightList), double(w.Chosen(kIdChestList)), 18, double(w.Chosen(kIdThirdList))};
}

TEST_F(FigureWalk, Girls) {
    BundledWindow w(kGirls);
    const int lists[] = {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] { return ChildFigure(w); });
    ExpectSound(16 + 60 + 32 + 40);
    ExpectChartsAsWalked(kGirls);
}

TEST_F(FigureWalk, Boys) {
    BundledWindow w(kBoys);
    const int lists[] = {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] { return ChildFigure(w); });
    ExpectSound(16 + 60 + 40 + 60);
    ExpectChartsAsWalked(kBoys);
}

// Men's tables hold the size (half the chest girth) in feature 16 and the full waist girth.
TEST_F(FigureWalk, Men) {
    BundledWindow w(kMen);
    const int lists[] = {kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] {
        return Expected{w.Chosen(kIdHeightList), w.Chosen(kIdChestList) / 2.0, 18, double(w.Chosen(kIdThirdList))};
    });
    ExpectSound(12 * 14 * 5);
    ExpectChartsAsWalked(kMen);
}

// Women's tables keep the girths as half values, the size and the hips alike.
TEST_F(FigureWalk, Women) {
    BundledWindow w(kWomen);
    const int lists[] = {kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] {
        return Expected{w.Chosen(kIdHeightList), w.Chosen(kIdChestList) / 2.0, 19, w.Chosen(kIdThirdList) / 2.0};
    });
    ExpectSound(12 * 14 * 9);
    ExpectChartsAsWalked(kWomen);
}

}  // namespace
}  // namespace kelvo::test
