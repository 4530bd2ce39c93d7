// Boys and girls: the lists of every age group, the waist-list rule and the formula.

#include "tests/behaviour/window_fixture.h"

namespace kelvo::test {
namespace {

using res::kIdAgeList, res::kIdHeightList, res::kIdChestList, res::kIdThirdList, res::kIdThirdLabel;

struct AgeLists {
    int group, age;
    std::vector<std::string> heights, chests, waists;
};

class ChildLists : public WindowTest, public ::testing::WithParamInterface<AgeLists> {};

TEST_P(ChildLists, AgeGroupFillsEveryListAndSelectsTheFirstEntries) {
    const AgeLists& p = GetParam();
    Open(p.group);
    if (p.age != 0) {
        ASSERT_TRUE(Choose(kIdAgeList, p.age));
    }
    EXPECT_EQ(Selection(kIdAgeList), p.age);
    EXPECT_EQ(Entries(kIdHeightList), p.heights);
    EXPECT_EQ(Entries(kIdChestList), p.chests);
    EXPECT_EQ(Entries(kIdThirdList), p.waists);
    EXPECT_EQ(Selection(kIdHeightList), 0);
    EXPECT_EQ(Selection(kIdChestList), 0);
    EXPECT_EQ(Selection(kIdThirdList), 0);
    EXPECT_EQ(window->Text(kIdThirdLabel), "T18");
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(dialog.IsComputed());
}

INSTANTIATE_TEST_SUITE_P(
    BoysAndGirls, ChildLists,
    ::testing::Values(
        AgeLists{kBoys, 0, Numbers(98, 116, 6), Numbers(52, 64, 4), {"48"}},
        AgeLists{kBoys, 1, Numbers(122, 146, 6), Numbers(60, 80, 4), {"51", "57"}},
        AgeLists{kBoys, 2, Numbers(146, 170, 6), Numbers(76, 88, 4), {"63", "69"}},
        AgeLists{kBoys, 3, Numbers(164, 188, 6), Numbers(84, 104, 4), {"69", "75"}},
        AgeLists{kGirls, 0, Numbers(98, 116, 6), Numbers(52, 64, 4), {"48"}},
        AgeLists{kGirls, 1, Numbers(122, 146, 6), Numbers(60, 80, 4), {"51", "57"}},
        AgeLists{kGirls, 2, Numbers(146, 164, 6), Numbers(76, 88, 4), {"57", "63"}},
        AgeLists{kGirls, 3, Numbers(158, 176, 6), Numbers(88, 104, 4), {"66", "72"}}));

TEST_F(WindowTest, WaistListFollowsTheChestGirth) {
    Open(kBoys);
    ASSERT_TRUE(ChooseText(res::kIdChestList, "64"));  // Preschool, g = 3: one entry
    EXPECT_EQ(Entries(kIdThirdList), std::vector<std::string>{"57"});
    ASSERT_TRUE(Choose(kIdAgeList, 1));
    ASSERT_TRUE(ChooseText(kIdChestList, "80"));       // JuniorSchool, g = 5
    EXPECT_EQ(Entries(kIdThirdList), (std::vector<std::string>{"66", "72"}));
    EXPECT_EQ(Selection(kIdThirdList), 0);
}

TEST_F(WindowTest, BoysJuniorSchoolWorkedExample) {
    Open(kBoys);
    ASSERT_TRUE(Choose(kIdAgeList, 1));
    ASSERT_TRUE(ChooseText(kIdHeightList, "134"));
    ASSERT_TRUE(ChooseText(kIdChestList, "64"));
    EXPECT_EQ(Entries(kIdThirdList), (std::vector<std::string>{"54", "60"}));
    EXPECT_EQ(Value(), "52.0");  // the first waist entry adds no waist term
    ASSERT_TRUE(ChooseText(kIdThirdList, "60"));
    EXPECT_EQ(Value(), "52.8");
    // Cells 3 and 4: the JuniorSchool increment columns 5 and 6, as stored.
    EXPECT_EQ(Cell(kFeatureRow, 3), "     1.2");
    EXPECT_EQ(Cell(kFeatureRow, 4), "     0.8");
    EXPECT_EQ(dialog.Results()[kFeatureRow].cells[5], "     0.4");
}

TEST_F(WindowTest, FirstWaistEntryAddsNothingAndTheSecondTwiceTheIncrement) {
    Open(kGirls);
    ASSERT_TRUE(Choose(kIdAgeList, 1));  // base figure 128/60 in column 8
    EXPECT_EQ(Value(), "48.8");          // 122/60: one height step below, 50.0 - 1.2
    ASSERT_TRUE(ChooseText(kIdHeightList, "128"));
    EXPECT_EQ(Value(), "50.0");
    ASSERT_TRUE(Choose(kIdThirdList, 1));
    EXPECT_EQ(Value(), "50.8");          // + 2 * 0.4
}

TEST_F(WindowTest, PreschoolUsesColumnFourAsBaseAndWaistText) {
    Open(kBoys);
    EXPECT_EQ(Value(), "25.0");                      // 98/52 is the base figure
    ASSERT_TRUE(ChooseText(kIdHeightList, "110"));   // two height steps
    ASSERT_TRUE(ChooseText(kIdChestList, "60"));     // two chest steps
    EXPECT_EQ(Value(), "27.4");                      // 25.0 + 0.5*2 + 0.7*2
    EXPECT_EQ(dialog.Results()[kFeatureRow].cells[5], "    25.0");
}

TEST_F(WindowTest, HeightChangeRecomputesWithoutTouchingTheLists) {
    Open(kGirls);
    ASSERT_TRUE(Choose(kIdAgeList, 2));
    ASSERT_TRUE(Choose(kIdChestList, 2));
    ASSERT_TRUE(Choose(kIdThirdList, 1));
    const auto chests = Entries(kIdChestList);
    const auto waists = Entries(kIdThirdList);
    ASSERT_TRUE(Choose(kIdHeightList, 3));
    EXPECT_EQ(Entries(kIdChestList), chests);
    EXPECT_EQ(Entries(kIdThirdList), waists);
    EXPECT_EQ(Selection(kIdChestList), 2);
    EXPECT_EQ(Selection(kIdThirdList), 1);
    EXPECT_TRUE(dialog.IsComputed());
}

}  // namespace
}  // namespace kelvo::test
