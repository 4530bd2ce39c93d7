// kelvo-cli --make-table and --dump-table: what a CSV source becomes in the table, the
// sources refused with every fault named and nothing written, the bundled tables and the
// templates passing the same check, and the way back from a table to its source.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tests/data/bundled_window.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

namespace fs = std::filesystem;

// A nursery source: the key features of the bundled table's base figure, 80-48.
constexpr const char* kNurseryHeader = "name,number,per_height,per_chest,base\n";
constexpr const char* kNurseryKeys =
    "Рост,1,6.0,0.0,80.0\nОбхват груди третий,16,0.0,4.0,48.0\nОбхват талии,18,0.0,3.0,47.0\n";

struct BundledSource {
    const char* file;  // data/<file>.csv, BD/<file>.dbf
    const char* group;
    std::uint64_t dbfHash;  // of the table as the window has always read it
};

const BundledSource kBundled[] = {
    {"yasly", "nursery", 0x1bd2c0cbf22c89a4ull}, {"girls", "girls", 0x7b2c4a8a9f756b3eull}, {"boys", "boys", 0xa73d7c79172bee64ull},
    {"female", "women", 0x842af64bf84979abull},  {"male", "men", 0xaad4a403c25bbea3ull},
};

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

class MakeTable : public ::testing::Test {
protected:
    // kelvo-cli with `args`; true when it succeeds. Its messages go to `messages`.
    bool Cli(const std::string& args) {
        const std::string command = "'" KELVO_CLI "' " + args + " 2>'" + (dir / "messages").string() + "'";
        const int status = std::system(command.c_str());
        messages = ReadFileBytes(dir / "messages");
        return status == 0;
    }
    bool Make(const std::string& csv, const std::string& group = "nursery") {
        WriteFileBytes(source, csv);
        return Cli("--make-table " + group + " '" + source.string() + "' '" + target.string() + "'");
    }

    std::string Field(int record, int column) {
        tables::FeatureTable table;
        std::string text;
        if (table.Open(target.string())) table.ReadField(record, column, text);
        return text;
    }

    TempDir dir;
    fs::path source = dir / "source.csv";
    fs::path target = (fs::create_directories(dir / "BD"), dir / "BD" / "table.dbf");
    std::string messages;
};

TEST_F(MakeTable, StoresNamesInCodePage866AndNumbersRightAligned) {
    // As a spreadsheet saves it: byte-order mark, CR LF, a quoted name with a comma, the
    // template's comments and an empty line of commas.
    ASSERT_TRUE(Make("\xEF\xBB\xBF# Шаблон,,,,\r\n\"# name, number\",,,,\r\n"
                     "name,number,per_height,per_chest,base\r\n"
                     "Рост,1,6,0,80\r\n"
                     "\"Обхват \"\"шеи\"\", спереди\",13,-0.6,0.0,21.0\r\n"
                     ",,,,\r\n"
                     "Обхват груди третий,16,0.0,4.0,48.0\r\nОбхват талии,18,0.0,3.0,47.0\r\n"))
        << messages;
    tables::FeatureTable table;
    ASSERT_TRUE(table.Open(target.string()));
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(table.ColumnCount(), 5);
    const std::string longest = platform::Utf8ToOem("Обхват \"шеи\", спереди");
    EXPECT_EQ(Field(1, 0), longest);
    EXPECT_EQ(Field(0, 0), platform::Utf8ToOem("Рост") + std::string(longest.size() - 4, ' '));
    EXPECT_EQ(Field(0, 1), "  1");
    EXPECT_EQ(Field(0, 2), "     6.0");
    EXPECT_EQ(Field(1, 2), "    -0.6");
    EXPECT_EQ(table.FieldName(2), "PER_HEIGHT");
    // Without a source column there is no side file, and none left from before.
    EXPECT_FALSE(fs::exists(dir / "BD" / "table.src"));
}

struct RefusedSource {
    const char* why;
    const char* rows;  // after the nursery header
    const char* message;  // where the message must point, and what it says
};

void PrintTo(const RefusedSource& s, std::ostream* os) { *os << s.why; }

class RefusedSources : public MakeTable, public ::testing::WithParamInterface<RefusedSource> {};

TEST_P(RefusedSources, WriteNothingAndNameRowColumnAndValue) {
    WriteFileBytes(target, "old");
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + kNurseryKeys + GetParam().rows));
    EXPECT_NE(messages.find(std::string("source.csv:") + GetParam().message), std::string::npos) << messages;
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "BD"), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RefusedSources,
    ::testing::Values(
        RefusedSource{"a column missing", "Шея,13,1.0,1.0\n", "5: найдено 4 столбцов, ожидалось 5"},
        // The program would take its base figure from whichever record comes later.
        RefusedSource{"a feature twice", "Рост,1,6.0,0.0,80.0\n", "5: столбец 2 (number): найдено 1 второй раз"},
        RefusedSource{"two decimals", "Шея,13,0.25,0.0,1.0\n", "5: столбец 3 (per_height): найдено «0.25»"},
        RefusedSource{"an exponent", "Шея,13,1e2,0.0,1.0\n", "5: столбец 3 (per_height): найдено «1e2»"},
        RefusedSource{"a lettered number", "Впрп,34а,1.0,0.0,1.0\n", "5: столбец 2 (number): найдено «34а»"},
        RefusedSource{"a character 866 lacks", "Рост €,3,1.0,0.0,1.0\n",
                      "5: столбец 1 (name): найдено «Рост €», ожидалось название из знаков кодовой страницы 866"},
        RefusedSource{"an unclosed quote", "\"Шея,13,1.0,0.0,1.0\n", "5: найдено кавычка без пары"},
        RefusedSource{"a source cell naming no column", "Шея,13,1.0,0.0,1.0,W\n", "5: найдено 6 столбцов"}));

TEST_F(MakeTable, NamesEveryFaultAgainstTheGroupsGridWithRowColumnFoundAndExpected) {
    std::string men = ReadFileBytes(fs::path(KELVO_DATA_SOURCES) / "templates" / "men.csv");
    const auto replace = [&men](const std::string& from, const std::string& to) {
        const auto at = men.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        men.replace(at, from.size(), to);
    };
    replace("Рост,1,6.0,0.0,0.0,176.0,176.0,176.0", "Рост,1,6.0,0.0,0.0,176.0,176.0,175.0");  // base height
    replace("Обхват талии,18,0.0,4.0,4.0,82.0", "Обхват талии,18,0.0,3.0,4.0,80.0");  // increment, waist
    men += "Обхват шеи ☺,13,0.4,0.4,0.4,38.0,38.0,38.0,38.0,38.0,38.0,38.0,38.0,38.0,38.0,M\n";
    EXPECT_FALSE(Make(men, "Мужчины"));
    EXPECT_NE(messages.find("source.csv:15: столбец 8 (base_w2): найдено 175.0, ожидалось рост из списка T1: 146, "
                            "152, 158, 164, 170, 176, 182, 188, 194, 200, 206, 212\n"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("source.csv:17: столбец 4 (per_size): найдено 3.0, ожидалось 4.0 (талия растёт на 4 "
                            "см с каждым шагом груди)\n"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("source.csv:17: столбец 6 (base_w0): найдено 80.0, ожидалось 82.0"), std::string::npos);
    EXPECT_NE(messages.find("source.csv:18: столбец 1 (name): найдено «Обхват шеи ☺»"), std::string::npos);
    EXPECT_NE(messages.find("ошибок в " + source.string() + ": 4\n"), std::string::npos) << messages;
    EXPECT_FALSE(fs::exists(target));

    EXPECT_FALSE(Make(std::string(kNurseryHeader) + "Рост,1,6.0,0.0,80.0\nОбхват талии,18,0.0,3.0,47.0\n"));
    EXPECT_NE(messages.find("source.csv: столбец 2 (number): найдено ни одной строки с номером 16, ожидалось одна "
                            "строка признака 16\n"),
              std::string::npos)
        << messages;
    // A base figure the grid does not offer: nursery height 80 has chest girths 48 and 52.
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + "Рост,1,6.0,0.0,80.0\nОбхват груди третий,16,0.0,4.0,44.0\n" +
                      "Обхват талии,18,0.0,3.0,43.0\n"));
    EXPECT_NE(messages.find("найдено 44.0, ожидалось обхват груди, который список T16 даёт при росте 80: 48, 52"),
              std::string::npos)
        << messages;
}

TEST_F(MakeTable, SourceColumnBecomesTheSideFileAndAStaleOneGoes) {
    ASSERT_TRUE(Make(std::string("name,number,per_height,per_chest,base,source\n") +
                     "Рост,1,6.0,0.0,80.0,N\nОбхват груди третий,16,0.0,4.0,48.0,N base=illustrative\n"
                     "Обхват талии,18,0.0,3.0,47.0,\n"))
        << messages;
    EXPECT_EQ(ReadFileBytes(dir / "BD" / "table.src"),
              "# feature source [column=source ...]; the sources: sources.txt\n1 N\n16 N 4=illustrative\n");
    EXPECT_FALSE(Make(std::string("name,number,per_height,per_chest,base,source\n") + kNurseryKeys +
                      "Шея,13,1.0,0.0,1.0,W nobase=M\n"));
    EXPECT_NE(messages.find("source.csv:5: столбец 6 (source): найдено «nobase=M»"), std::string::npos) << messages;
    ASSERT_TRUE(Make(std::string(kNurseryHeader) + kNurseryKeys));
    EXPECT_FALSE(fs::exists(dir / "BD" / "table.src"));
}

// The bundled tables are what they always were, pass the check, and come back from their
// dump byte for byte, side files included; so do the templates a designer starts from.
TEST_F(MakeTable, BundledTablesPassTheCheckAndSurviveTheirDump) {
    const fs::path bundled = fs::path(KELVO_BUNDLED_DATA) / "BD";
    for (const BundledSource& t : kBundled) {
        SCOPED_TRACE(t.file);
        const std::string table = ReadFileBytes(bundled / (std::string(t.file) + ".dbf"));
        EXPECT_EQ(Fnv1a(table), t.dbfHash);
        const fs::path csv = dir / (std::string(t.file) + ".csv");
        ASSERT_TRUE(Cli("--dump-table '" + (bundled / (std::string(t.file) + ".dbf")).string() + "' '" +
                        csv.string() + "'"))
            << messages;
        EXPECT_EQ(ReadFileBytes(csv), ReadFileBytes(fs::path(KELVO_DATA_SOURCES) / (std::string(t.file) + ".csv")));
        ASSERT_TRUE(Cli(std::string("--make-table ") + t.group + " '" + csv.string() + "' '" + target.string() + "'"))
            << messages;
        EXPECT_EQ(ReadFileBytes(target), table);
        EXPECT_EQ(ReadFileBytes(dir / "BD" / "table.src"), ReadFileBytes(bundled / (std::string(t.file) + ".src")));

        const fs::path templateFile = fs::path(KELVO_DATA_SOURCES) / "templates" / (std::string(t.group) + ".csv");
        EXPECT_TRUE(Cli(std::string("--make-table ") + t.group + " '" + templateFile.string() + "' '" +
                        target.string() + "'"))
            << messages;
    }
}

TEST_F(MakeTable, RefusedSourceLeavesThePreviousTableAlone) {
    ASSERT_TRUE(Make(std::string(kNurseryHeader) + kNurseryKeys));
    const std::string before = ReadFileBytes(target);
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + kNurseryKeys + "Шея,13,x,0.0,1.0\n"));
    EXPECT_EQ(ReadFileBytes(target), before);
}

}  // namespace
}  // namespace kelvo::test
