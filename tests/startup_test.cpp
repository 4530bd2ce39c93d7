// Start-up: the initial group from the command line and the data directory from the registry.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/data_directory.h"
#include "app/figure_app.h"
#include "app/figure_dialog.h"
#include "platform/headless/headless_window.h"
#include "platform/registry.h"
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

// The registry's stand-in: a settings file under a temp XDG_CONFIG_DIRS.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_DIRS");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_CONFIG_DIRS", dir.DataDirectory().c_str(), 1);
        std::filesystem::create_directories(dir / "kelvo");
    }
    void TearDown() override {
        if (saved_) ::setenv("XDG_CONFIG_DIRS", saved_->c_str(), 1);
        else ::unsetenv("XDG_CONFIG_DIRS");
    }
    void WriteRegistry(const std::string& text) { test::WriteFileBytes(dir / "kelvo" / "registry.ini", text); }

    test::TempDir dir;
    std::optional<std::string> saved_;
};

TEST_F(Registry, MissingValueGivesTheInstalledTables) {
    EXPECT_EQ(app::ReadDataDirectory(), platform::DefaultDataDirectory());
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\other=x\n");
    EXPECT_EQ(app::ReadDataDirectory(), platform::DefaultDataDirectory());
    EXPECT_TRUE(platform::DefaultDataDirectory().ends_with("/../share/kelvo"));
}

TEST_F(Registry, ValueIsUsedUnchanged) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/srv/kelvo/\n");
    EXPECT_EQ(app::ReadDataDirectory(), "/srv/kelvo/");
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=\n");
    EXPECT_EQ(app::ReadDataDirectory(), "");
}

TEST_F(Registry, CyrillicValueBecomesWindows1251) {
    WriteRegistry("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/srv/\xd0\x94\xd0\xb0\xd0\xbd\xd0\xbd\xd1\x8b\xd0\xb5\n");
    EXPECT_EQ(app::ReadDataDirectory(), "/srv/\xc4\xe0\xed\xed\xfb\xe5");
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
