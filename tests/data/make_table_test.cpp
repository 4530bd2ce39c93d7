// make_table: what a CSV source becomes in the table, and the sources it refuses without
// leaving a table behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

class MakeTable : public ::testing::Test {
protected:
    // Runs make_table on `csv`; true when it succeeds. Its messages go to `messages`.
    bool Run(const std::string& csv, int columns = 3) {
        WriteFileBytes(source, csv);
        const std::string command = "'" KELVO_MAKE_TABLE "' --columns " + std::to_string(columns) + " '" +
                                    source.string() + "' '" + target.string() + "' 2>'" +
                                    (dir / "messages").string() + "'";
        const int status = std::system(command.c_str());
        messages = ReadFileBytes(dir / "messages");
        return status == 0;
    }

    std::string Field(int record, int column) {
        tables::FeatureTable table;
        std::string text;
        if (table.Open(target.string())) table.ReadField(record, column, text);
        return text;
    }

    TempDir dir;
    std::filesystem::path source = dir / "source.csv";
    std::filesystem::path target = dir / "BD" / "table.dbf";
    std::string messages;
};

TEST_F(MakeTable, StoresNamesInCodePage866AndNumbersRightAligned) {
    // As a spreadsheet saves it: byte-order mark, CR LF, a quoted name with a comma.
    ASSERT_TRUE(Run("\xEF\xBB\xBFname,number,per_height\r\n"
                    "Рост,1,6\r\n"
                    "\"Обхват \"\"шеи\"\", спереди\",13,-0.6\r\n"
                    "\r\n",
                    3))
        << messages;
    tables::FeatureTable table;
    ASSERT_TRUE(table.Open(target.string()));
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.ColumnCount(), 3);
    const std::string longest = platform::Utf8ToOem("Обхват \"шеи\", спереди");
    EXPECT_EQ(Field(1, 0), longest);
    EXPECT_EQ(Field(0, 0), platform::Utf8ToOem("Рост") + std::string(longest.size() - 4, ' '));
    EXPECT_EQ(Field(0, 1), "  1");
    EXPECT_EQ(Field(0, 2), "     6.0");
    EXPECT_EQ(Field(1, 2), "    -0.6");
    EXPECT_FALSE(std::filesystem::exists(target.string() + ".tmp"));
}

struct RefusedSource {
    const char* why;
    const char* csv;
    const char* line;  // where the message must point
};

void PrintTo(const RefusedSource& s, std::ostream* os) { *os << s.why; }

class RefusedSources : public MakeTable, public ::testing::WithParamInterface<RefusedSource> {};

TEST_P(RefusedSources, WriteNoTableAndNameTheLine) {
    EXPECT_FALSE(Run(GetParam().csv));
    EXPECT_NE(messages.find(std::string("source.csv:") + GetParam().line + ":"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(target.string() + ".tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RefusedSources,
    ::testing::Values(
        RefusedSource{"a column missing", "name,number,base\nРост,1,6.0\nШея,13\n", "3"},
        // The program would take its base figure from whichever record comes later.
        RefusedSource{"a feature twice", "name,number,base\nРост,1,6.0\nРост,1,7.0\n", "3"},
        RefusedSource{"two decimals", "name,number,base\nРост,1,0.25\n", "2"},
        RefusedSource{"an exponent", "name,number,base\nРост,1,1e2\n", "2"},
        RefusedSource{"a lettered number", "name,number,base\nВпрп,34а,1.0\n", "2"},
        RefusedSource{"a character 866 lacks", "name,number,base\nРост €,1,1.0\n", "2"},
        RefusedSource{"an unclosed quote", "name,number,base\n\"Рост,1,1.0\n", "3"},
        RefusedSource{"no field name", "name,number,base value\nРост,1,1.0\n", "1"}));

TEST_F(MakeTable, RefusedSourceLeavesThePreviousTableAlone) {
    ASSERT_TRUE(Run("name,number,base\nРост,1,6.0\n"));
    const std::string before = ReadFileBytes(target);
    EXPECT_FALSE(Run("name,number,base\nРост,1,x\n"));
    EXPECT_EQ(ReadFileBytes(target), before);
}

}  // namespace
}  // namespace kelvo::test
