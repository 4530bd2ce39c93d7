// The bundled tables as files: the columns each group reads, names in code page 866 that
// read as Russian, and one record per feature number with the key features present.

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tables/feature_table.h"
#include "tests/data/bundled_window.h"

namespace kelvo::test {
namespace {

struct BundledTable {
    const char* file;
    int columns;
    int thirdKey;
};

void PrintTo(const BundledTable& t, std::ostream* os) { *os << t.file; }

std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Cyrillic letters in Windows-1251 are 0xC0-0xFF, Ё and ё are 0xA8 and 0xB8; a name may
// also hold blanks and ( ) - , . but no '?', which is what a failed conversion leaves.
bool ReadsAsRussian(const std::string& ansi) {
    int letters = 0;
    for (const char c : ansi) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0xC0 || b == 0xA8 || b == 0xB8) ++letters;
        else if (std::string_view(" ()-,.").find(c) == std::string_view::npos) return false;
    }
    return letters > 0;
}

class TableLayout : public ::testing::TestWithParam<BundledTable> {};

TEST_P(TableLayout, HoldsTheColumnsItsGroupReadsWithRussianNames) {
    const BundledTable& t = GetParam();
    tables::FeatureTable table;
    ASSERT_TRUE(table.Open(BundledDataDirectory() + "\\BD\\" + t.file));
    EXPECT_EQ(table.ColumnCount(), t.columns);
    ASSERT_GT(table.RecordCount(), 3);

    std::set<int> numbers;
    std::string text;
    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        ASSERT_TRUE(table.ReadField(r, 0, text));
        const std::string oem = WithoutTrailingBlanks(text);
        const std::string ansi = platform::OemToAnsi(oem);
        EXPECT_TRUE(ReadsAsRussian(ansi)) << "record " << r << ": " << platform::AnsiToUtf8(ansi);
        EXPECT_EQ(platform::Utf8ToOem(platform::AnsiToUtf8(ansi)), oem) << "record " << r;

        ASSERT_TRUE(table.ReadField(r, 1, text));
        const int number = std::atoi(text.c_str());
        EXPECT_TRUE(numbers.insert(number).second) << "feature " << number << " twice";
        if (number == 1) {
            EXPECT_EQ(platform::AnsiToUtf8(ansi), "Рост");
        }
    }
    EXPECT_TRUE(numbers.count(1) && numbers.count(16) && numbers.count(t.thirdKey));
}

INSTANTIATE_TEST_SUITE_P(Bundled, TableLayout,
                         ::testing::Values(BundledTable{"yasly.dbf", 5, 18}, BundledTable{"girls.dbf", 17, 18},
                                           BundledTable{"boys.dbf", 17, 18}, BundledTable{"female.dbf", 18, 19},
                                           BundledTable{"male.dbf", 15, 18}));

}  // namespace
}  // namespace kelvo::test

namespace kelvo::test {
namespace {

// What the window shows of the sources: illustrative rows marked, every row's source noted,
// for the cells the figure in force reads.
TEST(TableSources, WindowMarksTheRowsWhoseValuesAreIllustrativeForTheFigureShown) {
    const auto marked = [](BundledWindow& w, int row) {
        return w->List(res::kIdResultList).GetItemMarks(row) == platform::ListView::kItemIllustrative;
    };
    const auto note = [](BundledWindow& w, int row) {
        return platform::AnsiToUtf8(w->List(res::kIdResultList).GetItemToolTip(row));
    };
    BundledWindow women(kWomen);
    ASSERT_GT(women.Rows(), 20);
    for (int row = 0; row < women.Rows(); ++row) {
        EXPECT_FALSE(marked(women, row)) << row;
        EXPECT_TRUE(note(women, row).starts_with("Источник W: Женщины, ОСТ 17-326-81")) << note(women, row);
    }
    // Chest 124 is size band 2, whose hip positions 1, 3 and 4 are derived: hip 116 (chest - 8)
    // extrapolates from positions 1 and 2; only the figure's own dimensions stay the standard's.
    ASSERT_TRUE(women->Choose(res::kIdChestList, 10));
    for (int row = 0; row < women.Rows(); ++row) {
        const int number = women.FeatureNumber(row);
        const bool key = number == 1 || number == 16 || number == 19;
        EXPECT_EQ(marked(women, row), !key) << number;
        if (!key) {
            EXPECT_NE(note(women, row).find("\nИллюстративное значение"), std::string::npos) << note(women, row);
        }
    }
    BundledWindow nursery(kNursery);
    for (int row = 0; row < nursery.Rows(); ++row) EXPECT_TRUE(marked(nursery, row)) << row;
    BundledWindow boys(kBoys);
    for (int row = 0; row < boys.Rows(); ++row) {
        const int number = boys.FeatureNumber(row);
        EXPECT_EQ(marked(boys, row), number != 1 && number != 16 && number != 18) << number;
    }
}

}  // namespace
}  // namespace kelvo::test
