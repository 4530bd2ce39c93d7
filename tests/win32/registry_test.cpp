// The data directory from HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, value "path", on the real
// registry. The tests change the machine's key and the root of drive C:, so they belong in
// the throw-away Wine prefix of a test run.

#include <gtest/gtest.h>

#include <windows.h>
// windows.h maps this name to a Win32 function of its own; the tests mean the platform's.
#undef ReplaceFile

#include <string>

#include "app/data_directory.h"
#include "app/figure_dialog.h"
#include "platform/file.h"
#include "res/resource.h"
#include "tables/table_writer.h"
#include "tests/support/fixture_tables.h"
#include "tests/win32/win32_test_window.h"

namespace kelvo::test {
namespace {

constexpr const char* kKey = "SOFTWARE\\Brenk";
// "C:\Данные мерок", in 1251 and in UTF-16.
constexpr const char* kCyrillicDirectory = "C:\\\xC4\xE0\xED\xED\xFB\xE5 \xEC\xE5\xF0\xEE\xEA";
constexpr const wchar_t* kCyrillicDirectoryWide =
    L"C:\\\u0414\u0430\u043d\u043d\u044b\u0435 \u043c\u0435\u0440\u043e\u043a";

// The value "path" as the Unicode registry functions see it; empty when there is none.
std::wstring WidePath() {
    wchar_t data[MAX_PATH] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Brenk", L"path", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return {};
    return data;
}

// Writes the five fixture tables into `<directory>\BD` through the ANSI file functions, so
// a directory named in 1251 is the one the program will look in.
void WriteAnsiGroupTables(const std::string& directory) {
    CreateDirectoryA(directory.c_str(), nullptr);
    CreateDirectoryA((directory + "\\BD").c_str(), nullptr);
    const std::pair<const char*, tables::TableContents> tables[] = {
        {"yasly.dbf", NurseryTable()}, {"girls.dbf", ChildTable()}, {"boys.dbf", ChildTable()},
        {"female.dbf", WomenTable()},  {"male.dbf", MenTable()},
    };
    for (const auto& [file, contents] : tables) {
        int error = 0;
        ASSERT_EQ(platform::ReplaceFile(directory + "\\BD\\" + file, tables::BuildTable(contents), error),
                  platform::WriteError::None);
    }
}

void RemoveAnsiGroupTables(const std::string& directory) {
    for (const char* file : {"yasly.dbf", "girls.dbf", "boys.dbf", "female.dbf", "male.dbf"})
        DeleteFileA((directory + "\\BD\\" + file).c_str());
    RemoveDirectoryA((directory + "\\BD").c_str());
    DeleteFileA((directory + "\\table.txt").c_str());
    RemoveDirectoryA(directory.c_str());
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKeys();
        GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
        // "\BD\..." names the root of the current drive: make it C:, not Wine's Z: mapping of /.
        SetCurrentDirectoryA("C:\\");
    }
    void TearDown() override {
        DeleteKeys();
        RemoveAnsiGroupTables("C:");
        SetCurrentDirectoryA(previousDirectory_);
    }

    static void DeleteKeys() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_32KEY, 0);
    }

    static void SetPath(const std::string& bytes, DWORD type, REGSAM view = 0) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // Opens the window with the registry's data directory, as kelvo.exe does.
    std::unique_ptr<Win32TestWindow> Open() {
        dialog.SetInitialGroup(3);
        return std::make_unique<Win32TestWindow>(dialog);
    }

    app::FigureDialog dialog;

private:
    char previousDirectory_[MAX_PATH] = {};
};

TEST_F(RegistryTest, WithoutTheKeyTablesAndExportLieUnderTheDriveRootWithTwoSeparators) {
    WriteAnsiGroupTables("C:");
    // Started from another folder: the default names drive C:'s root, not the current one.
    SetCurrentDirectoryA("C:\\windows");
    EXPECT_EQ(app::ReadDataDirectory(), "C:\\");
    // The path the figure opens, "C:\" + "\BD\female.dbf": the doubled separator is the
    // table at the root.
    char full[MAX_PATH] = {};
    ASSERT_GT(GetFullPathNameA("C:\\\\BD\\female.dbf", MAX_PATH, full, nullptr), 0u);
    EXPECT_STREQ(full, "C:\\BD\\female.dbf");
    auto window = Open();
    EXPECT_EQ(dialog.DataDirectory(), "C:\\");
    EXPECT_TRUE(dialog.IsComputed());  // C:\\BD\female.dbf, two separators in a row, was read
    EXPECT_EQ(window->ItemCount(res::kIdResultList), 4);
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_EQ(GetFileAttributesA("C:\\\\table.txt") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(RegistryTest, WithoutTheValueTheDataDirectoryIsTheDriveRoot) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(app::ReadDataDirectory(), "C:\\");
}

TEST_F(RegistryTest, AnEmptyValueMakesEveryPathBeginWithTheSeparator) {
    WriteAnsiGroupTables("C:");
    SetPath("", REG_SZ);  // no bytes at all, not even the terminating zero
    EXPECT_EQ(app::ReadDataDirectory(), "");
    SetPath(std::string(1, '\0'), REG_SZ);
    EXPECT_EQ(app::ReadDataDirectory(), "");
    auto window = Open();
    EXPECT_EQ(dialog.DataDirectory(), "");
    EXPECT_TRUE(dialog.IsComputed());  // "\BD\female.dbf" on the current drive
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_NE(GetFileAttributesA("C:\\table.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RegistryTest, AValueWithCyrillicLettersNamesItsFolder) {
    // Under another ANSI code page the bytes below are Latin letters and prove nothing.
    ASSERT_EQ(GetACP(), 1251u) << "run under the Russian locale, as tools/wine-tests.sh does";
    // "C:\Данные мерок" in 1251, as a Russian installer wrote it.
    const std::string directory = kCyrillicDirectory;
    WriteAnsiGroupTables(directory);
    SetPath(directory + '\0', REG_SZ);
    // The registry and the file system hold the Cyrillic letters themselves.
    EXPECT_EQ(WidePath(), kCyrillicDirectoryWide);
    EXPECT_NE(GetFileAttributesW((std::wstring(kCyrillicDirectoryWide) + L"\\BD\\female.dbf").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(app::ReadDataDirectory(), directory);
    auto window = Open();
    EXPECT_TRUE(dialog.IsComputed());
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_NE(GetFileAttributesA((directory + "\\table.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    window.reset();
    RemoveAnsiGroupTables(directory);
}

TEST_F(RegistryTest, AValueAUnicodeInstallerWroteComesBackIn1251) {
    ASSERT_EQ(GetACP(), 1251u) << "run under the Russian locale, as tools/wine-tests.sh does";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring wide = kCyrillicDirectoryWide;
    ASSERT_EQ(RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(app::ReadDataDirectory(), kCyrillicDirectory);
}

// A sign 1251 lacks is neither dropped nor swapped for a look-alike: "C:\\é" read as "C:\\e"
// would open another folder that may well exist. Such a path is refused, and said so.
TEST_F(RegistryTest, AValueWithSigns1251LacksIsRefusedNotRewritten) {
    ASSERT_EQ(GetACP(), 1251u) << "run under the Russian locale, as tools/wine-tests.sh does";
    WriteAnsiGroupTables("C:\\e");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::pair<std::wstring, std::string> values[] = {{L"C:\\\u00e9", "C:\\?"}, {L"C:\\\u65e5\u672c", "C:\\??"}};
    for (const auto& [wide, shown] : values) {
        ASSERT_EQ(RegSetValueExW(key, L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        bool unusable = false;
        EXPECT_EQ(app::ReadDataDirectory(&unusable), shown);
        EXPECT_TRUE(unusable);
    }
    RegCloseKey(key);
    auto window = Open();
    ASSERT_EQ(window->Messages().size(), 1u);
    EXPECT_NE(window->Messages()[0].find("C:\\??"), std::string::npos);
    EXPECT_FALSE(dialog.IsComputed());
    window.reset();
    RemoveAnsiGroupTables("C:\\e");
}

TEST_F(RegistryTest, TheTextEndsAtTheFirstZeroByteWhateverTheValuesType) {
    SetPath(std::string("D:\\kelvo\0old", 12), REG_BINARY);
    EXPECT_EQ(app::ReadDataDirectory(), "D:\\kelvo");
    SetPath("E:", REG_BINARY);  // no zero byte at all
    EXPECT_EQ(app::ReadDataDirectory(), "E:");
    SetPath("F:\\data\0", REG_EXPAND_SZ);
    EXPECT_EQ(app::ReadDataDirectory(), "F:\\data");
}

TEST_F(RegistryTest, TheKeyOfA32BitInstallerIsFoundWhenTheProgramsOwnViewHasNone) {
    SetPath(std::string("G:\\32-bit\0", 10), REG_SZ, KEY_WOW64_32KEY);
    EXPECT_EQ(app::ReadDataDirectory(), "G:\\32-bit");
    SetPath(std::string("H:\\64-bit\0", 10), REG_SZ);
    EXPECT_EQ(app::ReadDataDirectory(), "H:\\64-bit");
}

}  // namespace
}  // namespace kelvo::test
