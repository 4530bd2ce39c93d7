// The kelvo window's own logic on the real Win32 window, where the shared suites cannot look:
// how often the selection handlers run, the size chart through the real popup menu, file
// dialog and progress window, and the figure search as a second modal dialog.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/dialog_window.h"
#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_test_window.h"

// Rectangles compared as gtest finds operators: beside the type, in the global namespace.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

namespace kelvo::test {
namespace {

using platform::Event;

// The kelvo window, counting the selection events that reach its handlers.
class CountingFigureDialog : public app::FigureDialog {
public:
    bool OnEvent(Event event, int id) override {
        if (event == Event::SelChange) ++selectionEvents;
        return FigureDialog::OnEvent(event, id);
    }
    int selectionEvents = 0;
};

class FigureWindowTest : public ::testing::Test {
protected:
    // The first `count` bytes of the file at a Windows-1251 path; empty when it cannot be read.
    static std::string FileHead(const std::string& path, DWORD count) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return {};
        std::string head(count, '\0');
        DWORD got = 0;
        ReadFile(file, head.data(), count, &got, nullptr);
        CloseHandle(file);
        head.resize(got);
        return head;
    }

    void Open(int group) {
        WriteAllGroupTables(dir.Path());
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dir.DataDirectory());
        window = std::make_unique<Win32TestWindow>(dialog);
    }

    TempDir dir;
    CountingFigureDialog dialog;
    std::unique_ptr<Win32TestWindow> window;
};

// Every list the steps fill is selected by the program: none of that may run a handler,
// or each load would run again from inside itself.
TEST_F(FigureWindowTest, StartUpAndTheStepsListsRaiseNoSelectionEvents) {
    for (const int group : {0, 1, 2, 3, 4}) {
        window.reset();
        dialog.selectionEvents = 0;
        Open(group);
        EXPECT_TRUE(dialog.IsComputed());
        EXPECT_EQ(dialog.selectionEvents, 0);
        ASSERT_TRUE(window->Choose(res::kIdHeightList, 1));  // a compute; for the nursery a refill first
        EXPECT_EQ(dialog.selectionEvents, 1);
        ASSERT_TRUE(window->Choose(res::kIdGroupList, group == 3 ? 4 : 3));  // a whole load
        EXPECT_EQ(dialog.selectionEvents, 2);
    }
}

// The row a value change goes to is the one the user clicked: a row the program highlights
// afterwards must not take it over, nor put its value into the edit.
TEST_F(FigureWindowTest, ARowSelectedByTheProgramLeavesTheClickedRowToBeChanged) {
    Open(3);
    ASSERT_TRUE(window->ClickRow(res::kIdResultList, 2));
    ASSERT_EQ(dialog.SelectedRow(), 2);
    const std::string clickedValue = window->Text(res::kIdValueEdit);
    const std::string firstValue = window->ItemText(res::kIdResultList, 0, 2);
    ASSERT_NE(clickedValue, firstValue);

    // Row 0 highlighted by message, as any code in the program would do it.
    HWND list = GetDlgItem(window->Window(), res::kIdResultList);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    window->Pump();
    EXPECT_EQ(dialog.SelectedRow(), 2);
    EXPECT_EQ(window->Text(res::kIdValueEdit), clickedValue);

    ASSERT_TRUE(window->Type(res::kIdValueEdit, "99.9"));
    ASSERT_TRUE(window->Press(res::kIdChangeValue));
    EXPECT_EQ(window->ItemText(res::kIdResultList, 2, 2), "99.9");
    EXPECT_EQ(window->ItemText(res::kIdResultList, 0, 2), firstValue);
}

TEST_F(FigureWindowTest, TheContextMenuSavesTheSizeChartBesideTheTables) {
    Open(3);
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList, 0));
    ASSERT_EQ(window->FileDialogTitles().size(), 1u);
    EXPECT_TRUE(window->Messages().empty());
    // The name the dialog proposed: "Таблица размеров (Женщины).csv" in the data directory.
    static constexpr platform::AnsiText kName(u8"\\Таблица размеров (Женщины).csv");
    const std::string path = dir.DataDirectory() + std::string(kName.view());
    EXPECT_EQ(FileHead(path, 3), "\xEF\xBB\xBF");  // a spreadsheet's UTF-8 mark
    EXPECT_TRUE(window->IsOpen());
    EXPECT_TRUE(dialog.IsComputed());
}

TEST_F(FigureWindowTest, TheContextMenuSavesTheMeasurementsOfTheTypeOfferedFirst) {
    Open(4);
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList, 1));
    ASSERT_EQ(window->FileDialogTitles().size(), 1u);
    EXPECT_TRUE(window->Messages().empty());
    // Accepted as it comes: individual measurements, under the name proposed.
    static constexpr platform::AnsiText kName(u8"\\Мерки (Мужчины, 146-84-66).vit");
    const std::string path = dir.DataDirectory() + std::string(kName.view());
    EXPECT_NE(FileHead(path, 64).find("<vit>"), std::string::npos) << FileHead(path, 64);
}

// The figure search is a second modal dialog over the window, driven through its own
// controls; the figure chosen there is chosen in the window's lists, one selection each.
TEST_F(FigureWindowTest, TheFigureSearchChoosesItsFigureInTheWindow) {
    Open(2);
    std::vector<std::string> row;
    window->modalUser = [&](Win32TestWindow& search) {
        EXPECT_EQ(GetWindow(search.Window(), GW_OWNER), window->Window());
        EXPECT_FALSE(IsWindowEnabled(window->Window()));
        EXPECT_FALSE(search.IsEnabled(res::kIdNearestChoose));
        // The further feature from the list: its row, the value, "Задать".
        search.ClickRow(res::kIdNearestFeatureList, 0);
        search.Type(res::kIdNearestFeatureValue, "59");
        search.Press(res::kIdNearestSetValue);
        EXPECT_EQ(search.ItemText(res::kIdNearestFeatureList, 0, 3), "59");
        search.Type(res::kIdNearestHeight, "141");
        search.Type(res::kIdNearestChest, "70,5");
        ASSERT_TRUE(search.Choose(res::kIdNearestAgeList, 0));  // any age group
        search.PressEnter();
        ASSERT_EQ(search.ItemCount(res::kIdNearestResults), 3);
        for (int column = 0; column < 4; ++column) row.push_back(search.ItemText(res::kIdNearestResults, 1, column));
        ASSERT_TRUE(search.ClickRow(res::kIdNearestResults, 1));
        ASSERT_TRUE(search.Press(res::kIdNearestChoose));
    };
    dialog.selectionEvents = 0;
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList, 2));
    window->modalUser = nullptr;
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_TRUE(window->FileDialogTitles().empty());
    EXPECT_TRUE(IsWindowEnabled(window->Window()));
    // The program's selections raise no events of their own.
    EXPECT_EQ(dialog.selectionEvents, 0);
    const auto shown = [this](int list) {
        const int index = window->Selection(list);
        return index < 0 ? std::string() : window->Entries(list)[static_cast<std::size_t>(index)];
    };
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row, (std::vector<std::string>{shown(res::kIdAgeList), shown(res::kIdHeightList),
                                             shown(res::kIdChestList), shown(res::kIdThirdList)}));
    EXPECT_TRUE(dialog.IsComputed());
    EXPECT_EQ(window->ItemCount(res::kIdResultList), dialog.Results().GetSize());
}

// "Размерно-ростовочный ассортимент" from the menu bar, a third modal level: the survey file
// typed into the real file dialog, the columns guessed, the figures counted, the heat map
// painted by the dialog through the picture control's owner drawing, two sizes chosen.
TEST_F(FigureWindowTest, TheSurveyDialogCountsAFileChosenInTheFileDialogAndPaintsItsHeatMap) {
    Open(3);
    std::string file = "Рост;Обхват груди;Обхват бедер\r\n";
    for (int n = 0; n < 40; ++n)
        file += std::to_string(158 + 6 * (n % 3)) + ";" + std::to_string(88 + 4 * (n % 4)) + ";" +
                std::to_string(96 + 4 * (n % 2)) + "\r\n";
    file += "164;;100\r\n";
    WriteFileBytes(dir / "people.csv", platform::Utf8ToAnsi(file));
    window->AnswerFileDialogs((dir / "people.csv").string());
    long long counted = -1, white = 0, painted = 0;
    int sizes = -1;
    window->modalUser = [&](Win32TestWindow& survey) {
        ASSERT_TRUE(survey.Press(res::kIdSurveyFile));
        EXPECT_EQ(survey.Selection(res::kIdSurveyHeightColumn), 1);
        EXPECT_EQ(survey.Selection(res::kIdSurveyThirdColumn), 3);
        ASSERT_TRUE(survey.Press(res::kIdSurveyRun));
        EXPECT_TRUE(survey.Messages().empty());
        counted = 0;
        for (int row = 0; row < survey.ItemCount(res::kIdSurveyFigures); ++row)
            counted += std::stoll(survey.ItemText(res::kIdSurveyFigures, row, 1));
        // The heat map as the control paints it: grey and black on white.
        HWND map = GetDlgItem(survey.Window(), res::kIdSurveyHeatMap);
        RECT area{};
        GetClientRect(map, &area);
        HDC screen = GetDC(map);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));  // no colour the map paints
        FillRect(dc, &area, magenta);
        DeleteObject(magenta);
        PrintWindow(map, dc, PW_CLIENTONLY);
        for (int y = 0; y < area.bottom; y += 2)
            for (int x = 0; x < area.right; x += 2) {
                const COLORREF pixel = GetPixel(dc, x, y);
                white += pixel == RGB(255, 255, 255);
                painted += pixel != RGB(255, 255, 255) && pixel != RGB(255, 0, 255);
            }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(map, screen);
        ASSERT_TRUE(survey.Type(res::kIdSurveyCount, "2"));
        ASSERT_TRUE(survey.Press(res::kIdSurveySizes));
        sizes = survey.ItemCount(res::kIdSurveySizesList);
        ASSERT_TRUE(survey.PressCloseBox());
    };
    ASSERT_TRUE(window->ChooseMenuItem(res::kCmdSurvey));
    window->modalUser = nullptr;
    window->AnswerFileDialogs("");
    EXPECT_EQ(window->FileDialogTitles().size(), 1u);
    EXPECT_EQ(counted, 40);
    EXPECT_GT(white, 0);
    EXPECT_GT(painted, 0);
    EXPECT_EQ(sizes, 2);
    EXPECT_TRUE(IsWindowEnabled(window->Window()));
}

TEST_F(FigureWindowTest, TheContextMenuLeftWithEscapeDoesNothing) {
    Open(4);
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList, -1));
    EXPECT_TRUE(window->FileDialogTitles().empty());
    EXPECT_TRUE(window->Messages().empty());
    EXPECT_TRUE(window->IsOpen());
}

RECT PlaceOf(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE SizeOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT Moved(RECT rect, int dx, int dy, int grownX = 0, int grownY = 0) {
    OffsetRect(&rect, dx, dy);
    rect.right += grownX;
    rect.bottom += grownY;
    return rect;
}

// The window grows by (dx, dy): the list takes it and its names the width, the value moves
// with the corner, the buttons with the bottom edge, the steps' lists stay; never smaller
// than the template, and the text shown in a cell without the fields' padding.
TEST_F(FigureWindowTest, AGrownWindowGivesItsRoomToTheListAndNeverShrinksBelowTheTemplate) {
    Open(3);
    HWND main = window->Window();
    HWND list = GetDlgItem(main, res::kIdResultList);
    EXPECT_TRUE(GetWindowLongA(main, GWL_STYLE) & WS_THICKFRAME);
    const int ids[] = {res::kIdGroupList, res::kIdThirdList, res::kIdResultList, res::kIdValueEdit,
                       res::kIdWriteTable, res::kIdExit};
    const auto places = [&] {
        std::vector<RECT> rects;
        for (const int id : ids) rects.push_back(PlaceOf(main, id));
        return rects;
    };
    const std::vector<RECT> before = places();
    const SIZE minimum = SizeOf(main);
    const int names = ListView_GetColumnWidth(list, 1), values = ListView_GetColumnWidth(list, 2);
    constexpr int dx = 150, dy = 90;
    SetWindowPos(main, nullptr, 0, 0, minimum.cx + dx, minimum.cy + dy, SWP_NOMOVE | SWP_NOZORDER);
    window->Pump();
    const std::vector<RECT> after = places();
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2], Moved(before[2], 0, 0, dx, dy));
    EXPECT_EQ(after[3], Moved(before[3], dx, dy));
    EXPECT_EQ(after[4], Moved(before[4], 0, dy));
    EXPECT_EQ(after[5], Moved(before[5], 0, dy));
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), names + dx);
    EXPECT_EQ(ListView_GetColumnWidth(list, 2), values);

    SetWindowPos(main, nullptr, 0, 0, minimum.cx - 50, minimum.cy - 50, SWP_NOMOVE | SWP_NOZORDER);
    window->Pump();
    EXPECT_EQ(SizeOf(main).cx, minimum.cx);
    EXPECT_EQ(SizeOf(main).cy, minimum.cy);
    EXPECT_EQ(places(), before);

    char shown[256] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = shown;
    item.cchTextMax = sizeof shown;
    SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
    const std::string cell = window->ItemText(res::kIdResultList, 0, 1);
    EXPECT_EQ(std::string(shown), cell.substr(0, cell.find_last_not_of(' ') + 1));
    EXPECT_NE(std::string(shown), cell);  // the table's field is wider than the name
}

// The program's window opens again at the size and state it was closed with.
TEST_F(FigureWindowTest, TheWindowComesBackAtTheSizeItClosedWith) {
    constexpr const char* kKey = "Software\\kelvo-test";
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    WriteAllGroupTables(dir.Path());
    std::vector<std::unique_ptr<app::FigureDialog>> dialogs;
    const auto open = [&] {
        auto& opened = *dialogs.emplace_back(std::make_unique<app::FigureDialog>());
        opened.SetDataDirectory(dir.DataDirectory());
        auto host = std::make_unique<platform::win32::DialogWindow>(opened);
        host->RememberPlacement(kKey);
        EXPECT_TRUE(host->CreateModeless());
        return host;
    };
    auto first = open();
    const SIZE minimum = SizeOf(first->Window());
    SetWindowPos(first->Window(), nullptr, 0, 0, minimum.cx + 120, minimum.cy + 80, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE grown = SizeOf(first->Window());
    first.reset();
    auto second = open();
    EXPECT_EQ(SizeOf(second->Window()).cx, grown.cx);
    EXPECT_EQ(SizeOf(second->Window()).cy, grown.cy);
    ShowWindow(second->Window(), SW_MAXIMIZE);
    second.reset();
    EXPECT_TRUE(IsZoomed(open()->Window()));

    // Kept from a screen since removed, at a size below the template's: neither is taken.
    HKEY saved = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\kelvo-test\\Window", 0, KEY_WRITE, &saved), ERROR_SUCCESS);
    const std::pair<const char*, int> values[] = {
        {"Left", -30000}, {"Top", -30000}, {"Width", 100}, {"Height", 80}, {"Maximized", 0}};
    for (const auto& [name, value] : values) {
        const auto data = static_cast<DWORD>(value);
        RegSetValueExA(saved, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    RegCloseKey(saved);
    auto third = open();
    EXPECT_EQ(SizeOf(third->Window()).cx, minimum.cx);
    EXPECT_EQ(SizeOf(third->Window()).cy, minimum.cy);
    EXPECT_NE(MonitorFromWindow(third->Window(), MONITOR_DEFAULTTONULL), nullptr);
    third.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

// The captions T1, T16 and T18/T19 and the headings "М/Рост" and "М/Размер" explain
// themselves in the window's tooltip control; a heading's tooltip follows its column when the
// names column widens.
TEST_F(FigureWindowTest, CaptionsAndColumnHeadingsCarryTooltipsThatFollowTheirColumns) {
    Open(3);
    HWND main = window->Window();
    struct Found {
        HWND main, tips;
    } found{main, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM param) {
            auto& f = *reinterpret_cast<Found*>(param);
            char name[64] = {};
            GetClassNameA(candidate, name, sizeof name);
            if (GetWindow(candidate, GW_OWNER) == f.main && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) f.tips = candidate;
            return f.tips ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.tips, nullptr);
    HWND heading = ListView_GetHeader(GetDlgItem(main, res::kIdResultList));
    const auto toolRect = [&](HWND owner, UINT_PTR id) {
        wchar_t text[1024] = {};
        TOOLINFOW info{};
        info.lpszText = text;
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = owner;
        info.uId = id;
        SendMessageW(found.tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
        return info.rect;
    };
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageW(found.tips, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[1024] = {};
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = buffer;
        SendMessageW(found.tips, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        char ansi[1024] = {};
        WideCharToMultiByte(1251, 0, buffer, -1, ansi, sizeof ansi, nullptr, nullptr);
        texts.push_back(ansi);
    }
    const auto has = [&](std::string_view wanted) { return std::find(texts.begin(), texts.end(), wanted) != texts.end(); };
    EXPECT_EQ(count, 6);  // three captions, the find field and two column headings
    EXPECT_TRUE(has(platform::AnsiText(u8"Рост")));
    EXPECT_TRUE(has(platform::AnsiText(u8"Обхват груди третий")));
    EXPECT_TRUE(has(platform::AnsiText(u8"Изменение признака на шаг роста (6 см)")));

    SetWindowPos(main, nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    window->Pump();
    RECT column{};
    Header_GetItemRect(heading, 3, &column);
    EXPECT_EQ(toolRect(heading, 3), column);
}

// The controls of the window in its client area, none over another; labels included.
std::vector<RECT> ControlRects(HWND window) {
    std::vector<RECT> rects;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        rects.push_back(rect);
    }
    return rects;
}

void ExpectNothingOverlaps(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<RECT> rects = ControlRects(window);
    ASSERT_GT(rects.size(), 10u);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        RECT inside{};
        IntersectRect(&inside, &rects[i], &client);
        EXPECT_TRUE(EqualRect(&inside, &rects[i])) << "control " << i << " leaves the client area";
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            RECT both{};
            EXPECT_FALSE(IntersectRect(&both, &rects[i], &rects[j])) << "controls " << i << " and " << j << " overlap";
        }
    }
}

// At the DPI the window opened with, and after the system tells it of a monitor at twice
// that: everything twice as large, the columns too, and still nothing over anything else.
TEST_F(FigureWindowTest, NothingOverlapsAtItsDpiNorAfterMovingToTwiceIt) {
    Open(3);
    HWND shown = window->Window();
    ExpectNothingOverlaps(shown);
    RECT frame{}, client{};
    GetWindowRect(shown, &frame);
    GetClientRect(shown, &client);
    HWND list = GetDlgItem(shown, res::kIdResultList);
    const auto nameWidth = SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0);
    const int dpi = platform::win32::WindowDpi(shown);
    // The names column at the template's 340 pixels of 96 DPI, at the window's DPI.
    EXPECT_EQ(nameWidth, MulDiv(340, dpi, 96));
    RECT suggested{frame.left, frame.top, frame.left + 2 * (frame.right - frame.left),
                   frame.top + 2 * (frame.bottom - frame.top)};
    SendMessageA(shown, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&suggested));
    window->Pump();
    RECT grown{};
    GetClientRect(shown, &grown);
    EXPECT_GE(grown.right, 2 * client.right - 40);
    // Twice as wide, and what the larger window gives the names column besides.
    EXPECT_GE(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 2 * nameWidth);
    EXPECT_LE(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 2 * nameWidth + 40);
    ExpectNothingOverlaps(shown);
    // Text in the larger font: a row is taller than before.
    RECT row{};
    ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
    EXPECT_GT(row.bottom - row.top, 16 * dpi / 96);
}

}  // namespace
}  // namespace kelvo::test
