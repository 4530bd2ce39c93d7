// The key-feature search, number parsing and formatting, and the groups' formulas.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "figures/children.h"
#include "figures/compute_frame.h"
#include "figures/men.h"
#include "figures/women.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using figures::KeyFeatureRows;

class KeyFeatureSearch : public ::testing::Test {
protected:
    // A table whose records carry the given feature numbers, in order.
    KeyFeatureRows Search(const std::vector<std::string>& numbers, int third = 18) {
        std::vector<std::vector<std::string>> records;
        for (const auto& n : numbers) records.push_back({"x", n});
        test::WriteGroupTable(dir.Path(), "t.dbf", test::FeatureTableSpec(2, records));
        EXPECT_TRUE(table.Open(dir.DataDirectory() + "\\BD\\t.dbf"));
        KeyFeatureRows keys{-7, -7, -7};
        figures::FindKeyFeatureRows(table, 1, 16, third, keys);
        return keys;
    }
    test::TempDir dir;
    tables::FeatureTable table;
};

TEST_F(KeyFeatureSearch, FindsTheThreeRecordsAndStopsAtTheLast) {
    EXPECT_EQ(Search({"5", "6", "7", "1", "8", "9", "10", "16", "2", "3", "4", "11", "18", "16"}),
              (KeyFeatureRows{3, 7, 12}));  // the second 16 lies past the stop and is not seen
}

TEST_F(KeyFeatureSearch, FeatureInRecordZeroScansToTheEndAndTheLastDuplicateWins) {
    std::vector<std::string> numbers(41, "3");
    numbers[0] = "1";
    numbers[5] = "16";
    numbers[40] = "16";
    numbers[7] = "18";
    EXPECT_EQ(Search(numbers), (KeyFeatureRows{0, 40, 7}));
}

TEST_F(KeyFeatureSearch, MissingFeatureIsRecordZero) {
    EXPECT_EQ(Search({"3", "1", "18"}), (KeyFeatureRows{1, 0, 2}));
}

TEST_F(KeyFeatureSearch, NumbersWithBlanksOrDecimalsAreFound) {
    EXPECT_EQ(Search({"3", " 16", "1.0", "19"}, 19), (KeyFeatureRows{2, 1, 3}));
    EXPECT_EQ(Search({"3", "16.0", "1", "18abc"}), (KeyFeatureRows{2, 1, 3}));
}

TEST_F(KeyFeatureSearch, ClosedTableLeavesTheRowsUnchanged) {
    tables::FeatureTable closed;
    KeyFeatureRows keys{4, 5, 6};
    figures::FindKeyFeatureRows(closed, 1, 16, 18, keys);
    EXPECT_EQ(keys, (KeyFeatureRows{4, 5, 6}));
}

TEST(Numbers, ParsedByTheCLibraryRules) {
    EXPECT_EQ(figures::ParseValue("   12.5"), 12.5);
    EXPECT_EQ(figures::ParseValue("3.5cm"), 3.5);
    EXPECT_EQ(figures::ParseValue(""), 0.0);
    EXPECT_EQ(figures::ParseValue("-"), 0.0);
    EXPECT_TRUE(std::isinf(figures::ParseValue("1e999999")));
    EXPECT_EQ(figures::ParseFeatureNumber("  16"), 16);
    EXPECT_EQ(figures::ParseFeatureNumber("16.9"), 16);
    EXPECT_EQ(figures::ParseFeatureNumber("x"), 0);
    EXPECT_EQ(figures::ParseFeatureNumber("99999999999"), 2147483647);  // clamped, not undefined
}

TEST(Numbers, FormattedWithOneDecimal) {
    EXPECT_EQ(figures::FormatValue(-0.04), "-0.0");
    EXPECT_EQ(figures::FormatValue(12.06), "12.1");
    EXPECT_EQ(figures::FormatValue(12.0), "12.0");
    EXPECT_EQ(figures::FormatValue(12.25), "12.2");  // the exact tie rounds to even
    EXPECT_EQ(figures::FormatValue(1e300).size(), 303u);
}

// FormatValue does not call snprintf for finite values; its text must still be snprintf's
// for every double: ties, their neighbours, the sizes of real values and any bit pattern.
TEST(Numbers, FormattedAsTheCLibraryFormatsThem) {
    const auto printed = [](double value) {
        char text[400];
        std::snprintf(text, sizeof text, "%0.1f", value);
        return std::string(text);
    };
    std::vector<double> values = {0.0, -0.0, 0.05, -0.05, 0.15, 0.25, -0.25, 2.5e-324, 1.7976931348623157e308,
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
    for (int k = -100000; k <= 100000; ++k) {
        const double v = k / 1000.0;
        values.insert(values.end(), {v, std::nextafter(v, 1e9), std::nextafter(v, -1e9), k * 0.05});
    }
    std::mt19937_64 bits(17);
    for (int i = 0; i < 5000; ++i) values.push_back(std::bit_cast<double>(bits()));
    for (const double value : values) ASSERT_EQ(figures::FormatValue(value), printed(value)) << value;
}

TEST(Formulas, HeightFactorMultipliesByTheDoubleNearestOneSixth) {
    EXPECT_EQ(figures::kSixth, 0.16666666666666666);
    // b + (h*hF + (k*cF + 2*v*w)): the worked example of boys, JuniorSchool.
    EXPECT_EQ(figures::FormatValue(figures::ChildValue(1.2, 0.8, 0.4, 50.0, 6 * figures::kSixth, 1.0, 1)), "52.8");
    EXPECT_EQ(figures::FormatValue(figures::StepValue(0.8, 1.1, 45.2, 2.0, -1.0)), "45.7");
    EXPECT_EQ(figures::FormatValue(figures::StepValue(0.6, 1.4, 30.5, -1.0, -1.0)), "28.5");
}

TEST(Formulas, ChildColumnsPerAgeGroup) {
    const figures::ChildColumns expected[4] = {{2, 3, 4, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    for (int a = 0; a < 4; ++a) {
        const auto c = figures::ChildColumnsFor(a);
        EXPECT_EQ(std::tie(c.height, c.chest, c.waist, c.base),
                  std::tie(expected[a].height, expected[a].chest, expected[a].waist, expected[a].base));
    }
}

TEST(Formulas, MenColumnsPerWaistPosition) {
    for (int w = 0; w < 5; ++w) {
        EXPECT_EQ(figures::MenBaseColumn(w), 5 + w);
        EXPECT_EQ(figures::MenSizeIncrementColumn(w), w == 4 ? 4 : 3);
    }
}

TEST(Formulas, WomenBandsAndColumns) {
    EXPECT_EQ(figures::WomenSizeBand(52), 0);
    EXPECT_EQ(figures::WomenSizeBand(54), 1);
    EXPECT_EQ(figures::WomenSizeBand(60), 1);
    EXPECT_EQ(figures::WomenSizeBand(62), 2);
    const auto at = [](int band, int g) {
        const auto c = figures::WomenColumnsFor(band, g);
        return std::vector<int>{c.first, c.second, c.weight};
    };
    EXPECT_EQ(at(0, -2), (std::vector<int>{6, 7, -3}));
    EXPECT_EQ(at(1, 0), (std::vector<int>{10, 11, -1}));
    EXPECT_EQ(at(2, 1), (std::vector<int>{14, -1, 0}));
    EXPECT_EQ(at(2, 4), (std::vector<int>{17, -1, 0}));
    EXPECT_EQ(at(0, 5), (std::vector<int>{8, 9, 2}));
    EXPECT_EQ(at(1, 6), (std::vector<int>{12, 13, 3}));
    EXPECT_EQ(figures::Extrapolate(41.8, 43.8, -1), 41.8 - (43.8 - 41.8));
}

}  // namespace
}  // namespace kelvo
