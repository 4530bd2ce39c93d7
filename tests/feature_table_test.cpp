// The dBASE III reader: what it accepts, what it refuses, and what each field read returns,
// reading each field from the file and from the copy of the file read at Open alike.

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using tables::FeatureTable;
using test::TempDir;

// Two columns (a 6-character name, a 4-character number) and the given records.
tables::TableContents SmallSpec(std::vector<std::vector<std::string>> records) {
    tables::TableContents contents;
    contents.fields = {{"NAME", 'C', 6, 0}, {"NUM", 'N', 4, 0}};
    contents.records = std::move(records);
    return contents;
}

// Parameter: whether the reader keeps the table in memory.
class FeatureTableTest : public ::testing::TestWithParam<bool> {
protected:
    FeatureTableTest() { table.KeepInMemory(GetParam()); }

    // Writes `bytes` as a table file and opens it.
    bool OpenBytes(const std::string& bytes) {
        test::WriteFileBytes(dir / "t.dbf", bytes);
        return table.Open(Path());
    }
    std::string Path() const { return dir.DataDirectory() + "\\t.dbf"; }
    std::string Read(int record, int column, bool expected = true) {
        std::string text = "stale";
        EXPECT_EQ(table.ReadField(record, column, text), expected) << record << "," << column;
        return text;
    }
    void SetUint32(std::string& bytes, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
    void SetUint16(std::string& bytes, std::size_t at, unsigned value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>(value >> 8);
    }

    TempDir dir;
    FeatureTable table;
};

TEST_P(FeatureTableTest, FieldsAreReturnedExactlyAsStored) {
    tables::TableContents contents = SmallSpec({{"Rost", "1"}, {"Grud", "16"}, {"Talia", "18"}});
    contents.deleted = {false, true, false};  // a deleted record reads like any other
    ASSERT_TRUE(OpenBytes(tables::BuildTable(contents)));
    EXPECT_TRUE(table.IsOpen());
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.ColumnCount(), 2);
    EXPECT_EQ(Read(0, 0), "Rost  ");  // a name keeps its trailing blanks
    EXPECT_EQ(Read(0, 1), "   1");    // a number keeps its leading blanks
    EXPECT_EQ(Read(1, 0), "Grud  ");
    EXPECT_EQ(Read(2, 1), "  18");
    EXPECT_EQ(Read(-5, 1, false), "");  // a negative record is refused
}

// The reader converts the path once when it opens the table; every field read after that
// must still find the file the Windows-built name stands for, whatever signs the folders
// hold (Cyrillic, and signs that Windows-1251 lacks).
TEST_P(FeatureTableTest, FieldsAreReadUnderAnyFolderNamedTheWindowsWay) {
    for (const char* name : {"Таблицы", "日本"}) {
        const std::filesystem::path folder = dir.Path() / std::filesystem::path(name);
        std::filesystem::create_directory(folder);
        test::WriteFileBytes(folder / "t.dbf", tables::BuildTable(SmallSpec({{"a", "1"}, {"b", "16"}})));
        ASSERT_TRUE(table.Open(dir.DataDirectory() + "\\" + name + "\\t.dbf")) << name;
        EXPECT_EQ(Read(1, 1), "  16");
        EXPECT_EQ(Read(0, 0), "a     ");
    }
}

TEST_P(FeatureTableTest, IndicesOutsideTheTableFailWithEmptyText) {
    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{"a", "1"}, {"b", "2"}}))));
    EXPECT_EQ(Read(2, 0, false), "");  // index equal to the record count
    EXPECT_EQ(Read(0, 2, false), "");  // index equal to the column count
    EXPECT_EQ(Read(-1, 0, false), "");
    EXPECT_EQ(Read(1, -3), "b     ");  // a negative column is column 0
}

// A number is the parse of the field's text wherever it comes from; the numbers parsed from
// a copy belong to the table open, not to the one opened before it under the same name.
TEST_P(FeatureTableTest, NumbersAreTheirFieldsParsed) {
    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{"-2.5x", " 1.5"}, {"", "16"}}))));
    std::string text = "stale";
    EXPECT_EQ(table.ReadNumber(0, 1, text), 1.5);
    EXPECT_EQ(text, " 1.5");
    EXPECT_EQ(table.ReadNumber(0, 1), 1.5);
    EXPECT_EQ(table.ReadNumber(0, -1), -2.5);  // a negative column is column 0
    EXPECT_EQ(table.ReadNumber(1, 0, text), 0.0);
    EXPECT_EQ(table.ReadNumber(2, 1, text), 0.0);  // outside the table: no text, 0
    EXPECT_EQ(text, "");
    EXPECT_EQ(table.ReadNumber(0, 2), 0.0);

    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{"7", "  42"}}))));
    EXPECT_EQ(table.ReadNumber(0, 1), 42.0);
    EXPECT_EQ(table.ReadNumber(1, 1), 0.0);
}

TEST_P(FeatureTableTest, VersionBytesWithBothLowBitsSetAreAccepted) {
    for (const int version : {0x03, 0x83, 0x30, 0x02, 0xF5, 0x00, 0x07}) {
        tables::TableContents contents = SmallSpec({{"a", "1"}});
        contents.version = static_cast<unsigned char>(version);
        EXPECT_EQ(OpenBytes(tables::BuildTable(contents)), (version & 3) == 3) << std::hex << version;
    }
}

TEST_P(FeatureTableTest, TableWithoutColumnsOrRecordsOpens) {
    tables::TableContents noColumns;
    noColumns.records = {{}};
    ASSERT_TRUE(OpenBytes(tables::BuildTable(noColumns)));
    EXPECT_EQ(table.ColumnCount(), 0);
    EXPECT_EQ(Read(0, 0, false), "");

    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({}))));
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(Read(0, 0, false), "");
}

TEST_P(FeatureTableTest, FileEndingRightAfterTheTerminatorOpens) {
    tables::TableContents contents = SmallSpec({});
    contents.endOfFileByte = false;
    const std::string bytes = tables::BuildTable(contents);
    ASSERT_EQ(bytes.back(), 0x0D);
    EXPECT_TRUE(OpenBytes(bytes));
}

TEST_P(FeatureTableTest, FileEndingInsideTheDescriptorsIsRefused) {
    const std::string bytes = tables::BuildTable(SmallSpec({}));
    EXPECT_FALSE(OpenBytes(bytes.substr(0, 64)));  // at a descriptor boundary
    EXPECT_FALSE(OpenBytes(bytes.substr(0, 50)));  // in the middle of one
    EXPECT_FALSE(OpenBytes(bytes.substr(0, 32)));  // right after the header
    EXPECT_FALSE(OpenBytes(bytes.substr(0, 11)));  // shorter than the header values
    EXPECT_FALSE(OpenBytes(""));
    EXPECT_FALSE(table.IsOpen());
}

TEST_P(FeatureTableTest, ZeroLengthFieldReadsAsEmptyText) {
    tables::TableContents contents = SmallSpec({{"a", "1"}});
    contents.fields.insert(contents.fields.begin() + 1, {"EMPTY", 'C', 0, 0});
    contents.records[0].insert(contents.records[0].begin() + 1, "");
    ASSERT_TRUE(OpenBytes(tables::BuildTable(contents)));
    EXPECT_EQ(Read(0, 1), "");
    EXPECT_EQ(Read(0, 2), "   1");
}

TEST_P(FeatureTableTest, ZeroByteEndsTheText) {
    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{std::string("ab\0cd", 5), "1"}}))));
    EXPECT_EQ(Read(0, 0), "ab");
}

TEST_P(FeatureTableTest, LongFieldsAreReadWhole) {
    tables::TableContents contents;
    contents.fields = {{"LONG", 'C', 200, 0}, {"NUM", 'N', 4, 0}};
    contents.records = {{std::string(200, 'x'), "16"}};
    ASSERT_TRUE(OpenBytes(tables::BuildTable(contents)));
    EXPECT_EQ(Read(0, 0), std::string(200, 'x'));
    EXPECT_EQ(Read(0, 1), "  16");
}

TEST_P(FeatureTableTest, FailedOpenClosesTheTableOpenBefore) {
    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{"a", "1"}}))));
    EXPECT_FALSE(table.Open(dir.DataDirectory() + "\\missing.dbf"));
    EXPECT_FALSE(table.IsOpen());
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(Read(0, 0, false), "");
    EXPECT_FALSE(table.Open(dir.DataDirectory()));  // a folder is no table
}

// The file read at each field read shows every change; the copy keeps the table of Open.
TEST_P(FeatureTableTest, DeletedFileStaysOpenAndFailsTheReadsOfTheFileOnly) {
    ASSERT_TRUE(OpenBytes(tables::BuildTable(SmallSpec({{"a", "1"}, {"b", "2"}}))));
    std::filesystem::remove(dir / "t.dbf");
    EXPECT_TRUE(table.IsOpen());
    EXPECT_EQ(table.RecordCount(), 2);
    if (GetParam())
        EXPECT_EQ(Read(1, 0), "b     ");
    else
        EXPECT_EQ(Read(0, 0, false), "");
}

TEST_P(FeatureTableTest, TruncatedFileFailsTheFieldsPastItsEndUnlessCopied) {
    const std::string bytes = tables::BuildTable(SmallSpec({{"a", "1"}, {"b", "2"}}));
    ASSERT_TRUE(OpenBytes(bytes));
    test::WriteFileBytes(dir / "t.dbf", bytes.substr(0, bytes.size() - 6));
    EXPECT_EQ(Read(0, 1), "   1");
    EXPECT_EQ(Read(1, 1, GetParam()), GetParam() ? "   2" : "");
}

TEST_P(FeatureTableTest, RepeatedOpensAndReadsLeakNoDescriptors) {
    const std::string bytes = tables::BuildTable(SmallSpec({{"a", "1"}}));
    test::WriteFileBytes(dir / "t.dbf", bytes);
    std::string text;
    // Far beyond the usual limit of 1024 descriptors per process.
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(table.Open(Path()));
        ASSERT_TRUE(table.ReadField(0, 1, text));
        ASSERT_FALSE(table.Open(Path() + ".missing"));
    }
}

// Headers that cannot describe their file are refused, so no loop runs over records that
// do not exist and no length reaches past the record.
TEST_P(FeatureTableTest, HostileHeadersAreRefused) {
    const std::string good = tables::BuildTable(SmallSpec({{"a", "1"}, {"b", "2"}}));
    ASSERT_TRUE(OpenBytes(good));

    std::string bytes = good;
    SetUint32(bytes, 4, 0x7FFFFFFF);  // record count far beyond the file
    EXPECT_FALSE(OpenBytes(bytes));
    bytes = good;
    SetUint32(bytes, 4, 0xFFFFFFFF);  // negative as a signed count
    EXPECT_FALSE(OpenBytes(bytes));
    bytes = good;
    SetUint16(bytes, 10, 0);          // record length 0
    EXPECT_FALSE(OpenBytes(bytes));
    bytes = good;
    SetUint16(bytes, 8, 0xFFFF);      // header length beyond the file
    EXPECT_FALSE(OpenBytes(bytes));
    bytes = good;
    SetUint16(bytes, 10, 5);          // the fields (6 + 4 bytes) do not fit the record
    EXPECT_FALSE(OpenBytes(bytes));
    bytes = good;
    bytes.resize(bytes.size() - 4);   // cut in the middle of the last record
    EXPECT_FALSE(OpenBytes(bytes));
    EXPECT_FALSE(table.IsOpen());
}

// The window's status line and kelvo-cli tell the user which of these it was.
TEST_P(FeatureTableTest, FailureSaysWhyTheLastOpenFailed) {
    using tables::OpenFailure;
    EXPECT_EQ(table.Failure(), OpenFailure::None);
    EXPECT_FALSE(table.Open(dir.DataDirectory() + "\\missing.dbf"));
    EXPECT_EQ(table.Failure(), OpenFailure::Missing);
    EXPECT_FALSE(table.Open(dir.DataDirectory()));
    EXPECT_EQ(table.Failure(), OpenFailure::NotATable);
    EXPECT_FALSE(OpenBytes("\x30"));
    EXPECT_EQ(table.Failure(), OpenFailure::NotATable);

    // A sparse file claiming one record more than the limit, and one at the limit.
    std::string bytes = tables::BuildTable(SmallSpec({}));
    bytes.pop_back();  // the end-of-file byte
    const std::size_t headerLength = bytes.size();
    for (const std::int32_t count : {FeatureTable::kMaxRecords + 1, FeatureTable::kMaxRecords}) {
        SetUint32(bytes, 4, static_cast<std::uint32_t>(count));
        test::WriteFileBytes(dir / "t.dbf", bytes);
        std::filesystem::resize_file(dir / "t.dbf", headerLength + static_cast<std::size_t>(count) * 11);
        EXPECT_EQ(table.Open(Path()), count == FeatureTable::kMaxRecords);
        EXPECT_EQ(table.Failure(), count == FeatureTable::kMaxRecords ? OpenFailure::None : OpenFailure::TooLarge);
    }
    EXPECT_EQ(table.RecordCount(), FeatureTable::kMaxRecords);

    ::chmod((dir / "t.dbf").c_str(), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(table.Open(Path()));
        EXPECT_EQ(table.Failure(), OpenFailure::NoPermission);
        return;
    }
    // Root reads every file: the refusal is seen from a child that gave its rights up.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        FeatureTable own;
        const bool refused = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
                             !own.Open(Path()) && own.Failure() == OpenFailure::NoPermission;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_P(FeatureTableTest, FieldLengthsAboveOneHundredTwentySevenAreUnsigned) {
    tables::TableContents contents;
    contents.fields = {{"WIDE", 'C', 255, 0}, {"NUM", 'N', 4, 0}};
    contents.records = {{std::string(255, 'w'), "7"}};
    ASSERT_TRUE(OpenBytes(tables::BuildTable(contents)));
    EXPECT_EQ(Read(0, 0).size(), 255u);
    EXPECT_EQ(Read(0, 1), "   7");
}

INSTANTIATE_TEST_SUITE_P(FileAndMemoryCopy, FeatureTableTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) { return param.param ? "InMemory" : "FromFile"; });

}  // namespace
}  // namespace kelvo
