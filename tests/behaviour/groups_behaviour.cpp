// Women, men and nursery figures, and switching between any two groups.

#include <filesystem>

#include "app/chart_range_dialog.h"
#include "figures/size_chart_walk.h"
#include "platform/ansi_text.h"
#include "platform/file.h"
#include "tests/behaviour/window_fixture.h"

namespace kelvo::test {
namespace {

using res::kIdAgeList, res::kIdHeightList, res::kIdChestList, res::kIdThirdList, res::kIdThirdLabel,
    res::kIdGroupList;

TEST_F(WindowTest, WomenWorkedExample) {
    Open(kWomen);
    EXPECT_EQ(Entries(kIdHeightList), Numbers(134, 200, 6));
    EXPECT_EQ(Entries(kIdChestList), Numbers(84, 136, 4));
    EXPECT_EQ(Entries(kIdThirdList), Numbers(76, 108, 4));
    EXPECT_EQ(window->Text(kIdThirdLabel), "T19");
    EXPECT_FALSE(window->IsEnabled(kIdAgeList));
    ASSERT_TRUE(ChooseText(kIdHeightList, "170"));
    ASSERT_TRUE(ChooseText(kIdChestList, "100"));
    EXPECT_EQ(Entries(kIdThirdList), Numbers(92, 124, 4));
    ASSERT_TRUE(Choose(kIdThirdList, 3));
    EXPECT_EQ(Value(), "41.8");
    ASSERT_TRUE(Choose(kIdThirdList, 2));
    EXPECT_EQ(Value(), "39.8");
    EXPECT_EQ(Cell(kFeatureRow, 4), "     1.2");
    EXPECT_EQ(dialog.Results()[kFeatureRow].cells[5], "");
}

struct WomenBand {
    const char* chest;
    const char* sizeIncrement;
    std::vector<std::string> hipValues;  // hip indices 0..8 at height 170
};

class WomenBands : public WindowTest, public ::testing::WithParamInterface<WomenBand> {};

// Base values 40/42/45/49 (band 0), +10 (band 1), +20 (band 2); size increments 1.2, 1.4,
// 1.6; every base figure 164/48; height 170 is one step up.
TEST_P(WomenBands, EveryHipIndexTakesOrExtrapolatesItsBandsColumns) {
    const WomenBand& p = GetParam();
    Open(kWomen);
    ASSERT_TRUE(ChooseText(kIdHeightList, "170"));
    ASSERT_TRUE(ChooseText(kIdChestList, p.chest));
    for (int e = 0; e < 9; ++e) {
        ASSERT_TRUE(e == 0 || Choose(kIdThirdList, e));
        EXPECT_EQ(Value(), p.hipValues[static_cast<std::size_t>(e)]) << "hip index " << e;
        EXPECT_EQ(Cell(kFeatureRow, 4), p.sizeIncrement);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bands, WomenBands,
    ::testing::Values(
        WomenBand{"100", "     1.2", {"35.8", "37.8", "39.8", "41.8", "43.8", "46.8", "50.8", "54.8", "58.8"}},
        WomenBand{"104", "     1.2", {"37.0", "39.0", "41.0", "43.0", "45.0", "48.0", "52.0", "56.0", "60.0"}},
        WomenBand{"108", "     1.4", {"48.8", "50.8", "52.8", "54.8", "56.8", "59.8", "63.8", "67.8", "71.8"}},
        WomenBand{"116", "     1.4", {"51.6", "53.6", "55.6", "57.6", "59.6", "62.6", "66.6", "70.6", "74.6"}},
        WomenBand{"120", "     1.4", {"53.0", "55.0", "57.0", "59.0", "61.0", "64.0", "68.0", "72.0", "76.0"}},
        WomenBand{"124", "     1.6", {"65.8", "67.8", "69.8", "71.8", "73.8", "76.8", "80.8", "84.8", "88.8"}},
        WomenBand{"128", "     1.6", {"67.4", "69.4", "71.4", "73.4", "75.4", "78.4", "82.4", "86.4", "90.4"}}));

TEST_F(WindowTest, WomenExtrapolateEachColumnFromItsOwnBaseFigure) {
    tables::TableContents contents = WomenTable();
    contents.records[0][7] = "158";  // the figure of column 7 is one height step and
    contents.records[1][7] = "46";   // one size smaller than that of column 6
    WriteAllGroupTables(dir.Path());
    WriteGroupTable(dir.Path(), "female.dbf", contents);
    Open(kWomen, false);
    ASSERT_TRUE(ChooseText(kIdHeightList, "170"));
    ASSERT_TRUE(ChooseText(kIdChestList, "100"));
    ASSERT_TRUE(Choose(kIdThirdList, 2));
    EXPECT_EQ(Value(), "38.0");  // A = 41.8, B = 42 + 2*0.6 + 2*1.2 = 45.6, A - (B - A)
}

TEST_F(WindowTest, WomenReadMissingColumnsAsZero) {
    tables::TableContents contents = WomenTable();
    contents.fields.resize(8);
    for (auto& record : contents.records) record.resize(8);
    WriteAllGroupTables(dir.Path());
    WriteGroupTable(dir.Path(), "female.dbf", contents);
    Open(kWomen, false);
    ASSERT_TRUE(ChooseText(kIdHeightList, "170"));
    ASSERT_TRUE(ChooseText(kIdChestList, "100"));
    ASSERT_TRUE(Choose(kIdThirdList, 5));  // column 8: no such column, no base figure
    EXPECT_EQ(Value(), "47.0");            // 0 + 0.6 * 170/6 + 1.2 * 50/2
    EXPECT_TRUE(dialog.IsComputed());
}

TEST_F(WindowTest, MenWorkedExampleAndWaistPositionFour) {
    Open(kMen);
    EXPECT_EQ(Entries(kIdHeightList), Numbers(146, 212, 6));
    EXPECT_EQ(Entries(kIdChestList), Numbers(84, 136, 4));
    EXPECT_EQ(Entries(kIdThirdList), Numbers(66, 90, 6));
    EXPECT_EQ(window->Text(kIdThirdLabel), "T18");
    ASSERT_TRUE(ChooseText(kIdHeightList, "188"));
    ASSERT_TRUE(ChooseText(kIdChestList, "96"));
    EXPECT_EQ(Entries(kIdThirdList), Numbers(78, 102, 6));
    EXPECT_EQ(Value(), "45.7");
    EXPECT_EQ(Cell(kFeatureRow, 4), "     1.1");
    ASSERT_TRUE(Choose(kIdThirdList, 4));
    EXPECT_EQ(Value(), "49.5");  // column 9 (49.2) with the size increments of column 4 (1.3)
    EXPECT_EQ(Cell(kFeatureRow, 4), "     1.3");
    ASSERT_TRUE(Choose(kIdHeightList, 5));  // height change keeps the waist position
    EXPECT_EQ(Selection(kIdThirdList), 4);
}

TEST_F(WindowTest, MenBaseFigureGivesBaseValuesWithOneDecimal) {
    Open(kMen);
    ASSERT_TRUE(ChooseText(kIdHeightList, "176"));
    ASSERT_TRUE(ChooseText(kIdChestList, "100"));
    EXPECT_EQ(Value(), "45.2");
    EXPECT_EQ(Value(3), "82.0");
}

TEST_F(WindowTest, NurseryWorkedExampleAndChestsPerHeight) {
    Open(kNursery);
    EXPECT_EQ(Entries(kIdHeightList), (std::vector<std::string>{"62", "68", "74", "80", "86", "92"}));
    EXPECT_EQ(Entries(kIdChestList), std::vector<std::string>{"40"});
    EXPECT_TRUE(Entries(kIdThirdList).empty());
    EXPECT_FALSE(window->IsEnabled(kIdThirdList));
    EXPECT_FALSE(window->IsEnabled(kIdAgeList));
    EXPECT_EQ(window->Text(kIdThirdLabel), "T18/T19");
    EXPECT_EQ(Value(), "24.5");
    ASSERT_TRUE(ChooseText(kIdHeightList, "68"));
    EXPECT_EQ(Entries(kIdChestList), std::vector<std::string>{"44"});
    ASSERT_TRUE(ChooseText(kIdHeightList, "74"));
    EXPECT_EQ(Entries(kIdChestList), (std::vector<std::string>{"44", "48"}));
    ASSERT_TRUE(ChooseText(kIdChestList, "48"));
    EXPECT_EQ(Value(), "28.5");
    EXPECT_EQ(Cell(kFeatureRow, 3), "     0.6");
    EXPECT_EQ(Cell(kFeatureRow, 4), "     1.4");
    ASSERT_TRUE(ChooseText(kIdHeightList, "80"));
    ASSERT_TRUE(ChooseText(kIdChestList, "52"));
    EXPECT_EQ(Value(), "30.5");
    ASSERT_TRUE(ChooseText(kIdHeightList, "86"));  // a new height starts at its first chest
    EXPECT_EQ(Selection(kIdChestList), 0);
    EXPECT_EQ(Entries(kIdChestList), (std::vector<std::string>{"48", "52"}));
}

// What a load step leaves in the lists, the label and the enabled states.
struct Snapshot {
    std::vector<std::vector<std::string>> entries;
    std::vector<int> selections;
    std::vector<bool> enabled;
    std::string label;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(platform::UserActions& window, bool withAgeSelection) {
    Snapshot s;
    for (const int id : {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList}) {
        s.entries.push_back(window.Entries(id));
        s.selections.push_back(id == kIdAgeList && !withAgeSelection ? 0 : window.Selection(id));
        s.enabled.push_back(window.IsEnabled(id));
    }
    s.label = window.Text(kIdThirdLabel);
    return s;
}

class GroupSwitch : public WindowTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(GroupSwitch, LeavesWhatAFreshLoadLeaves) {
    const auto [from, to] = GetParam();
    const bool childTo = to == kGirls || to == kBoys;
    WriteAllGroupTables(dir.Path());
    Snapshot fresh;
    std::string freshValue;
    {
        app::FigureDialog freshDialog;
        freshDialog.SetInitialGroup(to);
        freshDialog.SetDataDirectory(dir.DataDirectory());
        auto freshWindow = OpenTestWindow(freshDialog);
        fresh = Take(*freshWindow, childTo);
        freshValue = freshWindow->ItemText(res::kIdResultList, kFeatureRow, 2);
    }
    Open(from, false);
    ASSERT_TRUE(Choose(kIdGroupList, to));
    EXPECT_EQ(Take(*window, childTo), fresh);
    EXPECT_EQ(Value(), freshValue);
    EXPECT_TRUE(dialog.IsComputed());
}

std::vector<std::pair<int, int>> EveryOrderedPair() {
    std::vector<std::pair<int, int>> pairs;
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            if (a != b) pairs.emplace_back(a, b);
    return pairs;
}

INSTANTIATE_TEST_SUITE_P(EveryPair, GroupSwitch, ::testing::ValuesIn(EveryOrderedPair()));

class FailedLoad : public WindowTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(FailedLoad, KeepsThePreviousListsAndEmptiesTheResults) {
    const auto [from, to] = GetParam();
    static const char* kFiles[] = {"yasly.dbf", "girls.dbf", "boys.dbf", "female.dbf", "male.dbf"};
    Open(from);
    std::filesystem::remove(dir.Path() / "BD" / kFiles[to]);
    const Snapshot before = Take(*window, true);
    ASSERT_TRUE(Choose(kIdGroupList, to));
    EXPECT_EQ(Take(*window, true), before);
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(dialog.IsComputed());
    EXPECT_FALSE(dialog.Table().IsOpen());
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_EQ(window->Messages(), std::vector<std::string>{"no table"});
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "table.txt"));
}

INSTANTIATE_TEST_SUITE_P(EveryPair, FailedLoad, ::testing::ValuesIn(EveryOrderedPair()));

TEST_F(WindowTest, ThirdListUsableAgainAfterNursery) {
    Open(kNursery);
    ASSERT_TRUE(Choose(kIdGroupList, kWomen));
    EXPECT_TRUE(window->IsEnabled(kIdThirdList));
    ASSERT_TRUE(Choose(kIdThirdList, 4));
    ASSERT_TRUE(Choose(kIdGroupList, kMen));
    ASSERT_TRUE(Choose(kIdThirdList, 4));
    ASSERT_TRUE(Choose(kIdGroupList, kBoys));
    EXPECT_TRUE(window->IsEnabled(kIdAgeList));
    EXPECT_TRUE(window->IsEnabled(kIdThirdList));
}

TEST_F(WindowTest, StatusLineNamesTheTableInUseAndWhyOneFailed) {
    WriteAllGroupTables(dir.Path());
    std::filesystem::remove(dir.Path() / "BD" / "male.dbf");
    WriteFileBytes(dir / "BD/boys.dbf", "not a table");
    // A header claiming 2^31-1 records: refused before a record is looked for.
    std::string girls = ReadFileBytes(dir / "BD/girls.dbf");
    girls.replace(4, 4, "\xFF\xFF\xFF\x7F");
    WriteFileBytes(dir / "BD/girls.dbf", girls);
    Open(kWomen, false);
    const auto status = [&] { return window->Text(res::kIdStatusLine); };
    EXPECT_EQ(status(), std::string(platform::AnsiText(u8"Папка данных: ").view()) + platform::PathText(dir.DataDirectory()) +
                            std::string(platform::AnsiText(u8"   Таблица: ").view()) + platform::PathText("BD\\female.dbf"));
    const std::string notOpened(platform::AnsiText(u8"Таблица признаков не открыта: ").view());
    // Each failure says where another folder is chosen.
    const std::string another(
        platform::AnsiText(u8" Другая папка данных: меню «Файл», «Открыть папку данных…» (Ctrl+O).").view());
    ASSERT_TRUE(Choose(kIdGroupList, kMen));
    EXPECT_EQ(status(), notOpened + platform::PathText(dir.DataDirectory() + "\\BD\\male.dbf") + " \x97 " +
                            std::string(platform::AnsiText(u8"файла нет.").view()) + another);
    ASSERT_TRUE(Choose(kIdGroupList, kBoys));
    EXPECT_EQ(status(), notOpened + platform::PathText(dir.DataDirectory() + "\\BD\\boys.dbf") + " \x97 " +
                            std::string(platform::AnsiText(u8"это не таблица признаков.").view()) + another);
    ASSERT_TRUE(Choose(kIdGroupList, kGirls));
    EXPECT_EQ(status(), notOpened + platform::PathText(dir.DataDirectory() + "\\BD\\girls.dbf") + " \x97 " +
                            std::string(platform::AnsiText(u8"таблица слишком велика.").view()) + another);
}

// The figures of a chart on pages: the whole lists at first, the count following every
// change, a range without figures not confirmed; a group without a third list offers none.
TEST(ChartRange, CountFollowsTheChoiceAndAnEmptyRangeIsNotConfirmed) {
    using res::kIdRangeHeightFrom, res::kIdRangeHeightTo, res::kIdRangeThirdFrom, res::kIdRangeCount;
    TempDir dir;
    WriteAllGroupTables(dir.Path());
    figures::FigureLists women, nursery;
    ASSERT_TRUE(figures::ListFigures(dir.DataDirectory(), figures::FigureGroup::Women, 0, women));
    ASSERT_TRUE(figures::ListFigures(dir.DataDirectory(), figures::FigureGroup::Nursery, 0, nursery));
    const auto counted = [](int figures, int pages) {
        return std::string(platform::AnsiText(u8"Фигур: ").view()) + std::to_string(figures) +
               std::string(platform::AnsiText(u8", страниц A4: около ").view()) + std::to_string(pages);
    };
    int asked = 0;
    app::ChartRangeDialog dialog(women, "T19", [&asked](const figures::FigureRange&) { return ++asked; });
    auto window = OpenTestWindow(dialog);
    EXPECT_EQ(window->Entries(kIdRangeHeightTo), Numbers(134, 200, 6));
    EXPECT_EQ(window->Selection(kIdRangeHeightTo), 11);
    EXPECT_EQ(window->Text(kIdRangeCount), counted(women.Count({}), 1));

    ASSERT_TRUE(window->ChooseText(kIdRangeHeightFrom, "158"));
    ASSERT_TRUE(window->ChooseText(kIdRangeHeightTo, "170"));
    const figures::FigureRange range{figures::ListSpan{158, 170}, {}, {}};
    EXPECT_EQ(window->Text(kIdRangeCount), counted(women.Count(range), 3));
    // From a larger height to a smaller one: said, and OK cannot be pressed.
    ASSERT_TRUE(window->ChooseText(kIdRangeHeightTo, "152"));
    EXPECT_EQ(window->Text(kIdRangeCount).rfind(platform::AnsiText(u8"Печатать нечего: ").view(), 0), 0u);
    EXPECT_FALSE(window->IsEnabled(platform::kIdOk));
    EXPECT_TRUE(window->IsOpen());
    ASSERT_TRUE(window->ChooseText(kIdRangeHeightTo, "170"));
    ASSERT_TRUE(window->Press(platform::kIdOk));
    EXPECT_FALSE(window->IsOpen());
    ASSERT_TRUE(dialog.Range().heights);
    EXPECT_EQ(dialog.Range().heights->to, 170);
    EXPECT_FALSE(dialog.Range().chests || dialog.Range().thirds);

    // Declared after its dialog, the window goes first: it closes the dialog it runs.
    app::ChartRangeDialog noThird(nursery, "", {});
    const auto thirdless = OpenTestWindow(noThird);
    EXPECT_FALSE(thirdless->IsEnabled(kIdRangeThirdFrom));
    EXPECT_TRUE(thirdless->Entries(kIdRangeThirdFrom).empty());
    EXPECT_EQ(thirdless->Text(kIdRangeCount), std::string(platform::AnsiText(u8"Фигур: ").view()) +
                                                  std::to_string(nursery.Count({})));
}

}  // namespace
}  // namespace kelvo::test
