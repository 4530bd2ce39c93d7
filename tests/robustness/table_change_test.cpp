// A group's table that changes between its load step and a compute step: deleted, cut,
// replaced by another table, by garbage, by a longer table or by a FIFO. The compute step
// keeps the record count and the offsets taken at load and reads whatever the file now
// holds there; it never crashes and never waits.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "tests/robustness/group_tables.h"

namespace kelvo {
namespace {

using test::kWomen;
using test::ShownRows;

constexpr std::size_t kNameLength = 40, kNumberLength = 8;  // the fixture tables' fields
constexpr int kRecords = 4;

class TableChange : public test::WindowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Open(GetParam());
        path = test::GroupTablePath(dir, GetParam());
        original = test::ReadFileBytes(path);
        headerLength = Unsigned16(original, 8);
        recordLength = Unsigned16(original, 10);
        // The figure at the second height, read while the table is intact.
        ASSERT_TRUE(Choose(res::kIdHeightList, 1));
        intact = test::ReadShownRows(*window);
        ASSERT_EQ(intact.size(), static_cast<std::size_t>(kRecords));
        ASSERT_TRUE(Choose(res::kIdHeightList, 0));
    }
    // The compute step again, on whatever the file now is.
    ShownRows Recompute() {
        EXPECT_TRUE(Choose(res::kIdHeightList, 1));
        return test::ReadShownRows(*window);
    }
    static std::size_t Unsigned16(const std::string& bytes, std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) | static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    }
    // Where the reader looks for record r's column c (0 name, 1 number, 2 height increment).
    std::size_t Offset(int record, int column) const {
        std::size_t offset = headerLength + 1 + static_cast<std::size_t>(record) * recordLength;
        if (column > 0) offset += kNameLength + kNumberLength * static_cast<std::size_t>(column - 1);
        return offset;
    }
    // The number and height increment cells must be the bytes at the offsets of load time.
    void ExpectCellsFrom(const std::string& bytes, const ShownRows& rows) {
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRecords));
        for (int r = 0; r < kRecords; ++r) {
            const auto& row = rows[static_cast<std::size_t>(r)];
            EXPECT_EQ(row[0], test::FieldAt(bytes, Offset(r, 1), kNumberLength)) << "row " << r;
            EXPECT_EQ(row[3], test::FieldAt(bytes, Offset(r, 2), kNumberLength)) << "row " << r;
            EXPECT_FALSE(row[2].empty());
        }
    }

    std::filesystem::path path;
    std::string original;
    std::size_t headerLength = 0, recordLength = 0;
    ShownRows intact;
};

const std::array<std::string, 5> kUnreadRow{"", "", "0.0", "", ""};

TEST_P(TableChange, DeletedTableGivesEmptyRowsOfZero) {
    std::filesystem::remove(path);
    EXPECT_EQ(Recompute(), ShownRows(kRecords, kUnreadRow));
    EXPECT_TRUE(dialog.IsComputed());
}

TEST_P(TableChange, TruncatedTableEmptiesTheFieldsPastItsEnd) {
    // Cut right behind record 2's name: its number and everything after it are gone.
    test::WriteFileBytes(path, original.substr(0, Offset(2, 1)));
    const ShownRows rows = Recompute();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRecords));
    EXPECT_EQ(rows[0], intact[0]);
    EXPECT_EQ(rows[1], intact[1]);
    EXPECT_EQ(rows[2][1], intact[2][1]);
    EXPECT_EQ(rows[2][0], "");
    EXPECT_EQ(rows[2][2], "0.0");
    EXPECT_EQ(rows[3], kUnreadRow);
}

TEST_P(TableChange, OtherTableIsReadAtTheOffsetsOfLoadTime) {
    // Another layout: the women's table has more columns, so its records start elsewhere.
    const std::string other =
        tables::BuildTable(GetParam() == kWomen ? test::ChildTable() : test::WomenTable());
    ASSERT_NE(Unsigned16(other, 8), headerLength);
    test::WriteFileBytes(path, other);
    ExpectCellsFrom(other, Recompute());
}

TEST_P(TableChange, GarbageIsReadAtTheOffsetsOfLoadTime) {
    std::mt19937 random(7);
    for (const std::size_t size : {original.size(), original.size() / 2, std::size_t{3}}) {
        std::string garbage(size, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        test::WriteFileBytes(path, garbage);
        ExpectCellsFrom(garbage, Recompute());
        ASSERT_TRUE(Choose(res::kIdHeightList, 0));
    }
}

TEST_P(TableChange, LongerTableShowsOnlyTheRecordCountOfLoadTime) {
    // The same layout with six new records in front: the window shows the first four.
    const int group = GetParam();
    tables::TableContents longer = group == kWomen          ? test::WomenTable()
                               : group == test::kMen     ? test::MenTable()
                               : group == test::kNursery ? test::NurseryTable()
                                                         : test::ChildTable();
    std::vector<std::vector<std::string>> records;
    for (int i = 0; i < 6; ++i) {
        records.push_back(longer.records[2]);
        records.back()[1] = std::to_string(100 + i);
    }
    longer.records.insert(longer.records.begin(), records.begin(), records.end());
    const std::string bytes = tables::BuildTable(longer);
    ASSERT_GT(bytes.size(), original.size());
    test::WriteFileBytes(path, bytes);
    const ShownRows rows = Recompute();
    ExpectCellsFrom(bytes, rows);
    EXPECT_EQ(rows[0][0], "     100");
}

TEST_P(TableChange, FifoInsteadOfTheTableIsReadAsMissing) {
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(Recompute(), ShownRows(kRecords, kUnreadRow));
    // And a FIFO at load is no table: the lists stay as they were.
    ASSERT_TRUE(Choose(res::kIdGroupList, GetParam() == kWomen ? test::kMen : kWomen));
    ASSERT_TRUE(Choose(res::kIdGroupList, GetParam()));
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(dialog.IsComputed());
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, TableChange, ::testing::Range(0, 5),
                         test::GroupCaseName);

}  // namespace
}  // namespace kelvo
