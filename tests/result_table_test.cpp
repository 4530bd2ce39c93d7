// The result rows: growth by the size / 8 rule, release on emptying, and the list display.

#include <gtest/gtest.h>

#include "platform/model_controls.h"
#include "results/result_table.h"
#include "results/value_input.h"

namespace kelvo {
namespace {

using results::ResultTable;

TEST(ResultTableGrowth, AppendingGrowsByTheSizeOverEightRule) {
    ResultTable table;
    std::vector<int> capacities;
    for (int i = 0; i < 128; ++i) {
        table.Append().cells[0] = std::to_string(i);
        if (capacities.empty() || capacities.back() != table.GetCapacity()) capacities.push_back(table.GetCapacity());
    }
    const std::vector<int> expected{1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51, 57, 64, 72, 81, 91, 102, 114, 128};
    EXPECT_EQ(capacities, expected);
    for (int i = 0; i < 128; ++i) ASSERT_EQ(table[i].cells[0], std::to_string(i));  // moved, not lost
}

TEST(ResultTableGrowth, LargeTablesGrowByAtMostOneThousandTwentyFour) {
    ResultTable table;
    table.SetSize(20000);
    table.SetSize(20001);
    EXPECT_EQ(table.GetCapacity(), 21024);
}

TEST(ResultTableGrowth, AppendingMovesTheRowsALogarithmicNumberOfTimes) {
    // Each time row 0 changes address, every row so far was moved. Growing the storage by
    // the capacity rule itself moved them 147 times for 100000 rows, each 1024 rows
    // past 8192: quadratic in the rows. Doubling storage moves them 18 times.
    ResultTable table;
    const results::ResultRow* storage = nullptr;
    int moves = 0;
    for (int i = 0; i < 100000; ++i) {
        table.Append().cells[0] = std::to_string(i);
        if (&table[0] != storage) ++moves;
        storage = &table[0];
    }
    EXPECT_LE(moves, 40);
    EXPECT_EQ(table.GetCapacity(), 100839);  // the capacity rule itself is unchanged
    EXPECT_EQ(table[0].cells[0], "0");
    EXPECT_EQ(table[99999].cells[0], "99999");
}

TEST(ResultTableGrowth, EmptyingReleasesTheStorage) {
    ResultTable table;
    for (int i = 0; i < 10; ++i) table.Append();
    table.SetSize(0);
    EXPECT_EQ(table.GetSize(), 0);
    EXPECT_EQ(table.GetCapacity(), 0);
    table.Append();
    EXPECT_EQ(table.GetCapacity(), 1);
}

TEST(ResultTableGrowth, ShrinkingKeepsTheCapacityAndNewRowsAreEmpty) {
    ResultTable table;
    table.SetSize(5);
    table[4].cells[2] = "x";
    table.SetSize(3);
    EXPECT_EQ(table.GetCapacity(), 5);
    table.SetSize(5);
    EXPECT_EQ(table[4].cells[2], "");
}

TEST(ResultTableGrowth, GrowthStepArgumentOverridesTheRule) {
    ResultTable table;
    table.SetSize(1, 10);
    table.SetSize(2);
    EXPECT_EQ(table.GetCapacity(), 11);
}

TEST(ResultListDisplay, ShowsCellsZeroToFourAndSelectsNothing) {
    platform::ModelListView list;
    for (int c = 0; c < 5; ++c) list.InsertColumn(c, "c", 10);
    ResultTable table;
    for (int i = 0; i < 3; ++i) {
        auto& row = table.Append();
        for (int c = 0; c < 6; ++c) row.cells[static_cast<std::size_t>(c)] = std::to_string(i) + ":" + std::to_string(c);
    }
    list.InsertItem(0, "stale");
    list.SetSelected(0, true);
    results::ShowRows(list, table);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetNextSelected(-1), -1);
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(list.GetItemText(i, c), std::to_string(i) + ":" + std::to_string(c));

    results::ShowRows(list, ResultTable());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(ValueInput, SignDigitsAndOneSeparator) {
    std::string stored = "kept";
    for (const char* refused : {"", "  ", "+", "1e3", "1..2", "0x10", "5-", "\xB3\xC0"})
        EXPECT_FALSE(results::StoredValue(refused, stored)) << refused;
    EXPECT_EQ(stored, "kept");
    const std::pair<const char*, const char*> accepted[] = {
        {"160", "160"}, {"+5", "+5"}, {",5", ".5"}, {"5.", "5."}, {"\t-0,25 ", "-0.25"}};
    for (const auto& [typed, expected] : accepted) {
        ASSERT_TRUE(results::StoredValue(typed, stored)) << typed;
        EXPECT_EQ(stored, expected);
    }
}

}  // namespace
}  // namespace kelvo
