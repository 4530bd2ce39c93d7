// Cells of the published figures, worked out by hand from the published base values and
// increments, as the program computes them from the bundled tables. A value in the wrong
// column, band or hip position shows here as a wrong number.

#include <gtest/gtest.h>

#include "tests/data/bundled_window.h"

namespace kelvo::test {
namespace {

using res::kIdHeightList, res::kIdChestList, res::kIdThirdList;

struct ReferenceCell {
    int group;
    const char* height;
    const char* chest;
    const char* third;
    int feature;
    const char* value;
    const char* workedOut;
};

void PrintTo(const ReferenceCell& c, std::ostream* os) {
    *os << c.height << "-" << c.chest << "-" << c.third << " T" << c.feature;
}

class ReferenceCells : public ::testing::TestWithParam<ReferenceCell> {};

TEST_P(ReferenceCells, ComputeAsWorkedOutByHand) {
    const ReferenceCell& c = GetParam();
    BundledWindow w(c.group);
    ASSERT_TRUE(w->ChooseText(kIdHeightList, c.height));
    ASSERT_TRUE(w->ChooseText(kIdChestList, c.chest));
    ASSERT_TRUE(w->ChooseText(kIdThirdList, c.third));
    EXPECT_EQ(w.ValueOf(c.feature), c.value) << c.workedOut;
}

// Men: the 176-100 base figure; h = (T1 - 176) / 6, z = (S - 50) / 2.
INSTANTIATE_TEST_SUITE_P(
    Men, ReferenceCells,
    ::testing::Values(
        ReferenceCell{kMen, "176", "100", "82", 7, "110.2", "the base value itself"},
        ReferenceCell{kMen, "188", "96", "78", 13, "40.0", "40.4 + 0.2 * 2 + 0.8 * -1"},
        ReferenceCell{kMen, "158", "120", "126", 27, "70.0", "82.6 + 3.7 * -3 + -0.3 * 5, waist position 4"}));

// Women: cells of the standard's tables as printed there (halves for T14, T18, T47); the
// base figures are 152 and the band's first chest girth, h = (T1 - 152) / 6.
INSTANTIATE_TEST_SUITE_P(
    Women, ReferenceCells,
    ::testing::Values(
        ReferenceCell{kWomen, "164", "96", "104", 7, "103.2", "94.2 + 4.2 * 2 + 0.2 * 3, fullness group 2"},
        ReferenceCell{kWomen, "170", "88", "92", 7, "106.8", "94.0 + 4.2 * 3 + 0.2 * 1, fullness group 1"},
        ReferenceCell{kWomen, "164", "120", "124", 18, "51.1", "45.1 - 0.6 * 2 + 2.4 * 3, printed 102.2 / 2"},
        ReferenceCell{kWomen, "164", "136", "144", 14, "60.1", "55.5 + 0.2 * 2 + 1.4 * 3, size band 2"},
        ReferenceCell{kWomen, "152", "108", "124", 47, "19.8", "the base value itself, fullness group 4"}));

}  // namespace
}  // namespace kelvo::test
