// The kelvo program and its application object, each started in a process of its own.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QSettings>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <locale.h>
#include <string>

#include "app/data_directory.h"
#include "app/figure_dialog.h"
#include "res/resource.h"
#include "tests/qt/qt_test_window.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

// The registry of a Linux machine: a settings file under XDG_CONFIG_DIRS.
void WriteRegistry(const std::filesystem::path& configDir, const std::string& dataDirectory) {
    std::filesystem::create_directories(configDir / "kelvo");
    WriteFileBytes(configDir / "kelvo" / "registry.ini",
                   "[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=" + dataDirectory + "\n");
}

TEST(QtProgram, PictureModeSavesTheWindowAndEnds) {
    TempDir dir;
    WriteAllGroupTables(dir / "data");
    WriteRegistry(dir / "xdg", (dir / "data").string());
    const std::string picture = (dir / "window.png").string();
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_DIRS='" +
                                (dir / "xdg").string() + "' XDG_CONFIG_HOME='" + (dir / "home").string() +
                                "' KELVO_SCREENSHOT='" + picture + "' '" +
                                KELVO_PROGRAM + "' 2 >'" + (dir / "out.txt").string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFileBytes(dir / "out.txt"), picture + "\n");
    const QImage image(QString::fromStdString(picture));
    const QSize units = platform::qt::DialogBaseUnits(QFont("MS Sans Serif", 8));
    // The template's client area and the menu bar above it.
    EXPECT_EQ(image.width(), platform::DialogUnitsToPixelsX(421, units.width()));
    EXPECT_GT(image.height(), platform::DialogUnitsToPixelsY(249, units.height()) + 10);
    EXPECT_LT(image.height(), platform::DialogUnitsToPixelsY(249, units.height()) + 40);
}

// The folder chosen in the window and Qt's own settings share kelvo.conf: Qt rewrites the
// whole file when the window keeps its size, and the choice comes back byte for byte, a folder's name
// with what Qt's INI syntax would read as quotes, lists, escapes or a comment included.
TEST(QtProgram, TheChosenFolderSurvivesQtRewritingTheSettingsFile) {
    TempDir dir;
    const std::filesystem::path folder = dir / "Мои; таблицы, \"2024\" \\ 100%";
    const char* kept = std::getenv("XDG_CONFIG_HOME");
    const std::string before = kept ? kept : "";
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ASSERT_TRUE(app::KeepDataDirectory(folder.string()));
    {
        // As the window keeps its size, with Qt's own reading and writing of the file.
        QSettings settings(QString::fromStdString((dir / "config" / "kelvo" / "kelvo.conf").string()),
                           QSettings::IniFormat);
        settings.setValue("window/geometry", QByteArray("\x01\x02 size"));
        settings.sync();
        ASSERT_EQ(settings.status(), QSettings::NoError);
    }
    const std::string conf = ReadFileBytes(dir / "config" / "kelvo" / "kelvo.conf");
    EXPECT_NE(conf.find("geometry="), std::string::npos) << conf;  // Qt did write the file
    EXPECT_EQ(app::ChosenDataDirectory(), folder.string()) << conf;
    EXPECT_EQ(app::RecentDataDirectories(), std::vector<std::string>{folder.string()});
    if (kept) ::setenv("XDG_CONFIG_HOME", before.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

TEST(QtProgram, PictureThatCannotBeWrittenFails) {
    TempDir dir;
    const std::string command = "env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='" + dir.Path().string() +
                                "' KELVO_SCREENSHOT='" +
                                (dir / "missing" / "window.png").string() + "' '" + KELVO_PROGRAM +
                                "' >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

// Run in a fresh process whose QApplication took the locale from LC_ALL=ru_RU.UTF-8.
[[noreturn]] void ExitWithNurseryNeckGirth() {
    int status = 1;
    {
        TempDir dir;
        WriteAllGroupTables(dir.Path());
        app::FigureDialog dialog;
        dialog.SetDataDirectory(dir.DataDirectory());
        dialog.SetInitialGroup(0);
        QtTestWindow window(dialog);
        const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
        const std::string value = window.ItemText(res::kIdResultList, 2, 2);
        std::fprintf(stderr, "LC_CTYPE %s, LC_NUMERIC %s, neck girth %s\n", ctype.c_str(),
                     std::setlocale(LC_NUMERIC, nullptr), value.c_str());
        // The fixture's neck girth (30.5, +0.6 a height step, +1.4 a chest step) at the
        // first nursery figure; atof stopping at each '.' would give "27,0".
        if (ctype.rfind("ru_RU", 0) == 0 && value == "24.5") status = 0;
    }
    std::exit(status);
}

TEST(QtApplicationLocale, RussianNumbersDoNotReachTheFigures) {
    if (locale_t russian = newlocale(LC_ALL_MASK, "ru_RU.UTF-8", nullptr)) {
        freelocale(russian);
    } else {
        GTEST_SKIP() << "the locale ru_RU.UTF-8 is not generated here";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* kept = std::getenv("LC_ALL");
    const std::string before = kept ? kept : "";
    ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
    EXPECT_EXIT(ExitWithNurseryNeckGirth(), ::testing::ExitedWithCode(0), "neck girth");
    if (kept)
        ::setenv("LC_ALL", before.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

}  // namespace
}  // namespace kelvo::test
