// The data directory from HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, value "path", on the real
// registry. The tests change the machine's key and the root of drive C:, so they belong in
// the throw-away Wine prefix of a test run.

#include <gtest/gtest.h>

#include <windows.h>
// windows.h maps this name to a Win32 function of its own; the tests mean the platform's.
#undef ReplaceFile

#include <string>

#include "data_directory.h"
#include "figure_dialog.h"
#include "file.h"
#include "fixture_tables.h"
#include "resource.h"
#include "table_writer.h"
#include "win32_test_window.h"

namespace kelvo::test {
namespace {

constexpr const char* kKey = "SOFTWARE\\Brenk";

// Writes the five fixture tables into `<directory>\BD` through the ANSI file functions, so
// a directory named in 1251 is the one the program will look in.
void WriteAnsiGroupTables(const std::string& directory) {
    CreateDirectoryA(directory.c_str(), nullptr);
    CreateDirectoryA((directory + "\\BD").c_str(), nullptr);
    const std::pair<const char*, tables::TableSpec> tables[] = {
        {"yasly.dbf", NurseryTable()}, {"girls.dbf", ChildTable()}, {"boys.dbf", ChildTable()},
        {"female.dbf", WomenTable()},  {"male.dbf", MenTable()},
    };
    for (const auto& [file, spec] : tables) {
        int error = 0;
        ASSERT_EQ(platform::ReplaceFile(directory + "\\BD\\" + file, tables::BuildTable(spec), error),
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
    EXPECT_EQ(app::ReadDataDirectory(), "C:\\");
    auto window = Open();
    EXPECT_EQ(dialog.DataDirectory(), "C:\\");
    EXPECT_TRUE(dialog.IsComputed());  // "C:\" + "\BD\female.dbf" opened the table
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
    SetPath(std::string(1, '\0'), REG_SZ);
    EXPECT_EQ(app::ReadDataDirectory(), "");
    auto window = Open();
    EXPECT_EQ(dialog.DataDirectory(), "");
    EXPECT_TRUE(dialog.IsComputed());  // "\BD\female.dbf" on the current drive
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_NE(GetFileAttributesA("C:\\table.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RegistryTest, AValueWithCyrillicLettersNamesItsFolder) {
    // "C:\Данные мерок" in 1251, as a Russian installer wrote it.
    const std::string directory = "C:\\\xC4\xE0\xED\xED\xFB\xE5 \xEC\xE5\xF0\xEE\xEA";
    WriteAnsiGroupTables(directory);
    SetPath(directory + '\0', REG_SZ);
    EXPECT_EQ(app::ReadDataDirectory(), directory);
    auto window = Open();
    EXPECT_TRUE(dialog.IsComputed());
    ASSERT_TRUE(window->Press(res::kIdWriteTable));
    EXPECT_NE(GetFileAttributesA((directory + "\\table.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    window.reset();
    RemoveAnsiGroupTables(directory);
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
