// The selection dispatch, cell by cell: which step each handler runs under each group.

#include <gtest/gtest.h>

#include "app/figure_dialog.h"
#include "figures/compute_frame.h"
#include "figures/group_registry.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using namespace res;
using platform::headless::HeadlessWindow;

enum class Step { Nothing, FillChildLists, FillThirdList, FillChestList, Compute };

const char* Name(Step step) {
    static const char* names[] = {"nothing", "fill the child lists", "fill the third list",
                                  "fill the chest list", "compute"};
    return names[static_cast<int>(step)];
}

using Handler = void (app::FigureDialog::*)();

class Dispatch : public ::testing::Test {
protected:
    // Opens `group` and makes every list's selection something other than its first entry,
    // so that a refill shows as a selection back at 0; a row is clicked so that the reset
    // of the selected row shows.
    void Prepare(int group) {
        test::WriteAllGroupTables(dir.Path());
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dir.DataDirectory());
        window = std::make_unique<HeadlessWindow>(dialog);
        const bool child = group == 1 || group == 2;
        ASSERT_TRUE(!child || window->Choose(kIdAgeList, 1));
        ASSERT_TRUE(group == 0 ? window->ChooseText(kIdHeightList, "74") : window->Choose(kIdHeightList, 1));
        ASSERT_TRUE(window->Choose(kIdChestList, 1));
        ASSERT_TRUE(group == 0 || window->Choose(kIdThirdList, 1));
        ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
        ASSERT_EQ(dialog.SelectedRow(), 1);
    }

    Step Run(Handler handler) {
        const int height = window->Selection(kIdHeightList);
        const int chest = window->Selection(kIdChestList);
        const int third = window->Selection(kIdThirdList);
        const int items = window->ItemCount(kIdResultList);
        (dialog.*handler)();
        EXPECT_EQ(dialog.SelectedRow(), -1);
        if (dialog.Results().GetSize() == 0) {
            EXPECT_EQ(window->ItemCount(kIdResultList), items) << "a step that ran nothing touched the list";
            return Step::Nothing;
        }
        if (window->Selection(kIdHeightList) != height) return Step::FillChildLists;
        if (window->Selection(kIdChestList) != chest) return Step::FillChestList;
        if (window->Selection(kIdThirdList) != third) return Step::FillThirdList;
        return Step::Compute;
    }

    test::TempDir dir;
    app::FigureDialog dialog;
    std::unique_ptr<HeadlessWindow> window;
};

struct Cell {
    Handler handler;
    const char* name;
    Step steps[5];  // Nursery, Girls, Boys, Women, Men
};

const Cell kTable[] = {
    {&app::FigureDialog::OnAgeGroupChange, "OnAgeGroupChange",
     {Step::Nothing, Step::FillChildLists, Step::FillChildLists, Step::Nothing, Step::Nothing}},
    {&app::FigureDialog::OnHeightChange, "OnHeightChange",
     {Step::FillChestList, Step::Compute, Step::Compute, Step::Compute, Step::Compute}},
    {&app::FigureDialog::OnChestChange, "OnChestChange",
     {Step::Compute, Step::FillThirdList, Step::FillThirdList, Step::FillThirdList, Step::FillThirdList}},
    {&app::FigureDialog::OnThirdChange, "OnThirdChange",
     {Step::Nothing, Step::Compute, Step::Compute, Step::Compute, Step::Compute}},
};

TEST_F(Dispatch, EveryHandlerRunsItsGroupsStep) {
    for (const Cell& cell : kTable) {
        for (int group = 0; group < 5; ++group) {
            SCOPED_TRACE(std::string(cell.name) + " under group " + std::to_string(group));
            window.reset();
            Prepare(group);
            const Step step = Run(cell.handler);
            EXPECT_EQ(step, cell.steps[group]) << Name(step) << " instead of " << Name(cell.steps[group]);
        }
    }
}

TEST_F(Dispatch, NothingCellsLeaveTheComputedFlagAndListsAlone) {
    Prepare(3);
    const auto heights = window->Entries(kIdHeightList);
    dialog.OnAgeGroupChange();
    EXPECT_TRUE(dialog.IsComputed());
    EXPECT_EQ(window->Entries(kIdHeightList), heights);
    EXPECT_EQ(window->ItemCount(kIdResultList), 4);
}

TEST_F(Dispatch, NoGroupDisablesAndEmptiesTheLists) {
    test::WriteAllGroupTables(dir.Path());
    dialog.SetInitialGroup(7);
    dialog.SetDataDirectory(dir.DataDirectory());
    HeadlessWindow w(dialog);
    EXPECT_EQ(w.Selection(kIdGroupList), -1);
    for (const int id : {kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList}) EXPECT_FALSE(w.IsEnabled(id));
    EXPECT_EQ(w.Text(kIdThirdLabel), "T18/T19");
    EXPECT_EQ(w.Entries(kIdAgeList).size(), 4u);
    EXPECT_TRUE(w.Entries(kIdHeightList).empty());
    EXPECT_FALSE(dialog.IsComputed());
    EXPECT_EQ(dialog.SelectedRow(), -1);
    for (const Cell& cell : kTable) (dialog.*cell.handler)();
    EXPECT_EQ(w.ItemCount(kIdResultList), 0);
    EXPECT_FALSE(dialog.IsComputed());
    // Choosing a group then brings the lists back.
    ASSERT_TRUE(w.Choose(kIdGroupList, 4));
    EXPECT_TRUE(w.IsEnabled(kIdHeightList));
    EXPECT_TRUE(dialog.IsComputed());
}

TEST_F(Dispatch, StaleNurseryIndicesBeyondTheGridComputeNothing) {
    // Men's lists stay when the nursery table is missing; a height beyond the six grid rows
    // must not read past the grid.
    test::WriteAllGroupTables(dir.Path());
    std::filesystem::remove(dir.Path() / "BD" / "yasly.dbf");
    dialog.SetInitialGroup(4);
    dialog.SetDataDirectory(dir.DataDirectory());
    HeadlessWindow w(dialog);
    ASSERT_TRUE(w.Choose(kIdGroupList, 0));
    ASSERT_TRUE(w.Choose(kIdHeightList, 11));
    EXPECT_TRUE(w.Entries(kIdChestList).empty());
    EXPECT_FALSE(dialog.IsComputed());
    ASSERT_TRUE(w.Choose(kIdHeightList, 2));  // inside the grid: the table is closed, no rows
    EXPECT_EQ(w.Entries(kIdChestList), (std::vector<std::string>{"44", "48"}));
    EXPECT_TRUE(dialog.IsComputed());
    EXPECT_EQ(w.ItemCount(kIdResultList), 0);
}

TEST_F(Dispatch, OpeningLoadsTheInitialGroupOnce) {
    test::WriteAllGroupTables(dir.Path());
    dialog.SetInitialGroup(2);
    dialog.SetDataDirectory(dir.DataDirectory());
    HeadlessWindow w(dialog);
    EXPECT_EQ(w.Selection(kIdGroupList), 2);
    EXPECT_TRUE(dialog.IsComputed());
    EXPECT_EQ(w.ItemCount(kIdResultList), 4);
    EXPECT_EQ(w.iconsSet, (std::vector<std::pair<int, bool>>{{kIconMain, true}, {kIconMain, false}}));
    EXPECT_TRUE(w.List(kIdResultList).GetExtendedStyle() & platform::ListView::kFullRowSelect);
    const auto& columns = w.List(kIdResultList).Columns();
    ASSERT_EQ(columns.size(), 5u);
    const int widths[] = {50, 340, 67, 64, 67};
    for (std::size_t c = 0; c < 5; ++c) EXPECT_EQ(columns[c].width, widths[c]);
    EXPECT_EQ(w.FocusId(), kIdGroupList);  // the first in tab order
}

// The registry's facts about each group are what its steps do to the window: a new group's
// row that says otherwise fails here.
TEST_F(Dispatch, RegistryRowsDescribeWhatEachGroupsLoadDoes) {
    test::WriteAllGroupTables(dir.Path());
    dialog.SetDataDirectory(dir.DataDirectory());
    HeadlessWindow w(dialog);
    const auto captions = w.Entries(kIdGroupList);
    ASSERT_EQ(captions.size(), figures::Groups().size());
    for (const figures::GroupEntry& group : figures::Groups()) {
        const int index = static_cast<int>(group.group);
        SCOPED_TRACE(index);
        EXPECT_EQ(captions[static_cast<std::size_t>(index)], group.caption);
        ASSERT_TRUE(w.Choose(kIdGroupList, index));
        EXPECT_TRUE(dialog.IsComputed());
        EXPECT_EQ(w.IsEnabled(kIdAgeList), group.hasAgeGroups);
        EXPECT_EQ(w.IsEnabled(kIdThirdList), group.hasThirdList);
        EXPECT_EQ(w.Text(kIdThirdLabel), group.hasThirdList ? figures::ThirdCaption(group.third) : "T18/T19");
        // Rows follow the records: the third key row shows the registry's third feature.
        EXPECT_EQ(figures::ParseFeatureNumber(dialog.Results()[dialog.Keys()[2]].cells[0]),
                  figures::ThirdFeature(group.third));
    }
}

TEST_F(Dispatch, MinimisedWindowDrawsItsIconCentred) {
    Prepare(3);
    window->Minimise(true);
    window->Paint();
    EXPECT_EQ(window->iconDrawnAt, (std::vector<std::pair<int, int>>{{(160 - 32 + 1) / 2, (24 - 32 + 1) / 2}}));
    window->Minimise(false);
    window->Paint();
    EXPECT_EQ(window->defaultPaints, 1);
    EXPECT_EQ(dialog.OnQueryDragIcon(), kIconMain);
}

}  // namespace
}  // namespace kelvo
