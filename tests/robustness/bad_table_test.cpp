// Tables no one should ship, through the reader and through every group's window: each is
// refused or gives a defined result, at once and in memory bounded by the file's size.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "platform/codepage.h"
#include "tables/feature_table.h"
#include "tests/robustness/group_tables.h"

namespace kelvo {
namespace {

using namespace std::chrono_literals;
using test::kBoys;
using test::kGirls;
using test::kMen;
using test::kNursery;
using test::kWomen;

constexpr int kRefused = -1;
constexpr std::size_t kDescriptorSize = 32;

// What a bad table may cost the window: nothing may grow with what its header claims.
// AddressSanitizer makes every allocation and system call several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kTimeLimit = 1000ms;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr auto kTimeLimit = 1000ms;
#else
constexpr auto kTimeLimit = 100ms;
#endif
#else
constexpr auto kTimeLimit = 100ms;
#endif

// The women's fixture: 18 columns of 4 records, enough for every group's columns.
std::string GoodTable() { return tables::BuildTable(test::WomenTable()); }

void Put16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::function<std::string()> Patched(std::function<void(std::string&)> patch,
                                     std::function<std::string()> base = GoodTable) {
    return [patch, base] {
        std::string bytes = base();
        patch(bytes);
        return bytes;
    };
}

std::function<std::string()> WithVersion(unsigned char version) {
    return Patched([version](std::string& b) { b[0] = static_cast<char>(version); });
}

std::function<std::string()> WithFieldLength(std::size_t column, unsigned char length) {
    return Patched([column, length](std::string& b) {
        b[kDescriptorSize * (column + 1) + 16] = static_cast<char>(length);
    });
}

std::string EmptyTable() {
    tables::TableContents contents = test::FeatureTableSpec(2, {});
    contents.endOfFileByte = false;
    return tables::BuildTable(contents);
}

std::string NoColumnsFourRecords() {
    tables::TableContents contents;
    contents.records = {{}, {}, {}, {}};
    return tables::BuildTable(contents);
}

std::string WideNames() {
    tables::TableContents contents = test::WomenTable();
    contents.fields[0].length = 255;
    return tables::BuildTable(contents);
}

using test::ShownRows;

void NothingElse(const ShownRows&) {}

void HeightIncrementsEmpty(const ShownRows& rows) {
    // Every group's first figure reads its height increments from column 2.
    for (const auto& row : rows) EXPECT_EQ(row[3], "");
}

void NamesKeepAllTheirBytes(const ShownRows& rows) {
    for (const auto& row : rows) EXPECT_EQ(row[1].size(), 255u);
}

void EveryCellEmptyAndEveryValueZero(const ShownRows& rows) {
    for (const auto& row : rows) EXPECT_EQ(row, (std::array<std::string, 5>{"", "", "0.0", "", ""}));
}

struct BadTable {
    const char* name;
    std::function<std::string()> bytes;
    int records;  // kRefused when the reader refuses the table
    void (*check)(const ShownRows&) = NothingElse;
};

void PrintTo(const BadTable& bad, std::ostream* out) { *out << bad.name; }

const BadTable kBadTables[] = {
    {"EmptyFile", [] { return std::string(); }, kRefused},
    {"TwentyBytes", [] { return GoodTable().substr(0, 20); }, kRefused},
    {"Version00", WithVersion(0x00), kRefused},
    {"Version02", WithVersion(0x02), kRefused},
    {"Version30", WithVersion(0x30), kRefused},
    {"VersionF5", WithVersion(0xF5), kRefused},
    // Records would start inside the header and show its bytes as data.
    {"HeaderLengthZero", Patched([](std::string& b) { Put16(b, 8, 0); }), kRefused},
    {"HeaderLengthShortOfTheTerminator",
     Patched([](std::string& b) { Put16(b, 8, kDescriptorSize * 19); }), kRefused},
    {"HeaderLengthBeyondTheFile", Patched([](std::string& b) { Put16(b, 8, 0xFFFF); }), kRefused},
    {"DescriptorsWithoutTerminator", [] { return GoodTable().substr(0, kDescriptorSize * 19); }, kRefused},
    {"TerminatorOverwritten",
     Patched([](std::string& b) { b[kDescriptorSize * 19] = 'Z'; }), kRefused},
    {"FieldLengthZero", WithFieldLength(2, 0), 4, HeightIncrementsEmpty},
    {"FieldLength255BeyondTheRecord", WithFieldLength(0, 255), kRefused},
    {"FieldLength255", WideNames, 4, NamesKeepAllTheirBytes},
    {"FieldLengthsBeyondTheRecordLength", Patched([](std::string& b) { Put16(b, 10, 100); }), kRefused},
    {"RecordLengthZero", Patched([](std::string& b) { Put16(b, 10, 0); }), kRefused},
    {"RecordCountHugeInATinyFile", Patched([](std::string& b) { Put32(b, 4, 0x7FFFFFFF); }, EmptyTable),
     kRefused},
    {"CutMidRecord", [] { const std::string b = GoodTable(); return b.substr(0, b.size() - 100); }, kRefused},
    {"RecordsWithoutColumns", NoColumnsFourRecords, 4, EveryCellEmptyAndEveryValueZero},
};

using BadTableCase = std::tuple<BadTable, int>;

class BadTableInWindow : public test::WindowTest, public ::testing::WithParamInterface<BadTableCase> {};

TEST_P(BadTableInWindow, IsRefusedOrGivesOneRowPerRecord) {
    const auto& [bad, group] = GetParam();
    const std::string bytes = bad.bytes();
    test::WriteGroupBytes(dir, group, bytes);
    // The code-page tables are built on first use, once per process: not the table's cost.
    platform::AnsiToUtf8(platform::OemToAnsi(bytes));
    const auto start = std::chrono::steady_clock::now();

    tables::FeatureTable table;
    ASSERT_EQ(table.Open(test::GroupTablePath(dir, group).string()), bad.records != kRefused);
    EXPECT_EQ(table.RecordCount(), std::max(bad.records, 0));
    // What the reader holds is bounded by the file: one descriptor per 32 bytes.
    EXPECT_LE(static_cast<std::size_t>(table.ColumnCount()) * kDescriptorSize, bytes.size());
    std::string text;
    for (int r = 0; r < table.RecordCount(); ++r)
        for (int c = 0; c < table.ColumnCount(); ++c) EXPECT_TRUE(table.ReadField(r, c, text)) << r << "," << c;

    Open(group, false);
    const ShownRows rows = test::ReadShownRows(*window);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (bad.records == kRefused) {
        EXPECT_TRUE(rows.empty());
        window->Press(res::kIdWriteTable);
        EXPECT_EQ(window->Messages(), std::vector<std::string>{"no table"});
        EXPECT_FALSE(std::filesystem::exists(dir / "table.txt"));
    } else {
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(bad.records));
        for (const auto& row : rows) EXPECT_FALSE(row[2].empty());
        bad.check(rows);
        window->Press(res::kIdWriteTable);
        EXPECT_TRUE(window->Messages().empty());
    }
    EXPECT_LT(elapsed, kTimeLimit);
}

std::string CaseName(const ::testing::TestParamInfo<BadTableCase>& info) {
    return std::string(std::get<0>(info.param).name) + "_" + test::kGroupNames[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, BadTableInWindow,
                         ::testing::Combine(::testing::ValuesIn(kBadTables), ::testing::Range(0, 5)), CaseName);

TEST(BadTableReader, NegativeColumnOfATableWithoutColumnsFails) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "t.dbf", NoColumnsFourRecords());
    tables::FeatureTable table;
    ASSERT_TRUE(table.Open((dir / "t.dbf").string()));
    std::string text = "stale";
    EXPECT_FALSE(table.ReadField(0, -1, text));
    EXPECT_EQ(text, "");
}

// A sparse file costs a few kilobytes on disk whatever size it claims: neither a descriptor
// list that never ends nor a record count beyond the limit may cost time or memory.
struct SparseTable {
    const char* name;
    std::string header;
    std::int64_t apparentSize;
};

std::vector<SparseTable> SparseTables() {
    std::string zeros(kDescriptorSize, '\0');
    zeros[0] = 3;
    Put16(zeros, 8, 0xFFFF);
    Put16(zeros, 10, 1);
    std::string claims = EmptyTable();
    Put32(claims, 4, 0x7FFFFFFF);
    Put16(claims, 10, 217);
    return {{"NoTerminatorIn2GB", zeros, std::int64_t{2} << 30},
            {"RecordCount2Pow31", claims, static_cast<std::int64_t>(claims.size()) + std::int64_t{0x7FFFFFFF} * 217}};
}

TEST(BadTableReader, SparseTablesAreRefusedAtOnce) {
    for (const SparseTable& sparse : SparseTables()) {
        test::TempDir dir;
        test::WriteFileBytes(dir / "t.dbf", sparse.header);
        std::filesystem::resize_file(dir / "t.dbf", static_cast<std::uintmax_t>(sparse.apparentSize));
        const auto start = std::chrono::steady_clock::now();
        tables::FeatureTable table;
        EXPECT_FALSE(table.Open((dir / "t.dbf").string())) << sparse.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeLimit) << sparse.name;
    }
}

// kelvo-cli under a limit of address space, as `ulimit -v` sets it: refused with a message,
// never an abort. (AddressSanitizer reserves terabytes and cannot start under such a limit.)
TEST(BadTableReader, SparseTablesUnderAMemoryLimitEndWithAMessage) {
    if (kTimeLimit > 100ms) GTEST_SKIP() << "AddressSanitizer does not run under a limit of address space";
    for (const SparseTable& sparse : SparseTables()) {
        test::TempDir dir;
        const auto file = test::GroupTablePath(dir, kWomen);
        test::WriteGroupBytes(dir, kWomen, sparse.header);
        std::filesystem::resize_file(file, static_cast<std::uintmax_t>(sparse.apparentSize));
        const std::string command = "ulimit -v 1000000; " KELVO_CLI " --data '" + dir.DataDirectory() +
                                    "' --group 3 > /dev/null 2> '" + (dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << sparse.name;
        EXPECT_EQ(WEXITSTATUS(status), 1) << sparse.name;
        const std::string err = test::ReadFileBytes(dir / "stderr");
        EXPECT_NE(err.find(file.string()), std::string::npos) << err;
        if (sparse.name == std::string("RecordCount2Pow31")) {
            EXPECT_NE(err.find("слишком велика"), std::string::npos) << err;
        }
    }
}

// Number texts as the C library reads them, in the base column each group's figure takes,
// with every increment 0 and the base figure at 0: the value shown is the number itself.
struct NumberText {
    const char* stored;
    const char* shown;
};

void PrintTo(const NumberText& number, std::ostream* out) { *out << '"' << number.stored << '"'; }

const NumberText kNumberTexts[] = {
    {"1e999999", "inf"}, {"-1e99999", "-inf"}, {"INFINITY", "inf"}, {"nan", "nan"},
    {"-", "0.0"},        {"  ", "0.0"},        {".", "0.0"},        {"0x10", "16.0"},
    {"1e-99999", "0.0"}, {"+7.5xyz", "7.5"},
};

struct GroupFigure {
    int group;
    int baseColumn;
    int list, entry;  // the choice that makes baseColumn the figure's only base column
};

void PrintTo(const GroupFigure& figure, std::ostream* out) { *out << test::kGroupNames[figure.group]; }

// Preschool children take their waist increment from the base column, so an infinite base
// would meet a waist term of 0 x inf; JuniorSchool has columns of its own.
const GroupFigure kFigures[] = {
    {kNursery, 4, 0, 0},
    {kGirls, 8, res::kIdAgeList, 1},
    {kBoys, 8, res::kIdAgeList, 1},
    {kWomen, 6, res::kIdThirdList, 3},
    {kMen, 5, 0, 0},
};

tables::TableContents ZeroTable(int column, const std::string& text) {
    std::vector<std::vector<std::string>> records;
    for (const char* number : {"1", "16", "2", "18"}) {
        std::vector<std::string> cells(18, "0");
        cells[0] = "Признак";
        cells[1] = number;
        records.push_back(cells);
    }
    records[test::kFeatureRow][static_cast<std::size_t>(column)] = text;
    return test::FeatureTableSpec(18, records);
}

using NumberCase = std::tuple<NumberText, GroupFigure>;
class NumberTextInWindow : public test::WindowTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberTextInWindow, ShowsWhatTheCLibraryMakesOfIt) {
    const auto& [number, figure] = GetParam();
    test::WriteGroupTable(dir.Path(), test::kGroupFiles[figure.group], ZeroTable(figure.baseColumn, number.stored));
    Open(figure.group, false);
    if (figure.list != 0) {
        ASSERT_TRUE(Choose(figure.list, figure.entry));
    }
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(Value(), number.shown);
    for (int row : {0, 1, 3}) EXPECT_EQ(Value(row), "0.0");
}

std::string NumberCaseName(const ::testing::TestParamInfo<NumberCase>& info) {
    return "Text" + std::to_string(info.index / std::size(kFigures)) + "_" +
           test::kGroupNames[std::get<1>(info.param).group];
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, NumberTextInWindow,
                         ::testing::Combine(::testing::ValuesIn(kNumberTexts), ::testing::ValuesIn(kFigures)),
                         NumberCaseName);

// An infinite base height makes every height step factor infinite and every value
// 0 x inf: not a number, shown as such, with nothing turned into an integer on the way.
class KeyFeatureTextInWindow : public test::WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(KeyFeatureTextInWindow, InfiniteBaseHeightMakesEveryValueNotANumber) {
    const int group = GetParam();
    tables::TableContents contents = ZeroTable(2, "0");
    for (std::size_t c = 2; c < 18; ++c) contents.records[0][c] = "1e999999";
    test::WriteGroupTable(dir.Path(), test::kGroupFiles[group], contents);
    Open(group, false);
    ASSERT_EQ(Rows(), 4);
    for (int row = 0; row < 4; ++row) EXPECT_NE(Value(row).find("nan"), std::string::npos) << Value(row);
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, KeyFeatureTextInWindow, ::testing::Range(0, 5),
                         test::GroupCaseName);

// Code page 866 puts box-drawing characters at 0xB0 to 0xDF, where 1251 has letters: a
// name that holds them must not show them as letters, nor lose or gain a byte.
class BoxDrawingName : public test::WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(BoxDrawingName, ShowsNoLetterForABoxCharacter) {
    const int group = GetParam();
    tables::TableContents contents = ZeroTable(2, "0");
    contents.fields[0].length = 60;
    std::string name = platform::Utf8ToOem("Шея ");
    for (int b = 0xB0; b <= 0xDF; ++b) name += static_cast<char>(b);
    contents.records[test::kFeatureRow][0] = name;
    test::WriteGroupTable(dir.Path(), test::kGroupFiles[group], contents);
    Open(group, false);
    ASSERT_EQ(Rows(), 4);

    const std::string shown = Cell(test::kFeatureRow, 1);
    ASSERT_EQ(shown.size(), 60u);
    EXPECT_EQ(platform::AnsiToUtf8(shown.substr(0, 4)), "Шея ");
    for (std::size_t i = 4; i < 4 + 48; ++i) {
        const auto c = static_cast<unsigned char>(shown[i]);
        EXPECT_FALSE(c >= 0xC0 || c == 0xA8 || c == 0xB8) << "byte " << i << " shows as a letter: " << int(c);
    }
    EXPECT_EQ(shown.substr(52), std::string(8, ' '));
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, BoxDrawingName, ::testing::Range(0, 5),
                         test::GroupCaseName);

// A shown byte is a letter when 1251 gives it a Latin or a Cyrillic letter (U+0400 to
// U+04FF, two UTF-8 bytes led by 0xD0 to 0xD3).
bool ShowsAsLetter(unsigned char c) {
    const std::string utf8 = platform::AnsiToUtf8(std::string(1, static_cast<char>(c)));
    const auto lead = static_cast<unsigned char>(utf8.empty() ? 0 : utf8[0]);
    return (lead >= 'A' && lead <= 'Z') || (lead >= 'a' && lead <= 'z') || (lead >= 0xD0 && lead <= 0xD3);
}

// The other bytes 866 gives no letter: the control bytes, DEL, and the signs at 0xF8 to
// 0xFF (degree, bullets, root, numero, currency, square, no-break space), several of which
// 1251 lacks. Each stays one byte and none turns into a letter; the letters 866 keeps at
// 0xF0 to 0xF7 (Ё, ё, Є, є, Ї, ї, Ў, ў) still show as letters.
class SignAndControlName : public test::WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(SignAndControlName, ShowsNoLetterForASignOrControlByte) {
    const int group = GetParam();
    tables::TableContents contents = ZeroTable(2, "0");
    contents.fields[0].length = 60;
    std::string signs;
    for (int b = 0x01; b <= 0x1F; ++b) signs += static_cast<char>(b);
    signs += '\x7F';
    for (int b = 0xF8; b <= 0xFF; ++b) signs += static_cast<char>(b);
    std::string letters;
    for (int b = 0xF0; b <= 0xF7; ++b) letters += static_cast<char>(b);
    contents.records[test::kFeatureRow][0] = signs + letters;
    test::WriteGroupTable(dir.Path(), test::kGroupFiles[group], contents);
    Open(group, false);
    ASSERT_EQ(Rows(), 4);

    const std::string shown = Cell(test::kFeatureRow, 1);
    ASSERT_EQ(shown.size(), 60u);
    for (std::size_t i = 0; i < signs.size(); ++i)
        EXPECT_FALSE(ShowsAsLetter(static_cast<unsigned char>(shown[i])))
            << "byte " << i << " shows as a letter: " << int(static_cast<unsigned char>(shown[i]));
    EXPECT_EQ(platform::AnsiToUtf8(shown.substr(signs.size(), letters.size())), "ЁёЄєЇїЎў");
    EXPECT_EQ(shown.substr(signs.size() + letters.size()), std::string(60 - signs.size() - letters.size(), ' '));
}

// A zero byte ends the name, as it ends a C string: what follows it is never shown.
TEST_P(SignAndControlName, NameEndsAtItsFirstZeroByte) {
    const int group = GetParam();
    tables::TableContents contents = ZeroTable(2, "0");
    contents.records[test::kFeatureRow][0] = platform::Utf8ToOem("Шея") + std::string(1, '\0') + platform::Utf8ToOem("Грудь");
    test::WriteGroupTable(dir.Path(), test::kGroupFiles[group], contents);
    Open(group, false);
    ASSERT_EQ(Rows(), 4);
    EXPECT_EQ(platform::AnsiToUtf8(Cell(test::kFeatureRow, 1)), "Шея");
    EXPECT_EQ(Value(), "0.0");
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, SignAndControlName, ::testing::Range(0, 5),
                         test::GroupCaseName);

}  // namespace
}  // namespace kelvo
