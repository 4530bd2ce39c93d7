// Start-up: the initial group from the command line and the data directory from the registry.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "app/data_directory.h"
#include "app/figure_app.h"
#include "app/figure_dialog.h"
#include "platform/headless/headless_window.h"
#include "platform/registry.h"
#include "platform/user_data_posix.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

TEST(InitialGroup, FirstCharacterOfTheArgumentTextDecides) {
    EXPECT_EQ(app::InitialGroup(""), 3);
    EXPECT_EQ(app::InitialGroup("3"), 3);
    EXPECT_EQ(app::InitialGroup("4"), 4);
    EXPECT_EQ(app::InitialGroup("12"), 1);
    EXPECT_EQ(app::InitialGroup("-2"), 3);
    EXPECT_EQ(app::InitialGroup("0"), 0);
    EXPECT_EQ(app::InitialGroup("2"), 2);
    EXPECT_EQ(app::InitialGroup("x"), 3);
}

TEST(InitialGroup, ArgumentTextFollowsTheProgramName) {
    EXPECT_EQ(app::ArgumentText("kelvo.exe"), "");
    EXPECT_EQ(app::ArgumentText("kelvo.exe 4"), "4");
    EXPECT_EQ(app::ArgumentText("kelvo.exe   \t 0 1"), "0 1");
    EXPECT_EQ(app::ArgumentText("\"C:\\Program Files\\kelvo.exe\" 2"), "2");
    EXPECT_EQ(app::ArgumentText("\"C:\\Program Files\\kelvo.exe\"1"), "1");
    EXPECT_EQ(app::ArgumentText("\"unclosed 4"), "");
    EXPECT_EQ(app::InitialGroup(app::ArgumentText("kelvo   0")), 0);
}

TEST(FigureApp, RunsTheWindowWithTheInitialGroup) {
    test::TempDir dir;
    int group = -2;
    platform::headless::HeadlessFrontEnd frontEnd([&](platform::headless::HeadlessWindow& window) {
        group = window.Selection(1000);
        window.Press(1);
    });
    EXPECT_FALSE(app::FigureApp().InitInstance(frontEnd, "4"));
    EXPECT_EQ(group, 4);
}

// The registry's stand-in: settings files under a temp XDG_CONFIG_DIRS (the machine's) and
// XDG_CONFIG_HOME (the user's); the user's data folder under a temp XDG_DATA_HOME. The real
// home is never touched.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        }
        ::setenv("XDG_CONFIG_DIRS", dir.DataDirectory().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (dir / "user").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        ::setenv("HOME", (dir / "home").c_str(), 1);
        std::filesystem::create_directories(dir / "kelvo");
        std::filesystem::create_directories(dir / "user" / "kelvo");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name, value->c_str(), 1);
            else ::unsetenv(name);
        }
    }
    void WriteRegistry(const std::string& text) { test::WriteFileBytes(dir / "kelvo" / "registry.ini", text); }
    void WriteUserRegistry(const std::string& text) {
        test::WriteFileBytes(dir / "user" / "kelvo" / "registry.ini", text);
    }

    static constexpr const char* kVariables[] = {"XDG_CONFIG_DIRS", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"};
    test::TempDir dir;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Without a value each user gets a folder of their own, filled with the installed tables on
// first start, where table.txt can be written; the installed folder is read-only.
TEST_F(Registry, MissingValueGivesTheUsersOwnFolderWithTheInstalledTables) {
    EXPECT_EQ(app::ReadDataDirectory(), platform::DefaultDataDirectory());
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\other=x\n");
    EXPECT_EQ(app::ReadDataDirectory(), platform::DefaultDataDirectory());
    EXPECT_EQ(platform::DefaultDataDirectory(), (dir / "data" / "kelvo").string());
    EXPECT_TRUE(platform::InstalledDataDirectory().ends_with("/../share/kelvo"));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "data" / "kelvo" / "BD" / "female.dbf"));

    app::FigureDialog dialog;
    platform::headless::HeadlessWindow window(dialog);
    EXPECT_EQ(dialog.DataDirectory(), (dir / "data" / "kelvo").string());
    EXPECT_TRUE(dialog.Table().IsOpen());

    // XDG_DATA_HOME unset: under the home folder; neither: the installed tables themselves.
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(platform::UserDataDirectory(), (dir / "home" / ".local" / "share" / "kelvo").string());
    ::unsetenv("HOME");
    EXPECT_EQ(app::ReadDataDirectory(), platform::InstalledDataDirectory());
}

TEST_F(Registry, FillingTheUsersFolderKeepsTheirTables) {
    std::filesystem::create_directories(dir / "installed" / "BD");
    std::filesystem::create_directories(dir / "own" / "BD");
    test::WriteFileBytes(dir / "installed" / "BD" / "male.dbf", "installed men");
    test::WriteFileBytes(dir / "installed" / "BD" / "female.dbf", "installed women");
    test::WriteFileBytes(dir / "own" / "BD" / "male.dbf", "the user's men");
    // The installed sources go beside the installed table only, never beside the user's.
    test::WriteFileBytes(dir / "installed" / "BD" / "male.src", "1 M\n");
    test::WriteFileBytes(dir / "installed" / "BD" / "female.src", "1 W\n");
    ASSERT_TRUE(platform::FillDataDirectory((dir / "installed").string(), (dir / "own").string()));
    EXPECT_EQ(test::ReadFileBytes(dir / "own" / "BD" / "male.dbf"), "the user's men");
    EXPECT_EQ(test::ReadFileBytes(dir / "own" / "BD" / "female.dbf"), "installed women");
    EXPECT_FALSE(std::filesystem::exists(dir / "own" / "BD" / "male.src"));
    EXPECT_EQ(test::ReadFileBytes(dir / "own" / "BD" / "female.src"), "1 W\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "own" / "BD"), {}), 3);  // no parts left

    // A file where the folder should be: nothing to fill, and the caller falls back.
    test::WriteFileBytes(dir / "blocked", "");
    EXPECT_FALSE(platform::FillDataDirectory((dir / "installed").string(), (dir / "blocked").string()));
    ::setenv("XDG_DATA_HOME", (dir / "blocked").c_str(), 1);
    EXPECT_EQ(app::ReadDataDirectory(), platform::InstalledDataDirectory());
}

TEST_F(Registry, UsersSettingsComeBeforeTheMachines) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/srv/kelvo\n");
    WriteUserRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/home/u/my kelvo\n");
    EXPECT_EQ(app::ReadDataDirectory(), "/home/u/my kelvo");
    WriteUserRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\other=x\n");
    EXPECT_EQ(app::ReadDataDirectory(), "/srv/kelvo");
}

// The folder chosen in the window comes before both, kept byte for byte whatever its name
// holds, beside what else the file keeps; forgetting it brings the machine's back.
TEST_F(Registry, TheFolderChosenInTheWindowComesFirstAndKeepsItsName) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/srv/kelvo\n");
    const std::string conf = (dir / "user" / "kelvo" / "kelvo.conf").string();
    test::WriteFileBytes(conf, "[window]\ngeometry=@ByteArray(xyz)\n");
    const std::string odd = "/home/u/Мои таблицы; 50%, \"new\" \\ =@x ";
    ASSERT_TRUE(app::KeepDataDirectory(odd));
    EXPECT_EQ(app::ReadDataDirectory(), odd);
    EXPECT_EQ(app::ChosenDataDirectory(), odd);
    ASSERT_TRUE(app::KeepDataDirectory("/srv/other"));
    EXPECT_EQ(app::RecentDataDirectories(), (std::vector<std::string>{"/srv/other", odd}));
    const std::string text = test::ReadFileBytes(conf);
    EXPECT_TRUE(text.starts_with("[window]\ngeometry=@ByteArray(xyz)\n")) << text;
    // Nothing Qt's INI reading takes for syntax: no quote, comma, semicolon or backslash.
    EXPECT_EQ(text.find_first_of("\";,\\", text.find("[data]")), std::string::npos) << text;
    ASSERT_TRUE(app::ForgetDataDirectory());
    EXPECT_EQ(app::ReadDataDirectory(), "/srv/kelvo");
    EXPECT_EQ(app::RecentDataDirectories().size(), 2u);  // still offered
    // Six choices keep the newest five.
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(app::KeepDataDirectory("/f" + std::to_string(i)));
    EXPECT_EQ(app::RecentDataDirectories(), (std::vector<std::string>{"/f5", "/f4", "/f3", "/f2", "/f1"}));
}

TEST_F(Registry, ValueIsUsedUnchanged) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/srv/kelvo/\n");
    EXPECT_EQ(app::ReadDataDirectory(), "/srv/kelvo/");
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=\n");
    EXPECT_EQ(app::ReadDataDirectory(), "");
}

// The value is a path, not INI syntax: nothing in it is a comment, a quote or an escape.
TEST_F(Registry, ValueIsTakenVerbatimToTheEndOfItsLine) {
    const std::pair<const char*, const char*> values[] = {
        {"/x/data;2024", "/x/data;2024"},
        {"/x/data #2", "/x/data #2"},
        {"\"/x/my data\"", "\"/x/my data\""},
        {"C:\\kelvo", "C:\\kelvo"},
        {"@Invalid()", "@Invalid()"},
        {" \t/x/data \t\r", "/x/data"},  // blanks around the value and a CR belong to the file
    };
    for (const auto& [written, read] : values) {
        WriteRegistry(std::string("[HKEY_LOCAL_MACHINE]\r\nSOFTWARE\\Brenk\\path=") + written + "\n");
        EXPECT_EQ(app::ReadDataDirectory(), read) << written;
    }
}

// A folder is named as the system names it: signs Windows-1251 lacks are not lost.
TEST_F(Registry, ValueIsThePathAsTheSystemGivesIt) {
    for (const char* path : {"/srv/Данные", "/srv/日本"}) {
        WriteRegistry(std::string("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=") + path + "\n");
        EXPECT_EQ(app::ReadDataDirectory(), path);
    }
}

TEST_F(Registry, EmptyValueMakesEveryPathBeginWithTheSeparator) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=\n");
    app::FigureDialog dialog;
    platform::headless::HeadlessWindow window(dialog);
    EXPECT_EQ(dialog.DataDirectory(), "");
    EXPECT_FALSE(dialog.Table().IsOpen());  // "\BD\female.dbf" is not there
    EXPECT_EQ(window.ItemCount(1004), 0);
}

}  // namespace
}  // namespace kelvo
