// The menu bar, the context menu and the shortcuts, all from one table of actions; copying;
// finding a feature; the data folder chosen in the window; the manual and "О программе".

#include <filesystem>
#include <chrono>

#include "app/data_directory.h"
#include "app/window_actions.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/registry.h"
#ifndef _WIN32
#include "platform/user_data_posix.h"
#endif
#include "tests/behaviour/window_fixture.h"

namespace kelvo::test {
namespace {

using platform::Shortcut;
using res::kIdResultList, res::kIdFindEdit, res::kIdValueEdit, res::kIdStatusLine;

std::string Ansi(const char8_t* utf8) { return platform::Utf8ToAnsi(reinterpret_cast<const char*>(utf8)); }

constexpr Shortcut Ctrl(char key) { return {key, Shortcut::kCtrl}; }
constexpr Shortcut kCtrlShiftC{'C', static_cast<std::uint8_t>(Shortcut::kCtrl | Shortcut::kShift)};
constexpr Shortcut kF3{Shortcut::kF3};
constexpr Shortcut kShiftF3{Shortcut::kF3, Shortcut::kShift};

// Cells as the clipboard takes them: the fields' padding left out.
std::string Unpadded(std::string cell) {
    cell.erase(0, cell.find_first_not_of(' '));
    cell.erase(cell.find_last_not_of(' ') + 1);
    return cell;
}

class CommandsTest : public WindowTest {
protected:
    std::string RowText(int item) {
        std::string text;
        for (int column = 0; column < 5; ++column) text += (column ? "\t" : "") + Unpadded(Cell(item, column));
        return text + "\r\n";
    }
    std::string Status() { return window->Text(kIdStatusLine); }
    int Selected() { return window->FirstSelectedItem(kIdResultList); }
};

TEST_F(CommandsTest, TheMenuBarHoldsEveryActionAndTheContextMenuItsOwnFromTheSameTable) {
    Open(kWomen);
    const std::vector<platform::Menu> menus = window->MenuBar();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[0].caption, Ansi(u8"Файл"));
    EXPECT_EQ(menus[1].caption, Ansi(u8"Правка"));
    EXPECT_EQ(menus[2].caption, Ansi(u8"Фигура"));
    EXPECT_EQ(menus[3].caption, Ansi(u8"Справка"));
    for (const app::WindowAction& action : app::WindowActions()) {
        const platform::MenuItem* item = platform::FindCommand(menus, action.command);
        ASSERT_NE(item, nullptr) << action.caption;
        EXPECT_EQ(item->caption, action.caption);
        EXPECT_EQ(menus[static_cast<std::size_t>(action.menu)].caption, app::MenuCaption(action.menu));
        // Shown as the platform binds it; where it has no standard binding, as the table says.
        if (action.shortcut.IsSet() && action.shortcut.standard == platform::StandardKey::None) {
            EXPECT_EQ(item->shortcut, action.shortcut) << action.caption;
        }
    }
    // The context menu's entries are the table's, chosen there as from the menu bar.
    ASSERT_TRUE(window->ClickRow(kIdResultList, 2));
    ASSERT_TRUE(window->ChooseContextMenuItem(kIdResultList, res::kCmdCopy));
    EXPECT_EQ(window->Clipboard(), RowText(2));
    ASSERT_TRUE(window->ChooseContextMenuItem(kIdResultList, res::kCmdCopyList));
    EXPECT_TRUE(window->Clipboard().starts_with(Ansi(u8"Номер\tНаименование размерного признака\tЗначение\t")));
    EXPECT_FALSE(window->ChooseContextMenuItem(kIdResultList, res::kCmdAbout));  // not one of its entries
}

TEST_F(CommandsTest, MenuEntriesRunTheirActions) {
    Open(kWomen);
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdWriteTable));
    EXPECT_EQ(ReadFileBytes(dir / "table.txt"), "       1 134.0\r\n      16 42.0\r\n       2 27.4\r\n      19 76.0\r\n");
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdAbout));
    ASSERT_EQ(window->Messages().size(), 1u);
    EXPECT_TRUE(window->Messages()[0].starts_with(Ansi(u8"kelvo, версия ")));
    EXPECT_NE(window->Messages()[0].find(platform::PathText(dir.DataDirectory())), std::string::npos);
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdManual));
    ASSERT_EQ(window->OpenedDocuments().size(), 1u) << (window->Messages().size() > 1 ? window->Messages()[1] : "");
    EXPECT_EQ(window->OpenedDocuments()[0], platform::InstalledManual());
    // "Выход" asks about unsaved values as the button does.
    ASSERT_TRUE(window->ClickRow(kIdResultList, 1));
    ASSERT_TRUE(window->Type(kIdValueEdit, "50"));
    ASSERT_TRUE(window->Press(res::kIdChangeValue));
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdExit));
    EXPECT_EQ(window->Questions().size(), 1u);
    EXPECT_TRUE(window->IsOpen());  // cancelled
    window->AnswerQuestions(platform::Answer::No);
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdExit));
    EXPECT_FALSE(window->IsOpen());
}

TEST_F(CommandsTest, WithoutATableTheChartFilesAndSearchAreGreyedNotRefused) {
    WriteAllGroupTables(dir.Path());
    std::filesystem::remove(dir.Path() / "BD" / "female.dbf");
    Open(kWomen, false);
    for (const int command : {res::kCmdSaveChart, res::kCmdSaveMeasurements, res::kCmdPrintSheet, res::kCmdSheetPdf,
                              res::kCmdPrintChart, res::kCmdChartPdf, res::kCmdNearest, res::kCmdWriteTable,
                              res::kCmdCopy, res::kCmdCopyList}) {
        EXPECT_FALSE(window->IsCommandEnabled(command)) << command;
        EXPECT_FALSE(window->ChooseMenuItem(command)) << command;
    }
    EXPECT_TRUE(window->IsCommandEnabled(res::kCmdChooseFolder));
    EXPECT_TRUE(window->Messages().empty());
    // Once a group's table opens, its entries can be chosen.
    ASSERT_TRUE(Choose(res::kIdGroupList, kMen));
    EXPECT_TRUE(window->IsCommandEnabled(res::kCmdSaveChart));
    EXPECT_TRUE(window->IsCommandEnabled(res::kCmdSaveMeasurements));
}

TEST_F(CommandsTest, ShortcutsRunTheirActions) {
    Open(kWomen);
    ASSERT_TRUE(window->ClickRow(kIdResultList, 0));
    ASSERT_TRUE(window->ClickRow(kIdResultList, 2, true));
    ASSERT_TRUE(window->PressKeys(Ctrl('C')));
    EXPECT_EQ(window->Clipboard(), RowText(0) + RowText(2));
    ASSERT_TRUE(window->PressKeys(kCtrlShiftC));
    std::string list = Ansi(u8"Номер\tНаименование размерного признака\tЗначение\tМ/Рост\tМ/Размер\r\n");
    for (int item = 0; item < Rows(); ++item) list += RowText(item);
    EXPECT_EQ(window->Clipboard(), list);
    ASSERT_TRUE(window->PressKeys(Ctrl('S')));
    EXPECT_TRUE(std::filesystem::exists(dir / "table.txt"));
    ASSERT_TRUE(window->PressKeys(Ctrl('F')));
    EXPECT_EQ(window->FocusedControl(), kIdFindEdit);
    ASSERT_TRUE(window->PressKeys({Shortcut::kF1}));
    EXPECT_EQ(window->OpenedDocuments().size(), 1u);
    window->AnswerFolderDialogs("");
    ASSERT_TRUE(window->PressKeys(Ctrl('O')));  // asked, cancelled: nothing changes
    EXPECT_EQ(dialog.DataDirectory(), dir.DataDirectory());
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_TRUE(window->IsOpen());
}

TEST_F(CommandsTest, FindSelectsByNumberOrNameGoesOnAndBackAndSaysWhenNothingHoldsTheText) {
    Open(kWomen);  // 1 Рост, 16 Обхват груди, 2 Обхват шеи, 19 Обхват бедер
    ASSERT_TRUE(window->Type(kIdFindEdit, Ansi(u8"ОБХВАТ")));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(window->Text(kIdValueEdit), Value(1));  // ready to be changed, as after a click
    ASSERT_TRUE(window->PressEnter());
    EXPECT_EQ(Selected(), 2);
    EXPECT_TRUE(window->IsOpen());
    ASSERT_TRUE(window->PressKeys(kF3));
    EXPECT_EQ(Selected(), 3);
    ASSERT_TRUE(window->PressKeys(kF3));  // past the last row, from the top again
    EXPECT_EQ(Selected(), 1);
    ASSERT_TRUE(window->PressKeys(kShiftF3));
    EXPECT_EQ(Selected(), 3);
    ASSERT_TRUE(window->Type(kIdFindEdit, "19"));
    EXPECT_EQ(Selected(), 3);
    ASSERT_TRUE(window->Type(kIdFindEdit, Ansi(u8"бёдер")));  // ё and е alike
    EXPECT_EQ(Selected(), 3);
    // Typed sign by sign on a real window: no feature holds even the first.
    ASSERT_TRUE(window->Type(kIdFindEdit, Ansi(u8"юбка")));
    EXPECT_EQ(Selected(), 3);  // the selection stays
    EXPECT_NE(Status().find(Ansi(u8"«юбка» не найден")), std::string::npos) << Status();
    // Esc ends the search, not the run.
    ASSERT_TRUE(window->PressEscape());
    EXPECT_TRUE(window->IsOpen());
    EXPECT_EQ(window->Text(kIdFindEdit), "");
    EXPECT_EQ(window->FocusedControl(), kIdResultList);
    // The row found is the one "Изменить" changes.
    ASSERT_TRUE(window->Type(kIdFindEdit, Ansi(u8"шеи")));
    ASSERT_TRUE(window->Type(kIdValueEdit, "31"));
    ASSERT_TRUE(window->Press(res::kIdChangeValue));
    EXPECT_EQ(Value(2), "31");
}

// Each test keeps its choice under a settings name of its own, so that no other test, nor the
// user running them, finds it.
class DataFolderTest : public CommandsTest {
protected:
    DataFolderTest() {
        // A name no other test, run or user has: the test's own and the moment it began; and
        // nothing kept under it, should an earlier run have left something.
        settings = std::string("kelvo-test-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                   std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
        Clear();
        dialog.SetSettingsName(settings);
        WriteAllGroupTables(other.Path());
    }
    ~DataFolderTest() override {
        Clear();
#ifndef _WIN32
        std::filesystem::remove_all(platform::XdgFolder("XDG_CONFIG_HOME", "/.config") + "/" + settings);
#endif
    }
    void Clear() {
        app::ForgetDataDirectory(settings);
        for (int i = 1; i <= res::kRecentFolders; ++i)
            platform::WriteUserString(settings, "RecentFolder" + std::to_string(i), "");
    }
    std::string settings;
    TempDir other, empty;
};

TEST_F(DataFolderTest, AChosenFolderIsUsedKeptForTheNextStartAndUndone) {
    Open(kWomen);
    EXPECT_FALSE(window->IsCommandEnabled(res::kCmdDefaultFolder));
    window->AnswerFolderDialogs(other.DataDirectory());
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdChooseFolder));
    EXPECT_TRUE(window->Messages().empty()) << window->Messages()[0];
    EXPECT_EQ(dialog.DataDirectory(), other.DataDirectory());
    EXPECT_TRUE(Status().starts_with(Ansi(u8"Папка данных: ") + platform::PathText(other.DataDirectory()))) << Status();
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(window->IsCommandEnabled(res::kCmdDefaultFolder));
    // Offered again under "Файл", the newest first.
    const std::vector<platform::Menu> menus = window->MenuBar();
    const platform::MenuItem* recent = platform::FindCommand(menus, res::kCmdRecentFolder);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->caption, "1 " + platform::PathText(other.DataDirectory()));

    // The next start opens on it, before the machine's folder.
    window.reset();
    app::FigureDialog next;
    next.SetSettingsName(settings);
    auto reopened = OpenTestWindow(next);
    EXPECT_EQ(next.DataDirectory(), other.DataDirectory());
    ASSERT_TRUE(reopened->ChooseMenuItem(res::kCmdDefaultFolder));
    EXPECT_EQ(next.DataDirectory(), app::ReadMachineDataDirectory());
    EXPECT_EQ(app::ChosenDataDirectory(settings), "");
    // The recent folder is still offered and takes the window back there.
    ASSERT_TRUE(reopened->ChooseMenuItem(res::kCmdRecentFolder));
    EXPECT_EQ(next.DataDirectory(), other.DataDirectory());
}

TEST_F(DataFolderTest, AFolderWithoutTablesIsRefusedAndUnsavedValuesAreAskedFirst) {
    Open(kWomen);
    window->AnswerFolderDialogs(empty.DataDirectory());
    ASSERT_TRUE(window->PressKeys(Ctrl('O')));
    ASSERT_EQ(window->Messages().size(), 1u);
    EXPECT_NE(window->Messages()[0].find(Ansi(u8"нет таблиц признаков")), std::string::npos) << window->Messages()[0];
    EXPECT_NE(window->Messages()[0].find("female.dbf"), std::string::npos);
    EXPECT_EQ(dialog.DataDirectory(), dir.DataDirectory());
    EXPECT_EQ(app::ChosenDataDirectory(settings), "");

    ASSERT_TRUE(window->ClickRow(kIdResultList, 2));
    ASSERT_TRUE(window->Type(kIdValueEdit, "40"));
    ASSERT_TRUE(window->Press(res::kIdChangeValue));
    window->AnswerFolderDialogs(other.DataDirectory());
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdChooseFolder));  // the question, cancelled: all stays
    ASSERT_EQ(window->Questions().size(), 1u);
    EXPECT_EQ(dialog.DataDirectory(), dir.DataDirectory());
    EXPECT_EQ(Value(2), "40");
    window->AnswerQuestions(platform::Answer::Yes);  // written to the old folder, then the new one
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdChooseFolder));
    EXPECT_EQ(dialog.DataDirectory(), other.DataDirectory());
    EXPECT_NE(ReadFileBytes(dir / "table.txt").find(" 40\r\n"), std::string::npos);
    EXPECT_FALSE(dialog.HasUnsavedEdits());
}

}  // namespace
}  // namespace kelvo::test
