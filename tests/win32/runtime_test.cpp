// What the Windows build takes from the C runtime and the system: number formatting and
// parsing, code-page conversion, and file access in binary mode.

#include <gtest/gtest.h>

#include <windows.h>
// windows.h maps these names to Win32 functions of its own; the tests mean the platform's.
#undef OemToAnsi
#undef ReplaceFile

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "figures/compute_frame.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

using platform::WriteError;

TEST(RuntimeTest, ValuesAreRoundedFromTheirExactBinaryValueAsOnEveryPlatform) {
    EXPECT_EQ(figures::FormatValue(12.25), "12.2");  // a tie rounds to even; msvcrt gives 12.3
    EXPECT_EQ(figures::FormatValue(0.25), "0.2");
    EXPECT_EQ(figures::FormatValue(12.06), "12.1");
    EXPECT_EQ(figures::FormatValue(-0.04), "-0.0");
    EXPECT_EQ(figures::FormatValue(164.0 + 0.6 * 6.0 * (1.0 / 6.0)), "164.6");
    EXPECT_EQ(figures::FormatValue(1e20), "100000000000000000000.0");
}

TEST(RuntimeTest, NumbersParseByTheCLibraryRules) {
    EXPECT_EQ(figures::ParseValue("   12.5"), 12.5);
    EXPECT_EQ(figures::ParseValue("1,5"), 1.0);
    EXPECT_EQ(figures::ParseValue(""), 0.0);
    EXPECT_EQ(figures::ParseValue("0.1"), 0.1);
    EXPECT_EQ(figures::ParseFeatureNumber("      16"), 16);
    EXPECT_EQ(figures::ParseFeatureNumber("x"), 0);
}

// The Russian alphabet in UTF-8, as the two code pages under test know it.
constexpr const char* kAlphabet =
    "\xD0\x81\xD0\x90\xD0\x91\xD0\x92\xD0\x93\xD0\x94\xD0\x95\xD0\x96\xD0\x97\xD0\x98\xD0\x99\xD0\x9A"
    "\xD0\x9B\xD0\x9C\xD0\x9D\xD0\x9E\xD0\x9F\xD0\xA0\xD0\xA1\xD0\xA2\xD0\xA3\xD0\xA4\xD0\xA5\xD0\xA6"
    "\xD0\xA7\xD0\xA8\xD0\xA9\xD0\xAA\xD0\xAB\xD0\xAC\xD0\xAD\xD0\xAE\xD0\xAF\xD0\xB0\xD0\xB1\xD0\xB2"
    "\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC\xD0\xBD\xD0\xBE"
    "\xD0\xBF\xD1\x80\xD1\x81\xD1\x82\xD1\x83\xD1\x84\xD1\x85\xD1\x86\xD1\x87\xD1\x88\xD1\x89\xD1\x8A"
    "\xD1\x8B\xD1\x8C\xD1\x8D\xD1\x8E\xD1\x8F\xD1\x91";

TEST(RuntimeTest, EveryRussianLetterConvertsBetweenTheDosAndTheWindowsCodePage) {
    const std::string ansi = platform::Utf8ToAnsi(kAlphabet);
    const std::string oem = platform::Utf8ToOem(kAlphabet);
    ASSERT_EQ(ansi.size(), 66u);
    EXPECT_EQ(ansi.substr(0, 3), "\xA8\xC0\xC1");  // Ё А Б in 1251
    EXPECT_EQ(oem.substr(0, 3), "\xF0\x80\x81");   // and in 866
    EXPECT_EQ(platform::OemToAnsi(oem), ansi);
    EXPECT_EQ(platform::AnsiToUtf8(ansi), kAlphabet);
    EXPECT_EQ(platform::OemToAnsi("  12.5 Ab"), "  12.5 Ab");
    EXPECT_EQ(platform::Utf8ToAnsi("\xE4\xB8\xAD"), "?");  // a letter 1251 lacks
    EXPECT_EQ(platform::OemToAnsi(""), "");
}

TEST(RuntimeTest, FilesAreReadAsRawBytes) {
    TempDir dir;
    // A text-mode read would stop at Ctrl+Z and turn CR LF into LF.
    const std::string bytes("a\r\nb\x1A\r\n\0z", 9);
    WriteFileBytes(dir / "raw.dbf", bytes);
    platform::InputFile file;
    ASSERT_TRUE(file.Open((dir / "raw.dbf").string()));
    std::int64_t size = 0;
    ASSERT_TRUE(file.Size(size));
    EXPECT_EQ(size, 9);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 16), 9);
    EXPECT_EQ(std::string(buffer, 9), bytes);
    ASSERT_TRUE(file.Seek(4));
    EXPECT_EQ(file.Read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "\x1A\r");
    EXPECT_EQ(file.Read(buffer, 16), 3);
    EXPECT_EQ(file.Read(buffer, 16), 0);
    EXPECT_FALSE(file.Seek(-1));

    EXPECT_FALSE(file.Open(dir.DataDirectory()));  // a folder is no table
    EXPECT_FALSE(file.Open((dir / "missing.dbf").string()));
    EXPECT_FALSE(file.IsOpen());
}

// The names in a folder, to see that no temporary file stays behind.
std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RuntimeTest, ReplacingAFileWritesTheBytesUnchangedAndLeavesNothingElse) {
    TempDir dir;
    const std::string path = (dir / "table.txt").string();
    int error = -1;
    EXPECT_EQ(platform::ReplaceFile(path, "1 2.0\r\n16 3.5\r\n", error), WriteError::None);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "1 2.0\r\n16 3.5\r\n");
    EXPECT_EQ(platform::ReplaceFile(path, "", error), WriteError::None);
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"table.txt"});
}

// Another name of the file sees the new bytes; a killed export's temporary file is removed.
TEST(RuntimeTest, ReplacingRewritesAHardLinkedFileAndRemovesLeftovers) {
    TempDir dir;
    WriteFileBytes(dir / "table.txt", "old\r\n");
    WriteFileBytes(dir / "table.txt.0badf00d.tmp", "killed");
    const std::string path = (dir / "table.txt").string();
    ASSERT_TRUE(CreateHardLinkA((dir / "copy.txt").string().c_str(), path.c_str(), nullptr));
    int error = 0;
    EXPECT_EQ(platform::ReplaceFile(path, "new\r\n", error), WriteError::None);
    EXPECT_EQ(ReadFileBytes(dir / "copy.txt"), "new\r\n");
    std::filesystem::remove(dir / "copy.txt");
    EXPECT_EQ(platform::ReplaceFile(path, "newer\r\n", error), WriteError::None);
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "newer\r\n");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"table.txt"});
}

TEST(RuntimeTest, ReplacingRefusesFoldersReadOnlyFilesAndMissingFolders) {
    TempDir dir;
    int error = 0;
    std::filesystem::create_directory(dir / "table.txt");
    EXPECT_EQ(platform::ReplaceFile((dir / "table.txt").string(), "x", error), WriteError::NotARegularFile);
    std::filesystem::remove(dir / "table.txt");

    WriteFileBytes(dir / "table.txt", "kept\r\n");
    const std::string path = (dir / "table.txt").string();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(platform::ReplaceFile(path, "x", error), WriteError::NoPermission);
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "kept\r\n");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(platform::ReplaceFile((dir / "gone" / "table.txt").string(), "x", error), WriteError::NoDirectory);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"table.txt"});
}

TEST(RuntimeTest, AFileHeldOpenByAnotherProgramIsKeptAndNoTemporaryFileStays) {
    TempDir dir;
    WriteFileBytes(dir / "table.txt", "kept\r\n");
    const std::string path = (dir / "table.txt").string();
    // Another program reading the file without letting it be deleted or renamed over.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    int error = 0;
    EXPECT_EQ(platform::ReplaceFile(path, "new\r\n", error), WriteError::NoPermission);
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "kept\r\n");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"table.txt"});
}

}  // namespace
}  // namespace kelvo::test
