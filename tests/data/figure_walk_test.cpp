// Every figure each group's lists offer, computed from the bundled tables through the window
// logic: the values must be measurements a body can have, and the leading dimensions must
// come out as the figure that was chosen.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

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
    int faultCount = 0;
    std::string figure;
    std::vector<std::string> faults;
};

TEST_F(FigureWalk, Nursery) {
    BundledWindow w(kNursery);
    const int lists[] = {kIdHeightList, kIdChestList};
    ChooseEvery(w, lists, [&] { return Expected{w.Chosen(kIdHeightList), double(w.Chosen(kIdChestList))}; });
    ExpectSound(10);
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
}

TEST_F(FigureWalk, Boys) {
    BundledWindow w(kBoys);
    const int lists[] = {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] { return ChildFigure(w); });
    ExpectSound(16 + 60 + 40 + 60);
}

// Men's tables hold the size (half the chest girth) in feature 16 and the full waist girth.
TEST_F(FigureWalk, Men) {
    BundledWindow w(kMen);
    const int lists[] = {kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] {
        return Expected{w.Chosen(kIdHeightList), w.Chosen(kIdChestList) / 2.0, 18, double(w.Chosen(kIdThirdList))};
    });
    ExpectSound(12 * 14 * 5);
}

// Women's tables keep the girths as half values, the size and the hips alike.
TEST_F(FigureWalk, Women) {
    BundledWindow w(kWomen);
    const int lists[] = {kIdHeightList, kIdChestList, kIdThirdList};
    ChooseEvery(w, lists, [&] {
        return Expected{w.Chosen(kIdHeightList), w.Chosen(kIdChestList) / 2.0, 19, w.Chosen(kIdThirdList) / 2.0};
    });
    ExpectSound(12 * 14 * 9);
}

}  // namespace
}  // namespace kelvo::test
