// kelvo-cli on generated tables: what it prints, its exit codes and its messages.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

struct CliRun {
    int exitCode;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }

    // Runs kelvo-cli with `args` (shell words) on the fixture tables.
    CliRun Kelvo(const std::string& args, bool withData = true) {
        const std::string err = (dir / "stderr").string();
        std::string command = std::string(KELVO_CLI) + (withData ? " --data '" + dir.DataDirectory() + "'" : "") +
                              " " + args + " 2>'" + err + "'";
        CliRun run{};
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = test::ReadFileBytes(err);
        return run;
    }
    // The value column of the feature row (line 3 of the TSV: header, records 0 and 1).
    std::string FeatureValue(const CliRun& run) {
        std::size_t line = 0, at = 0;
        while (line < 3 && (at = run.out.find('\n', at) + 1) != 0) ++line;
        std::string cells = run.out.substr(at, run.out.find('\n', at) - at);
        for (int column = 0; column < 2; ++column) cells.erase(0, cells.find('\t') + 1);
        return cells.substr(0, cells.find('\t'));
    }

    test::TempDir dir;
};

TEST_F(Cli, PrintsTheResultListAsTabSeparatedUtf8) {
    const CliRun run = Kelvo("--group 4 --format tsv");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_TRUE(run.out.starts_with("Номер\tНаименование размерного признака\tЗначение\tМ/Рост\tМ/Размер\n"));
    // Texts as the table stores them: the name's trailing blanks and the numbers' leading ones.
    const std::string row = "       1\tРост" + std::string(36, ' ') + "\t146.0\t     6.0\t        \n";
    EXPECT_NE(run.out.find(row), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 5);
}

TEST_F(Cli, WorkedExamplesOfEveryGroup) {
    EXPECT_EQ(FeatureValue(Kelvo("--group Мальчики --age 1 --height 134 --chest 64 --waist 60")), "52.8");
    EXPECT_EQ(FeatureValue(Kelvo("--group 2 --age 'Младшая школьная' --height 134 --chest 64 --waist 60")), "52.8");
    EXPECT_EQ(FeatureValue(Kelvo("--group 3 --height 170 --chest 100 --hip 104")), "41.8");
    EXPECT_EQ(FeatureValue(Kelvo("--height 170 --chest 100 --hip=100")), "39.8");  // Women without --group
    EXPECT_EQ(FeatureValue(Kelvo("--group Мужчины --height 188 --chest 96 --waist 78")), "45.7");
    EXPECT_EQ(FeatureValue(Kelvo("--group 0 --height 74 --chest 48")), "28.5");
}

TEST_F(Cli, CsvQuotesWhereRfc4180Asks) {
    tables::TableContents contents = test::MenTable();
    contents.records[2][0] = "Шея, \"обхват\"";
    contents.records[2][0] = platform::Utf8ToOem("Шея, \"обхват\"");
    test::WriteGroupTable(dir.Path(), "male.dbf", contents);
    const CliRun run = Kelvo("--group 4 --format csv");
    EXPECT_NE(run.out.find(",\"Шея, \"\"обхват\"\"") , std::string::npos) << run.out;
    // The cells without the blanks the table pads its fields with, so a CSV reader gets the
    // numbers and names the list shows.
    EXPECT_NE(run.out.find("\r\n1,Рост,146.0,6.0,\r\n"), std::string::npos) << run.out;
}

TEST_F(Cli, TableFormatAlignsColumns) {
    const CliRun run = Kelvo("--group 4 --format table");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("Номер     Наименование"), std::string::npos) << run.out;
}

// With a side file beside the table: a source column only when asked for, so that scripts
// reading five columns keep working; a terminal table marks the illustrative rows anyway.
TEST_F(Cli, SourcesAsALastColumnOnlyWithTheOptionAndMarkedInATable) {
    test::WriteFileBytes(dir / "BD" / "male.src", "1 M\n2 illustrative\n16 M\n18 M\n");
    const std::string plain = Kelvo("--group 4 --format tsv").out;
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\t'), 5 * 4);
    const CliRun tsv = Kelvo("--group 4 --format tsv --sources");
    EXPECT_TRUE(tsv.out.starts_with("Номер\tНаименование размерного признака\tЗначение\tМ/Рост\tМ/Размер\tИсточник\n"));
    EXPECT_NE(tsv.out.find("\t     6.0\t        \tM\n"), std::string::npos) << tsv.out;
    EXPECT_NE(Kelvo("--group 4 --format csv --sources").out.find(",illustrative\r\n"), std::string::npos);
    const CliRun table = Kelvo("--group 4 --format table");
    EXPECT_NE(table.out.find("1.1  *\n"), std::string::npos) << table.out;
    EXPECT_TRUE(table.out.ends_with("* иллюстративное значение: выведено для правдоподобия, ни из какого стандарта "
                                    "не взято\n"));
    std::filesystem::remove(dir / "BD" / "male.src");
    EXPECT_EQ(Kelvo("--group 4 --format table").out.find('*'), std::string::npos);
}

TEST_F(Cli, ValueNotOfferedNamesTheListAndItsEntries) {
    const CliRun run = Kelvo("--group 4 --height 150");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("«T1»"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("146, 152, 158"), std::string::npos) << run.err;
    EXPECT_EQ(Kelvo("--group Взрослые").exitCode, 2);
    EXPECT_EQ(Kelvo("--group 1 --age 4").exitCode, 2);
}

TEST_F(Cli, OptionsThatDoNotApplyOrAreUnknownShowTheUsage) {
    for (const char* args : {"--group 2 --hip 60", "--group 3 --waist 80", "--group 0 --waist 50",
                             "--group 4 --age 1", "--colour red", "--group 4 --waist 66 --hip 66",
                             "--format xml", "--height"}) {
        const CliRun run = Kelvo(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        EXPECT_NE(run.err.find("Использование"), std::string::npos) << args;
    }
}

TEST_F(Cli, MissingTableNamesThePathTried) {
    std::filesystem::remove(dir / "BD" / "boys.dbf");
    const CliRun run = Kelvo("--group 2");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find((dir / "BD" / "boys.dbf").string()), std::string::npos) << run.err;
}

TEST_F(Cli, ExportWritesTheSameBytesAsTheButtonAndReportsFailures) {
    const CliRun run = Kelvo("--group 3 --export");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::ReadFileBytes(dir / "table.txt"),
              "       1 134.0\r\n      16 42.0\r\n       2 27.4\r\n      19 76.0\r\n");
    std::filesystem::remove(dir / "table.txt");
    std::filesystem::create_directory(dir / "table.txt");
    const CliRun failed = Kelvo("--group 3 --export");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.out.empty());
    // The path as the system writes it, with its own separator.
    EXPECT_NE(failed.err.find((dir / "table.txt").string() + ":"), std::string::npos) << failed.err;
}

// A folder named with signs Windows-1251 lacks is used as named: not a folder of '?' that
// happens to exist beside it.
TEST_F(Cli, DataFolderWithSignsOutsideWindows1251IsUsedAsNamed) {
    for (const char* name : {"日本", "??"}) {
        test::WriteAllGroupTables(dir / name);
        test::WriteFileBytes(dir / name / "table.txt", "old");
    }
    const CliRun run = Kelvo("--data '" + (dir / "日本").string() + "' --group 3 --export", false);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(test::ReadFileBytes(dir / "日本" / "table.txt"), "old");
    EXPECT_EQ(test::ReadFileBytes(dir / "??" / "table.txt"), "old");

    std::filesystem::remove(dir / "日本" / "BD" / "female.dbf");
    const CliRun missing = Kelvo("--data '" + (dir / "日本").string() + "' --group 3", false);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find((dir / "日本" / "BD" / "female.dbf").string()), std::string::npos) << missing.err;
}

// Refused for size, with the reason, not as an unreadable table.
TEST_F(Cli, TableBeyondTheRecordLimitIsTooLarge) {
    std::string bytes = tables::BuildTable(test::WomenTable());
    const std::uint32_t count = tables::FeatureTable::kMaxRecords + 1;
    for (std::size_t i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>(count >> (8 * i));
    test::WriteFileBytes(dir / "BD" / "female.dbf", bytes);
    std::filesystem::resize_file(dir / "BD" / "female.dbf", bytes.size() + std::uintmax_t{count} * 400);
    const CliRun run = Kelvo("--group 3");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("female.dbf слишком велика: в ней больше 200000 записей"), std::string::npos) << run.err;
}

TEST_F(Cli, GroupByDigitCaptionOrEnglishNameInAnyCase) {
    for (const char* group : {"4", "Мужчины", "мужчины", "МУЖЧИНЫ", "men", "Men", "MEN"})
        EXPECT_EQ(FeatureValue(Kelvo(std::string("--group ") + group + " --height 188 --chest 96 --waist 78")), "45.7")
            << group;
    EXPECT_EQ(FeatureValue(Kelvo("--group NURSERY --height 74 --chest 48")), "28.5");
    const CliRun unknown = Kelvo("--group adults");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("0-4, Ясельная nursery, Девочки girls, Мальчики boys, Женщины women, Мужчины men"),
              std::string::npos) << unknown.err;
}

TEST_F(Cli, HelpAndVersion) {
    EXPECT_NE(Kelvo("--help", false).out.find("Использование"), std::string::npos);
    EXPECT_EQ(Kelvo("-h", false).out, Kelvo("--help", false).out);
    EXPECT_EQ(Kelvo("--version", false).out, "kelvo-cli 1.0.0.1\n");
}

TEST_F(Cli, NearestPrintsThreeFiguresAndSelectsTheFirst) {
    const CliRun run = Kelvo("--group women --nearest --height 164 --chest 96 --hip 106 --feature 2=45 --format tsv");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Место\tT1\tT16\tT19\tРасстояние\tT1: разница\tT16: разница\tT19: разница\tT2\tT2: разница\n"
              "1\t164\t96\t108\t0.50\t+0.0\t+0.0\t-2.0\t45.0\t+0.0\n"
              "2\t158\t96\t108\t1.22\t+6.0\t+0.0\t-2.0\t44.4\t+0.6\n"
              "3\t170\t96\t108\t1.22\t-6.0\t+0.0\t-2.0\t45.6\t-0.6\n");
    EXPECT_EQ(Kelvo("--group women --nearest --height 164 --chest 96 --hip 106 --feature 2=45 --select").out,
              Kelvo("--group women --height 164 --chest 96 --hip 108").out);
    // Girls and boys in every age group unless one is named.
    EXPECT_NE(Kelvo("--group boys --nearest --height 146 --format tsv").out.find("\tМладшая школьная\t146\t"),
              std::string::npos);
    EXPECT_EQ(Kelvo("--group boys --age 2 --nearest --height 146 --select").out,
              Kelvo("--group boys --age 2 --height 146").out);

    for (const char* bad : {"--group women --nearest --height 110", "--group men --nearest --chest 100 --feature 99=1",
                            "--group men --nearest --chest 100 --feature 7", "--group men --nearest",
                            "--group men --nearest --chest wide", "--group men --feature 7=1",
                            "--group boys --nearest --age 9 --height 120",
                            // Weighed by its step, a feature far from every figure outweighs them all;
                            // a number given twice would count twice.
                            "--group women --nearest --height 164 --feature 2=1e200",
                            "--group women --nearest --height 164 --feature '2=44;2=46'",
                            "--group women --nearest --height 164 --feature 2=44 --feature 2=46"}) {
        const CliRun refused = Kelvo(bad);
        EXPECT_EQ(refused.exitCode, 2) << bad;
        EXPECT_TRUE(refused.out.empty()) << bad;
        EXPECT_FALSE(refused.err.empty()) << bad;
    }
    EXPECT_NE(Kelvo("--group women --nearest --height 110").err.find("T1 = 110"), std::string::npos);
}

// Options as users and scripts write them: --name=value for every option with a value, a
// flag given a value named as such; ranges in the lists' own numbers only, blanks around
// them alike; --output into a pipe.
TEST_F(Cli, OptionsAreTakenAsWrittenOrRefusedWithTheReason) {
    EXPECT_EQ(Kelvo("--group=women --height=164 --chest=96 --hip=104").out, Kelvo("--group women --height 164 --chest 96 --hip 104").out);
    const CliRun flag = Kelvo("--group women --export=1");
    EXPECT_EQ(flag.exitCode, 2);
    EXPECT_NE(flag.err.find("у --export не бывает значения"), std::string::npos) << flag.err;

    const std::string chart = (dir / "chart.csv").string();
    ASSERT_EQ(Kelvo("--group women --chart '" + chart + "' --heights 158-170").exitCode, 0);
    const std::string plain = test::ReadFileBytes(chart);
    ASSERT_EQ(Kelvo("--group women --chart '" + chart + "' --heights ' 158 - 170 '").exitCode, 0);
    EXPECT_EQ(test::ReadFileBytes(chart), plain);
    for (const char* range : {"0x9E-0xAA", "1.58e2-1.7e2", "+158-170", "158.0-170"})
        EXPECT_EQ(Kelvo("--group women --chart '" + chart + "' --heights '" + range + "'").exitCode, 2) << range;
    const CliRun third = Kelvo("--group nursery --chart '" + chart + "' --thirds 50-60");
    EXPECT_NE(third.err.find("(его у группы нет)"), std::string::npos) << third.err;

    const CliRun piped = Kelvo("--group women --output /dev/stdout | cat");
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, Kelvo("--group women").out);
}

// Without its PDF module beside it (a copy of the program alone) --pdf is a file that could
// not be written, exit 1, not a wrong option.
TEST_F(Cli, PdfWithoutItsModuleIsAFailureToWrite) {
    std::filesystem::create_directories(dir / "alone" / "bin");
    std::filesystem::copy_file(KELVO_CLI, dir / "alone" / "bin" / "kelvo-cli");
    const std::string command = (dir / "alone" / "bin" / "kelvo-cli").string() + " --data '" + dir.DataDirectory() +
                                "' --group women --pdf '" + (dir / "sheet.pdf").string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_FALSE(std::filesystem::exists(dir / "sheet.pdf"));
}

// A script that runs `kelvo-cli ... > out && next` must not go on when the output was lost.
TEST_F(Cli, OutputLostToAFullDiskIsAFailure) {
    for (const char* args : {"--group 4", "--group 4 --format csv", "--help", "--version"}) {
        const CliRun run = Kelvo(std::string(args) + " >/dev/full");
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_NE(run.err.find("вывод не записан"), std::string::npos) << args << run.err;
    }
}

}  // namespace
}  // namespace kelvo
