// kelvo-cli --make-table and --dump-table: what a CSV source becomes in the table, the
// sources refused with every fault named and nothing written, the bundled tables and the
// templates passing the same check, and the way back from a table to its source.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tables/table_writer.h"
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
    const std::string rows = GetParam().rows ? GetParam().rows : "Шея,13," + std::string(100000, 'x') + ",0.0,1.0\n";
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + kNurseryKeys + rows));
    EXPECT_LT(messages.size(), 2000u);
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
        RefusedSource{"a source cell naming no column", "Шея,13,1.0,0.0,1.0,W\n", "5: найдено 6 столбцов"},
        // 866 has them, 1251 does not: the list would show '?' and the dump change the table.
        RefusedSource{"a sign 1251 lacks", "Шея √ ═,13,1.0,0.0,1.0\n", "5: столбец 1 (name): найдено «Шея √ ═»"},
        RefusedSource{"a control character", "Шея\x1B[31m,13,1.0,0.0,1.0\n", "5: столбец 1 (name): найдено «Шея\\x1B[31m»"},
        RefusedSource{"a value only nearly one decimal", "Шея,13,3.3000001,0.0,1.0\n",
                      "5: столбец 3 (per_height): найдено «3.3000001»"},
        // A 200 MB cell would be echoed whole: the first 60 signs, and how many there are.
        RefusedSource{"a long bad cell", nullptr, "5: столбец 3 (per_height): найдено «xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx… (100000 знаков)»"}));

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

// A file read is never a file written, under any name: before anything is written.
TEST_F(MakeTable, AnOutputThatIsTheInputIsRefusedBeforeAnythingIsWritten) {
    const std::string csv = std::string("# my notes\n") + kNurseryHeader + kNurseryKeys;
    WriteFileBytes(source, csv);
    fs::create_symlink(source, dir / "link.dbf");
    fs::create_hard_link(source, dir / "hard.dbf");
    for (const fs::path& out : {source, dir / "link.dbf", dir / "hard.dbf", dir / "source.dbf"}) {
        SCOPED_TRACE(out);
        // source.dbf's side file is source.src: not the CSV; the CSV named as a side file is.
        if (out == dir / "source.dbf") {
            fs::copy_file(source, dir / "source.src");
            EXPECT_FALSE(Cli("--make-table nursery '" + (dir / "source.src").string() + "' '" + out.string() + "'"));
            EXPECT_EQ(ReadFileBytes(dir / "source.src"), csv);
            EXPECT_FALSE(fs::exists(out));
            continue;
        }
        EXPECT_FALSE(Cli("--make-table nursery '" + source.string() + "' '" + out.string() + "'"));
        EXPECT_NE(messages.find("записать в него нельзя"), std::string::npos) << messages;
        EXPECT_EQ(ReadFileBytes(source), csv);
    }
    ASSERT_TRUE(Make(csv));
    const std::string table = ReadFileBytes(target);
    EXPECT_FALSE(Cli("--dump-table '" + target.string() + "' '" + target.string() + "'"));
    WriteFileBytes(dir / "BD" / "table.src", "1 N\n");
    EXPECT_FALSE(Cli("--dump-table '" + target.string() + "' '" + (dir / "BD" / "table.src").string() + "'"));
    EXPECT_EQ(ReadFileBytes(target), table);
    EXPECT_EQ(ReadFileBytes(dir / "BD" / "table.src"), "1 N\n");
}

// The table and its side file are one change: a side file that cannot be written leaves the
// old table; a table reached through a link gets its side file beside it; runs at once on
// one output never end with one run's table and another's side file.
TEST_F(MakeTable, TheTableAndItsSideFileChangeTogether) {
    const std::string withSources = std::string("name,number,per_height,per_chest,base,source\n") +
                                    "Рост,1,6.0,0.0,80.0,N\nОбхват груди третий,16,0.0,4.0,48.0,N\n"
                                    "Обхват талии,18,0.0,3.0,47.0,N\n";
    ASSERT_TRUE(Make(std::string(kNurseryHeader) + kNurseryKeys));
    const std::string before = ReadFileBytes(target);
    WriteFileBytes(dir / "BD" / "table.src", "1 OLD\n");
    fs::permissions(dir / "BD" / "table.src", fs::perms::owner_read);
    EXPECT_FALSE(Make(withSources));
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(ReadFileBytes(dir / "BD" / "table.src"), "1 OLD\n");
    fs::permissions(dir / "BD" / "table.src", fs::perms::owner_all);
    // The side file written, then the table refused (read-only): the old side file comes back.
    fs::permissions(target, fs::perms::owner_read);
    EXPECT_FALSE(Make(withSources));
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(ReadFileBytes(dir / "BD" / "table.src"), "1 OLD\n");
    EXPECT_FALSE(fs::exists(dir / "BD" / "table.src.old"));
    fs::permissions(target, fs::perms::owner_all);

    // Through a link: the side file goes where the table goes, none beside the link.
    fs::create_directories(dir / "elsewhere");
    fs::create_symlink(target, dir / "elsewhere" / "linked.dbf");
    ASSERT_TRUE(Cli("--make-table nursery '" + (WriteFileBytes(source, withSources), source).string() + "' '" +
                    (dir / "elsewhere" / "linked.dbf").string() + "'")) << messages;
    EXPECT_TRUE(fs::is_symlink(dir / "elsewhere" / "linked.dbf"));
    EXPECT_FALSE(fs::exists(dir / "elsewhere" / "linked.src"));
    EXPECT_NE(ReadFileBytes(dir / "BD" / "table.src").find("16 N"), std::string::npos);

    // Two designers' sources into one table, many times at once.
    const std::string other = std::string("name,number,per_height,per_chest,base,source\n") +
                              "Рост,1,6.0,0.0,80.0,M\nОбхват груди третий,16,0.0,4.0,48.0,M\n"
                              "Обхват талии,18,0.0,3.0,47.0,M\nШея,13,1.0,0.0,1.0,M\n";
    WriteFileBytes(dir / "a.csv", withSources);
    WriteFileBytes(dir / "b.csv", other);
    std::string script;
    for (int i = 0; i < 20; ++i)
        script += "'" KELVO_CLI "' --make-table nursery '" + (dir / (i % 2 ? "a.csv" : "b.csv")).string() + "' '" +
                  target.string() + "' & ";
    ASSERT_EQ(std::system((script + "wait").c_str()), 0);
    tables::FeatureTable table;
    ASSERT_TRUE(table.Open(target.string()));
    const std::string side = ReadFileBytes(dir / "BD" / "table.src");
    EXPECT_EQ(table.RecordCount() == 4, side.find("13 M") != std::string::npos) << side;
    EXPECT_EQ(table.RecordCount() == 3, side.find("16 N") != std::string::npos) << side;
    for (const auto& entry : fs::directory_iterator(dir / "BD"))
        EXPECT_TRUE(entry.path().extension() == ".dbf" || entry.path().extension() == ".src") << entry.path();
}

// Tables made elsewhere and sources saved by other programs: a '#' name and a blank record
// survive dump and make or are named; side-file columns make refuses are not dumped; CR-only
// line ends, UTF-16, a NUL, a pipe; a bad key cell named once.
TEST_F(MakeTable, WhatOtherProgramsWriteReadsBackOrIsNamed) {
    tables::TableContents made;
    made.fields = {{"NAME", 'C', 20, 0}, {"NUMBER", 'N', 3, 0}, {"PER_HEIGHT", 'N', 8, 1}, {"PER_CHEST", 'N', 8, 1},
                   {"BASE", 'N', 8, 1}};
    made.records = {{platform::Utf8ToOem("Рост"), "1", "6.0", "0.0", "80.0"},
                    {"#hash, comma", "13", "1.0", "0.0", "21.0"},
                    {platform::Utf8ToOem("Обхват груди третий"), "16", "0.0", "4.0", "48.0"},
                    {platform::Utf8ToOem("Обхват талии"), "18", "0.0", "3.0", "47.0"}};
    ASSERT_TRUE(tables::WriteTable(target.string(), made));
    WriteFileBytes(dir / "BD" / "table.src", "\xEF\xBB\xBF" "1 N 0=X 2=Y 9=Z\n16 N\n");
    ASSERT_TRUE(Cli("--dump-table '" + target.string() + "' '" + source.string() + "'")) << messages;
    const std::string dumped = ReadFileBytes(source);
    EXPECT_NE(dumped.find("\"#hash, comma\",13"), std::string::npos) << dumped;
    EXPECT_NE(dumped.find(",N per_height=Y\n"), std::string::npos) << dumped;
    ASSERT_TRUE(Cli("--make-table nursery '" + source.string() + "' '" + target.string() + "'")) << messages;
    EXPECT_EQ(Field(1, 0).substr(0, 13), "#hash, comma ");

    made.records.push_back({"", "", "", "", ""});  // a blank record: named, not lost
    ASSERT_TRUE(tables::WriteTable(target.string(), made));
    ASSERT_TRUE(Cli("--dump-table '" + target.string() + "' '" + source.string() + "'")) << messages;
    EXPECT_FALSE(Cli("--make-table nursery '" + source.string() + "' '" + target.string() + "'"));
    EXPECT_NE(messages.find("source.csv:6: столбец 1 (name)"), std::string::npos) << messages;

    std::string crOnly = std::string(kNurseryHeader) + kNurseryKeys;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    EXPECT_TRUE(Make(crOnly)) << messages;
    EXPECT_EQ(tables::FeatureTable().Open(target.string()), true);
    EXPECT_EQ(Field(2, 1), " 18");

    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string(kNurseryHeader)) utf16 += std::string{c, '\0'};
    EXPECT_FALSE(Make(utf16));
    EXPECT_NE(messages.find("найдено файл в UTF-16 или UTF-32, ожидалось текст в UTF-8: сохраните файл как UTF-8"),
              std::string::npos) << messages;
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + kNurseryKeys + std::string("Ше\0я,13,1.0,0.0,1.0\n", 21)));
    EXPECT_NE(messages.find("нулевой байт"), std::string::npos) << messages;

    // From a pipe: read to its end.
    WriteFileBytes(source, std::string(kNurseryHeader) + kNurseryKeys);
    EXPECT_TRUE(Cli("--make-table nursery /dev/stdin '" + target.string() + "' < '" + source.string() + "' ; cat '" +
                    source.string() + "' | '" KELVO_CLI "' --make-table nursery /dev/stdin '" + target.string() + "'"))
        << messages;

    // A key cell that is no number: once, with what it holds.
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + "Рост,1,x,0.0,80.0\nОбхват груди третий,16,0.0,4.0,48.0\n"
                                                     "Обхват талии,18,0.0,3.0,47.0\n"));
    EXPECT_NE(messages.find("найдено «x»"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("найдено ,"), std::string::npos) << messages;
}

// Increments other programs wrote as "1,5" and "0x1A": the list computes with what the C
// library reads (1 and 26), and a measurement file carries the same, not 1.5 and 0.
TEST_F(MakeTable, MeasurementFilesCarryTheIncrementsTheListComputedWith) {
    tables::TableContents made;
    made.fields = {{"NAME", 'C', 20, 0}, {"NUMBER", 'N', 3, 0}, {"PER_HEIGHT", 'N', 8, 1}, {"PER_CHEST", 'N', 8, 1},
                   {"BASE", 'N', 8, 1}};
    made.records = {{platform::Utf8ToOem("Рост"), "1", "6.0", "0.0", "80.0"},
                    {platform::Utf8ToOem("Шея"), "13", "1,5", "0x1A", "21.0"},
                    {platform::Utf8ToOem("Обхват груди третий"), "16", "0.0", "4.0", "48.0"},
                    {platform::Utf8ToOem("Обхват талии"), "18", "0.0", "3.0", "47.0"}};
    ASSERT_TRUE(tables::WriteTable((dir / "BD" / "yasly.dbf").string(), made));
    ASSERT_TRUE(Cli("--data '" + dir.Path().string() + "' --group nursery --format json > '" + (dir / "out.json").string() + "'"))
        << messages;
    const std::string json = ReadFileBytes(dir / "out.json");
    EXPECT_NE(json.find("\"height_increment\": 1, \"size_increment\": 26,"), std::string::npos) << json;
}

TEST_F(MakeTable, RefusedSourceLeavesThePreviousTableAlone) {
    ASSERT_TRUE(Make(std::string(kNurseryHeader) + kNurseryKeys));
    const std::string before = ReadFileBytes(target);
    EXPECT_FALSE(Make(std::string(kNurseryHeader) + kNurseryKeys + "Шея,13,x,0.0,1.0\n"));
    EXPECT_EQ(ReadFileBytes(target), before);
}

}  // namespace
}  // namespace kelvo::test
