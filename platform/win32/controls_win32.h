#pragma once
// The controls as thin wrappers over their windows: every call is the control's own message,
// so the window holds the state. A program's CB_SETCURSEL notifies nobody, as the dialog expects.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/controls.h"

namespace kelvo::platform::win32 {

template <class Base>
class WindowControl : public Base {
public:
    explicit WindowControl(HWND window) : window_(window) {}
    void Enable(bool enabled) override { EnableWindow(window_, enabled ? TRUE : FALSE); }
    bool IsEnabled() const override { return IsWindowEnabled(window_) != FALSE; }
    HWND Window() const { return window_; }

protected:
    HWND window_;
};

// The window text as 1251 bytes through the ANSI functions.
std::string WindowText(HWND window);

// The DPI `window` is shown at (96 where the system cannot say): the program lays out and
// sizes in pixels of this DPI.
int WindowDpi(HWND window);

// True while the program sets a control's text: an edit's EN_CHANGE then is not the user's.
bool IsSettingText();
void SetTextQuietly(HWND window, std::string_view text);

template <class Base>
class WindowTextControl : public WindowControl<Base> {
public:
    using WindowControl<Base>::WindowControl;
    void SetText(std::string_view text) override { SetTextQuietly(this->window_, text); }
    std::string GetText() const override { return WindowText(this->window_); }
};

using StaticTextWin32 = WindowTextControl<StaticText>;
using EditWin32 = WindowTextControl<Edit>;
using ButtonWin32 = WindowTextControl<Button>;

// A page drawn by the dialog when the owner-drawn static asks for it.
class PictureWin32 : public WindowControl<Picture> {
public:
    using WindowControl::WindowControl;
    void SetPage(const Page& page, double width, double height) override;
    void Draw(HDC dc, const RECT& area) const;

private:
    Page page_;
    double width_ = 1, height_ = 1;
};

class ComboBoxWin32 : public WindowControl<ComboBox> {
public:
    using WindowControl::WindowControl;
    void ResetContent() override;
    int AddString(std::string_view text) override;
    void SetCurSel(int index) override;
    int GetCurSel() const override;
    int GetCount() const override;
    std::string GetItemText(int index) const override;
};

class ListViewWin32 : public WindowControl<ListView> {
public:
    using WindowControl::WindowControl;
    ~ListViewWin32() override;
    ListViewWin32(const ListViewWin32&) = delete;
    ListViewWin32& operator=(const ListViewWin32&) = delete;
    std::uint32_t GetExtendedStyle() const override;
    void SetExtendedStyle(std::uint32_t style) override;
    void InsertColumn(int index, std::string_view caption, int widthPixels) override;
    void DeleteAllItems() override;
    int InsertItem(int index, std::string_view text) override;
    void SetItemText(int item, int column, std::string_view text) override;
    int GetItemCount() const override;
    std::string GetItemText(int item, int column) const override;
    int GetNextSelected(int start) const override;
    void SelectItem(int item) override;
    // The columns' widths scaled from one DPI to another, as the window moves between monitors.
    void ScaleColumns(int fromDpi, int toDpi);
    void SetRedraw(bool redraw) override;
    void SetItemMarks(int item, std::uint32_t marks) override;
    std::uint32_t GetItemMarks(int item) const override;
    void SetItemToolTip(int item, std::string_view text) override;
    std::string GetItemToolTip(int item) const override;
    // Kept for the window's tooltip control, which shows it over the column's heading.
    void SetColumnToolTip(int column, std::string_view text) override;
    std::string GetColumnToolTip(int column) const;

    // The list's notifications that draw the marks, give the tooltips, the cells it shows
    // and the item a typed prefix finds; the result for the dialog procedure to return.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void OnGetInfoTip(NMLVGETINFOTIPA& tip) const;
    void OnGetDispInfo(NMLVDISPINFOA& info) const;
    void OnGetDispInfo(NMLVDISPINFOW& info) const;
    int OnFindItem(const NMLVFINDITEMA& find) const;
    int OnFindItem(const NMLVFINDITEMW& find) const;

private:
    // The list is a virtual one (LVS_OWNERDATA): it holds the item count and the selection,
    // and asks for each cell as it paints it. Under Wine a list view holding its own items
    // took 3 s for 100,000 rows with its redraw off; this one takes a fifteenth of that.
    struct Item {
        std::vector<std::string> cells;  // one per column as set, 1251; shown without padding
        std::uint32_t marks = kItemPlain;
        std::string toolTip;
    };
    const Item* Find(int item) const;
    int FindLabel(const std::string& text, UINT flags, int start) const;

    std::vector<Item> items_;
    int columns_ = 0;
    HFONT boldFont_ = nullptr;
    std::vector<std::string> columnTips_;
};

}  // namespace kelvo::platform::win32
