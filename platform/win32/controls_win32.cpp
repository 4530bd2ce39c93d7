#include "platform/win32/controls_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace kelvo::platform::win32 {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void ComboBoxWin32::ResetContent() { SendMessageA(window_, CB_RESETCONTENT, 0, 0); }

int ComboBoxWin32::AddString(std::string_view text) {
    const std::string entry(text);
    return static_cast<int>(SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str())));
}

void ComboBoxWin32::SetCurSel(int index) {
    SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBoxWin32::GetCurSel() const { return static_cast<int>(SendMessageA(window_, CB_GETCURSEL, 0, 0)); }

int ComboBoxWin32::GetCount() const { return static_cast<int>(SendMessageA(window_, CB_GETCOUNT, 0, 0)); }

std::string ComboBoxWin32::GetItemText(int index) const {
    const LRESULT length = SendMessageA(window_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(window_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer.data()));
    return got == CB_ERR ? std::string() : std::string(buffer.data(), static_cast<std::size_t>(got));
}

std::uint32_t ListViewWin32::GetExtendedStyle() const {
    return static_cast<std::uint32_t>(SendMessageA(window_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

void ListViewWin32::SetExtendedStyle(std::uint32_t style) {
    // A mask of 0 sets every bit to what `style` says.
    SendMessageA(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

void ListViewWin32::InsertColumn(int index, std::string_view caption, int widthPixels) {
    std::string text(caption);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    // The widths are the template's pixels at 96 DPI: at 144 or 192 the text is larger too.
    column.cx = MulDiv(widthPixels, WindowDpi(window_), 96);
    column.pszText = text.data();
    column.iSubItem = index;
    if (SendMessageA(window_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)) >= 0)
        ++columns_;
}

ListViewWin32::~ListViewWin32() {
    if (boldFont_) DeleteObject(boldFont_);
}

const ListViewWin32::Item* ListViewWin32::Find(int item) const {
    return item >= 0 && static_cast<std::size_t>(item) < items_.size() ? &items_[static_cast<std::size_t>(item)]
                                                                         : nullptr;
}

void ListViewWin32::DeleteAllItems() {
    items_.clear();
    SendMessageA(window_, LVM_DELETEALLITEMS, 0, 0);
}

int ListViewWin32::InsertItem(int index, std::string_view text) {
    if (index < 0) return -1;
    const auto at = std::min(static_cast<std::size_t>(index), items_.size());
    Item item;
    item.cells.resize(static_cast<std::size_t>(std::max(columns_, 1)));
    item.cells[0] = text;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    // Neither a repaint of every item nor a scroll: the items shown stay where they are.
    SendMessageA(window_, LVM_SETITEMCOUNT, items_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (at + 1 < items_.size()) SendMessageA(window_, LVM_REDRAWITEMS, at, items_.size() - 1);
    return static_cast<int>(at);
}

void ListViewWin32::SetItemText(int item, int column, std::string_view text) {
    if (!Find(item) || column < 0 || column >= std::max(columns_, 1)) return;
    auto& cells = items_[static_cast<std::size_t>(item)].cells;
    if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = text;
    SendMessageA(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
}

int ListViewWin32::GetItemCount() const { return static_cast<int>(SendMessageA(window_, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListViewWin32::GetItemText(int item, int column) const {
    const Item* found = Find(item);
    if (!found || column < 0 || static_cast<std::size_t>(column) >= found->cells.size()) return {};
    return found->cells[static_cast<std::size_t>(column)];
}

namespace {
thread_local int settingText = 0;
}  // namespace

int WindowDpi(HWND window) {
    // Windows 10's per-window DPI where it exists; else the system's, which older systems and
    // Wine apply to every window.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpi && window)
        if (const UINT dpi = getDpi(window); dpi > 0) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void ListViewWin32::ScaleColumns(int fromDpi, int toDpi) {
    for (int column = 0; column < columns_; ++column) {
        const auto width = static_cast<int>(SendMessageA(window_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
        SendMessageA(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
    }
}

bool IsSettingText() { return settingText > 0; }

void SetTextQuietly(HWND window, std::string_view text) {
    ++settingText;
    SetWindowTextA(window, std::string(text).c_str());
    --settingText;
}

void PictureWin32::SetPage(const Page& page, double width, double height) {
    page_ = page;
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    InvalidateRect(window_, nullptr, TRUE);
}

void PictureWin32::Draw(HDC dc, const RECT& area) const {
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const double scale = std::min((area.right - area.left) / width_, (area.bottom - area.top) / height_);
    const auto x = [&](double mm) { return area.left + static_cast<int>(mm * scale + 0.5); };
    const auto y = [&](double mm) { return area.top + static_cast<int>(mm * scale + 0.5); };
    for (const PageBox& box : page_.boxes) {
        const int grey = GreyOf(box.shade);
        HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
        const RECT cell{x(box.x), y(box.y), x(box.x + box.width), y(box.y + box.height)};
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
    }
    HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    for (const PageLine& line : page_.lines) {
        MoveToEx(dc, x(line.x1), y(line.y1), nullptr);
        LineTo(dc, x(line.x2), y(line.y2));
    }
    SelectObject(dc, pen);
    // The dialog's own font, at the page's sizes.
    LOGFONTA look{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0)), sizeof look, &look);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    for (const PageText& text : page_.texts) {
        look.lfHeight = -std::max(6, static_cast<int>(kPointsPerFont[static_cast<int>(text.font)] * kMillimetresPerPoint * scale));
        look.lfWeight = text.font == PageFont::Body ? FW_NORMAL : FW_BOLD;
        HFONT font = CreateFontIndirectA(&look);
        HGDIOBJ old = SelectObject(dc, font);
        TextOutA(dc, x(text.x), y(text.y), text.text.c_str(), static_cast<int>(text.text.size()));
        SelectObject(dc, old);
        DeleteObject(font);
    }
}

void ListViewWin32::SelectItem(int item) {
    if (item < 0 || item >= GetItemCount()) return;
    ListView_SetItemState(window_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(window_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, item, FALSE);
}

int ListViewWin32::GetNextSelected(int start) const {
    return static_cast<int>(
        SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0)));
}

void ListViewWin32::SetRedraw(bool redraw) {
    SendMessageA(window_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    // A window whose redraw is turned on again is not repainted by that alone.
    if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

void ListViewWin32::SetItemMarks(int item, std::uint32_t marks) {
    if (!Find(item)) return;
    items_[static_cast<std::size_t>(item)].marks = marks;
    SendMessageA(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
}

std::uint32_t ListViewWin32::GetItemMarks(int item) const {
    const Item* found = Find(item);
    return found ? found->marks : kItemPlain;
}

void ListViewWin32::SetItemToolTip(int item, std::string_view text) {
    if (Find(item)) items_[static_cast<std::size_t>(item)].toolTip = text;
}

std::string ListViewWin32::GetItemToolTip(int item) const {
    const Item* found = Find(item);
    return found ? found->toolTip : std::string();
}

void ListViewWin32::SetColumnToolTip(int column, std::string_view text) {
    if (column < 0) return;
    if (columnTips_.size() <= static_cast<std::size_t>(column)) columnTips_.resize(static_cast<std::size_t>(column) + 1);
    columnTips_[static_cast<std::size_t>(column)] = text;
}

std::string ListViewWin32::GetColumnToolTip(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < columnTips_.size()
               ? columnTips_[static_cast<std::size_t>(column)]
               : std::string();
}

void ListViewWin32::OnGetDispInfo(NMLVDISPINFOA& info) const {
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    const std::string text(ShownText(GetItemText(info.item.iItem, info.item.iSubItem)));
    lstrcpynA(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

void ListViewWin32::OnGetDispInfo(NMLVDISPINFOW& info) const {
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    const std::string text(ShownText(GetItemText(info.item.iItem, info.item.iSubItem)));
    // One UTF-16 unit per byte of 1251; cut to the buffer as the ANSI text is.
    std::wstring wide(text.size(), L'\0');
    MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()));
    lstrcpynW(info.item.pszText, wide.c_str(), info.item.cchTextMax);
}

int ListViewWin32::FindLabel(const std::string& text, UINT flags, int start) const {
    // What typing into the list asks for: the next item from `start` whose first column is
    // the text, or begins with it (LVFI_PARTIAL), in any case, as a list holding its items
    // finds it; none is -1 (0 would select the first item).
    const auto count = static_cast<int>(items_.size());
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || count == 0) return -1;
    const bool partial = (flags & LVFI_PARTIAL) != 0;
    start = std::clamp(start, 0, count);
    for (int n = 0; n < count; ++n) {
        if (start + n >= count && !(flags & LVFI_WRAP)) break;
        const int item = (start + n) % count;
        const std::string& label = items_[static_cast<std::size_t>(item)].cells[0];
        if (label.size() < text.size() || (!partial && label.size() != text.size())) continue;
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, label.data(), static_cast<int>(text.size()),
                           text.data(), static_cast<int>(text.size())) == CSTR_EQUAL)
            return item;
    }
    return -1;
}

int ListViewWin32::OnFindItem(const NMLVFINDITEMA& find) const {
    return find.lvfi.psz ? FindLabel(find.lvfi.psz, find.lvfi.flags, find.iStart) : -1;
}

int ListViewWin32::OnFindItem(const NMLVFINDITEMW& find) const {
    if (!find.lvfi.psz) return -1;
    const int size = WideCharToMultiByte(1251, 0, find.lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(1251, 0, find.lvfi.psz, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
    return FindLabel(text, find.lvfi.flags, find.iStart);
}

LRESULT ListViewWin32::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const std::uint32_t marks = GetItemMarks(static_cast<int>(draw.nmcd.dwItemSpec));
    if (marks == kItemPlain) return CDRF_DODEFAULT;
    if (marks & kItemEdited) {
        if (!boldFont_) {
            LOGFONTA look{};
            auto font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
            GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look);
            look.lfWeight = FW_BOLD;
            boldFont_ = CreateFontIndirectA(&look);
        }
        if (boldFont_) SelectObject(draw.nmcd.hdc, boldFont_);
    }
    if (marks & kItemIllustrative) draw.clrText = GetSysColor(COLOR_GRAYTEXT);
    return CDRF_NEWFONT;
}

void ListViewWin32::OnGetInfoTip(NMLVGETINFOTIPA& tip) const {
    if (!tip.pszText || tip.cchTextMax <= 0) return;
    std::string text = GetItemToolTip(tip.iItem);
    if (text.empty()) {
        // A name cut off by its column is shown whole.
        std::string name(ShownText(GetItemText(tip.iItem, 1)));
        const auto width = SendMessageA(window_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(name.c_str()));
        constexpr LRESULT kCellMargins = 12;
        if (width + kCellMargins > SendMessageA(window_, LVM_GETCOLUMNWIDTH, 1, 0)) text = std::move(name);
    }
    lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
}

}  // namespace kelvo::platform::win32
