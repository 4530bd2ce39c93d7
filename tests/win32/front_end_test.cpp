// The Win32 front end itself: the window it builds from the template, and which events the
// real controls' notifications become when a user acts.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/ansi_text.h"
#include "platform/win32/dialog_template_win32.h"
#include "res/resource.h"
#include "results/result_table.h"
#include "tests/win32/event_probe.h"
#include "tests/win32/win32_test_window.h"

namespace kelvo::test {
namespace {

using platform::Event;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

class FrontEndTest : public ::testing::Test {
protected:
    FrontEndTest() : window(probe) {}

    template <class C>
    C& Control(int id) {
        return dynamic_cast<C&>(*probe.Window().GetItem(id));
    }

    // Rows "0".."n-1" in a one-column result list.
    void FillList(int rows) {
        auto& list = Control<platform::ListView>(res::kIdResultList);
        list.InsertColumn(0, "n", 80);
        for (int i = 0; i < rows; ++i) list.InsertItem(i, std::to_string(i));
    }

    EventProbe probe;
    Win32TestWindow window;
};

TEST_F(FrontEndTest, BuildsEveryControlOfTheTemplateWithItsClassStyleAndPlace) {
    const platform::DialogTemplate& description = probe.Template();
    HWND dialog = window.Window();
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU),
              DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_EQ(std::string(caption), description.caption);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    for (const platform::ControlTemplate& control : description.controls) {
        if (control.id == platform::kNoId) continue;
        SCOPED_TRACE(control.id);
        HWND item = GetDlgItem(dialog, control.id);
        ASSERT_NE(item, nullptr);
        EXPECT_STREQ(ClassOf(item).c_str(), platform::win32::ControlClassName(control.kind));
        DWORD style = platform::win32::ControlStyle(control);
        // Edits and list views draw a border sunken: WS_BORDER may become WS_EX_CLIENTEDGE.
        if (style & WS_BORDER) {
            style &= ~static_cast<DWORD>(WS_BORDER);
            EXPECT_TRUE((GetWindowLongA(item, GWL_STYLE) & WS_BORDER) ||
                        (GetWindowLongA(item, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        }
        // A combo hands its scroll bar to the list it drops down (checked below).
        if (control.kind == platform::ControlKind::ComboBox) style &= ~static_cast<DWORD>(WS_VSCROLL);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(item, GWL_STYLE)) & style, style);

        // Place and size convert from dialog units each on its own, as the dialog manager does.
        RECT place{control.x, control.y, control.x, control.y};
        RECT size{0, 0, control.width, control.height};
        MapDialogRect(dialog, &place);
        MapDialogRect(dialog, &size);
        RECT actual{};
        GetWindowRect(item, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, place.left);
        EXPECT_EQ(actual.top, place.top);
        EXPECT_EQ(actual.right - actual.left, size.right);
        if (control.kind != platform::ControlKind::ComboBox) {  // a closed combo is one line high
            EXPECT_EQ(actual.bottom - actual.top, size.bottom);
        }
    }
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, res::kIdExit), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);

    // More heights than the dropped list can show: it scrolls.
    HWND heights = GetDlgItem(dialog, res::kIdHeightList);
    for (int i = 0; i < 40; ++i) SendMessageA(heights, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("170"));
    SendMessageA(heights, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(heights, &info));
    EXPECT_TRUE(GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL);
    SendMessageA(heights, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(FrontEndTest, InitialEntriesAreThereBeforeTheDialogStartsAndTheGroupListHasTheFocus) {
    EXPECT_EQ(window.Entries(res::kIdGroupList).size(), 5u);
    EXPECT_EQ(window.Entries(res::kIdAgeList).size(), 4u);
    static constexpr platform::AnsiText kWomen(u8"Женщины");
    EXPECT_EQ(window.Entries(res::kIdGroupList)[3], kWomen.view());
    EXPECT_EQ(window.Selection(res::kIdGroupList), -1);
    EXPECT_EQ(GetFocus(), GetDlgItem(window.Window(), res::kIdGroupList));  // first in tab order
    EXPECT_TRUE(probe.events.empty());
}

TEST_F(FrontEndTest, ProgramSelectionsRaiseNothingAndEachUserChoiceRaisesOneEvent) {
    auto& groups = Control<platform::ComboBox>(res::kIdGroupList);
    groups.SetCurSel(3);
    groups.AddString("x");
    groups.SetCurSel(5);
    window.Pump();
    EXPECT_TRUE(probe.events.empty());

    ASSERT_TRUE(window.Choose(res::kIdGroupList, 1));
    EXPECT_EQ(groups.GetCurSel(), 1);
    ASSERT_TRUE(window.Choose(res::kIdGroupList, 4));
    EXPECT_EQ(probe.Count(Event::SelChange, res::kIdGroupList), 2);
    EXPECT_EQ(probe.events.size(), 2u);

    // The arrow key on the closed list: one step, one event.
    SendMessageA(GetDlgItem(window.Window(), res::kIdGroupList), WM_KEYDOWN, VK_DOWN, 1);
    window.Pump();
    EXPECT_EQ(groups.GetCurSel(), 5);
    EXPECT_EQ(probe.Count(Event::SelChange, res::kIdGroupList), 3);
}

TEST_F(FrontEndTest, ADisabledListCannotBeChosen) {
    Control<platform::ComboBox>(res::kIdAgeList).Enable(false);
    EXPECT_FALSE(window.IsEnabled(res::kIdAgeList));
    EXPECT_FALSE(window.Choose(res::kIdAgeList, 1));
    EXPECT_TRUE(probe.events.empty());
}

TEST_F(FrontEndTest, AClickInTheListFocusesItThenSelectsThenNotifiesTheClick) {
    FillList(5);
    probe.handled = {{Event::ListSetFocus, res::kIdResultList}, {Event::ListClick, res::kIdResultList}};
    ASSERT_TRUE(window.ClickRow(res::kIdResultList, 2));
    ASSERT_EQ(probe.events.size(), 2u);
    EXPECT_EQ(probe.events[0], std::make_pair(Event::ListSetFocus, res::kIdResultList));
    EXPECT_EQ(probe.events[1], std::make_pair(Event::ListClick, res::kIdResultList));
    EXPECT_EQ(window.FirstSelectedItem(res::kIdResultList), 2);

    ASSERT_TRUE(window.ClickRow(res::kIdResultList, 4, true));
    EXPECT_EQ(probe.Count(Event::ListSetFocus, res::kIdResultList), 1);
    EXPECT_EQ(probe.Count(Event::ListClick, res::kIdResultList), 2);
    auto& list = Control<platform::ListView>(res::kIdResultList);
    EXPECT_EQ(list.GetNextSelected(-1), 2);
    EXPECT_EQ(list.GetNextSelected(2), 4);
    EXPECT_EQ(list.GetNextSelected(4), -1);

    ASSERT_TRUE(window.ClickEmptyArea(res::kIdResultList));
    EXPECT_EQ(probe.Count(Event::ListClick, res::kIdResultList), 3);
    EXPECT_EQ(window.FirstSelectedItem(res::kIdResultList), -1);
}

TEST_F(FrontEndTest, RowsSelectedByTheProgramRaiseNoClickWithOrWithoutTheFocus) {
    FillList(5);
    HWND list = GetDlgItem(window.Window(), res::kIdResultList);
    // A program selects rows by setting their state: the list view reports that with
    // LVN_ITEMCHANGED, exactly as it does for a user's click, but no user clicked.
    const auto select = [&](int item, bool selected) {
        const UINT state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        ListView_SetItemState(list, item, state, LVIS_SELECTED | LVIS_FOCUSED);
        window.Pump();
    };
    ASSERT_NE(GetFocus(), list);
    select(3, true);
    select(-1, false);  // every row
    select(1, true);
    EXPECT_TRUE(probe.events.empty());
    EXPECT_EQ(window.FirstSelectedItem(res::kIdResultList), 1);

    // The same once a user's click has given the list the focus.
    ASSERT_TRUE(window.ClickRow(res::kIdResultList, 2));
    ASSERT_EQ(GetFocus(), list);
    const std::size_t afterClick = probe.events.size();
    EXPECT_EQ(probe.Count(Event::ListClick, res::kIdResultList), 1);
    select(2, false);
    select(4, true);
    EXPECT_EQ(probe.events.size(), afterClick);
    EXPECT_EQ(window.FirstSelectedItem(res::kIdResultList), 4);
}

TEST_F(FrontEndTest, ArrowKeysInTheListMoveTheSelectionWithoutAClickAndCtrlCCopies) {
    FillList(5);
    ASSERT_TRUE(window.ClickRow(res::kIdResultList, 0));
    ASSERT_TRUE(window.MoveSelection(res::kIdResultList, 3));
    EXPECT_EQ(window.FirstSelectedItem(res::kIdResultList), 3);
    EXPECT_EQ(probe.Count(Event::ListClick, res::kIdResultList), 1);
    EXPECT_EQ(probe.Count(Event::ListKeySelect, res::kIdResultList), 3);  // one per key, after its move
    ASSERT_TRUE(window.CopyFromList(res::kIdResultList));
    EXPECT_EQ(probe.Count(Event::ListCopy, res::kIdResultList), 1);
    // C without Ctrl is only a key.
    SendMessageA(GetDlgItem(window.Window(), res::kIdResultList), WM_KEYDOWN, 'C', 1);
    window.Pump();
    EXPECT_EQ(probe.Count(Event::ListCopy, res::kIdResultList), 1);
}

TEST_F(FrontEndTest, ARightClickOverTheListAsksForItsContextMenu) {
    FillList(2);
    HWND list = GetDlgItem(window.Window(), res::kIdResultList);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 30));
    PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(10, 30));
    window.Pump();
    EXPECT_EQ(probe.Count(Event::ListContextMenu, res::kIdResultList), 1);
}

TEST_F(FrontEndTest, EnterInTheEditIsOfferedToTheDialogFirst) {
    probe.handled = {{Event::EditReturn, res::kIdValueEdit}};
    ASSERT_TRUE(window.Type(res::kIdValueEdit, "12"));
    ASSERT_TRUE(window.PressEnter());
    EXPECT_EQ(probe.Count(Event::EditReturn, res::kIdValueEdit), 1);
    EXPECT_EQ(probe.Count(Event::Clicked, res::kIdExit), 0);
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ(window.Text(res::kIdValueEdit), "12");
}

TEST_F(FrontEndTest, EnterInTheEditUnhandledReachesTheDefaultButtonAndEndsTheRun) {
    ASSERT_TRUE(window.Type(res::kIdValueEdit, "12"));
    ASSERT_TRUE(window.PressEnter());
    EXPECT_EQ(probe.Count(Event::EditReturn, res::kIdValueEdit), 1);
    EXPECT_EQ(probe.Count(Event::Clicked, res::kIdExit), 1);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_EQ(window.Host().EndCode(), IDOK);
    EXPECT_FALSE(probe.IsOpen());
}

TEST_F(FrontEndTest, ButtonsRaiseTheirClicksAndEscapeCancels) {
    ASSERT_TRUE(window.Press(res::kIdWriteTable));
    ASSERT_TRUE(window.Press(res::kIdChangeValue));
    EXPECT_EQ(probe.Count(Event::Clicked, res::kIdWriteTable), 1);
    EXPECT_EQ(probe.Count(Event::Clicked, res::kIdChangeValue), 1);
    Control<platform::Button>(res::kIdChangeValue).Enable(false);
    EXPECT_FALSE(window.Press(res::kIdChangeValue));
    ASSERT_TRUE(window.PressEscape());
    EXPECT_FALSE(window.IsOpen());
    EXPECT_EQ(window.Host().EndCode(), IDCANCEL);
}

TEST_F(FrontEndTest, MessageBoxesShowTheTextAndTheDefaultTitleWhenGivenNone) {
    static constexpr platform::AnsiText kText(u8"Не удалось записать файл");
    probe.Window().ShowMessage("no table", "");
    probe.Window().ShowMessage(kText, "kelvo");
    ASSERT_EQ(window.Messages().size(), 2u);
    EXPECT_EQ(window.Messages()[0], "no table");
    EXPECT_FALSE(window.MessageTitles()[0].empty());  // the system's own, "Error" in its language
    EXPECT_EQ(window.Messages()[1], kText.view());
    EXPECT_EQ(window.MessageTitles()[1], "kelvo");
}

TEST_F(FrontEndTest, TheClipboardGetsTheAnsiTextAndItsUnicodeForm) {
    static constexpr platform::AnsiText kRow(u8"2\tОбхват шеи\t27.4\r\n");
    probe.Window().SetClipboardText(kRow);
    EXPECT_EQ(window.Clipboard(), kRow.view());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring wide(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(wide, L"2\t\u041e\u0431\u0445\u0432\u0430\u0442 \u0448\u0435\u0438\t27.4\r\n");
}

TEST_F(FrontEndTest, ControlsHoldLongTextsAndAnswerOutOfRangeQuestionsEmpty) {
    auto& list = Control<platform::ListView>(res::kIdResultList);
    list.InsertColumn(0, "a", 50);
    list.InsertColumn(1, "b", 50);
    const std::string longText(700, 'x');
    ASSERT_EQ(list.InsertItem(0, "1"), 0);
    list.SetItemText(0, 1, longText);
    EXPECT_EQ(list.GetItemText(0, 1), longText);
    EXPECT_EQ(list.GetItemText(1, 0), "");
    EXPECT_EQ(list.GetItemCount(), 1);
    list.SetExtendedStyle(list.GetExtendedStyle() | platform::ListView::kFullRowSelect);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(GetDlgItem(window.Window(), res::kIdResultList)) &
                LVS_EX_FULLROWSELECT);
    auto& groups = Control<platform::ComboBox>(res::kIdGroupList);
    EXPECT_EQ(groups.GetItemText(9), "");
    groups.ResetContent();
    EXPECT_EQ(groups.GetCount(), 0);
    EXPECT_EQ(groups.GetCurSel(), -1);
    auto& label = Control<platform::StaticText>(res::kIdThirdLabel);
    EXPECT_EQ(label.GetText(), "T18/T19");
    label.SetText("T19");
    EXPECT_EQ(window.Text(res::kIdThirdLabel), "T19");
}

// A figure of a table with many records: the list takes its rows without a repaint for each
// (under Wine that took 30 ms a row), at a cost per row that does not grow with the rows
// already in it, and shows them once filled, the cells it paints asked of the wrapper.
TEST_F(FrontEndTest, TheResultListFillsInTimeThatGrowsAsItsRows) {
    auto& list = Control<platform::ListView>(res::kIdResultList);
    for (int c = 0; c < 5; ++c) list.InsertColumn(c, "c", 60);
    const auto fill = [&](int rows) {
        results::ResultTable table;
        for (int i = 0; i < rows; ++i) table.Append().cells = {std::to_string(i), "name", "1.0", "0.5", "0.2", ""};
        const auto start = std::chrono::steady_clock::now();
        results::ShowRows(list, table);
        UpdateWindow(GetDlgItem(window.Window(), res::kIdResultList));
        window.Pump();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(list.GetItemCount(), rows);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(window.Window(), res::kIdResultList)));
        EXPECT_EQ(window.ItemText(res::kIdResultList, rows - 1, 0), std::to_string(rows - 1));
        EXPECT_EQ(window.ItemText(res::kIdResultList, rows - 1, 4), "0.2");
        return took.count();
    };
    fill(1000);  // the first paint of the window and its fonts
    // The smallest of three runs each: Wine's own pauses are no part of the fill.
    const auto best = [&](int rows) { return std::min({fill(rows), fill(rows), fill(rows)}); };
    const double small = best(1000), middle = best(10000), large = best(100000);
    std::printf("result list: 1,000 rows %.2f ms, 10,000 rows %.2f ms (x %.1f), 100,000 rows %.2f ms (x %.1f)\n",
                small * 1e3, middle * 1e3, middle / small, large * 1e3, large / small);
    // Linear is 100; a fill that shifts what it holds for every row is far beyond.
    EXPECT_LE(large / small, 150.0);
    EXPECT_LT(large, 5.0) << "100,000 rows took " << large << " s";
}

// The list holds no items of its own, so it asks what typing into it finds: the next row whose
// first column begins with the typed text, and nothing, not the first row, when none does.
TEST_F(FrontEndTest, TypingIntoTheListSelectsTheRowItsTextBegins) {
    auto& list = Control<platform::ListView>(res::kIdResultList);
    list.InsertColumn(0, "n", 80);
    for (const char* label : {"a1", "b2", "B3", "c4"}) list.InsertItem(list.GetItemCount(), label);
    HWND view = GetDlgItem(window.Window(), res::kIdResultList);
    SetFocus(view);
    const auto type = [&](char c) {
        SendMessageA(view, WM_CHAR, static_cast<WPARAM>(c), 1);  // a repeat count of 1, as typed
        window.Pump();
        return window.FirstSelectedItem(res::kIdResultList);
    };
    EXPECT_EQ(type('c'), 3);
    Sleep(1100);  // past the list's pause between typed keys: the next key starts a new search
    EXPECT_EQ(type('z'), 3);
}

TEST_F(FrontEndTest, ProgressShowsOverTheWindowUntilItEnds) {
    probe.Window().ShowProgress("work", 3, 10);
    HWND bar = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND top, LPARAM found) {
            if (HWND child = FindWindowExA(top, nullptr, PROGRESS_CLASSA, nullptr)) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&bar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 3);
    EXPECT_EQ(GetWindow(GetParent(bar), GW_OWNER), window.Window());
    probe.Window().ShowProgress("work", 7, 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 7);
    probe.Window().EndProgress();
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(FrontEndTest, APopupMenuReturnsTheChosenEntry) {
    const platform::MenuItem items[] = {{1, "first", {}, true}, {2, "second", {}, true}};
    // The menu's own loop reads the keys a user presses: down to the second entry, Enter.
    PostMessageA(window.Window(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(window.Window(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(window.Window(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(probe.Window().TrackPopupMenu(items), 1);
}

}  // namespace
}  // namespace kelvo::test
