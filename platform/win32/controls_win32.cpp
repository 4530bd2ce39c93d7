#include "platform/win32/controls_win32.h"

#include <commctrl.h>

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
    column.cx = widthPixels;
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageA(window_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

ListViewWin32::~ListViewWin32() {
    if (boldFont_) DeleteObject(boldFont_);
}

void ListViewWin32::DeleteAllItems() {
    SendMessageA(window_, LVM_DELETEALLITEMS, 0, 0);
    looks_.clear();
}

int ListViewWin32::InsertItem(int index, std::string_view text) {
    std::string label(ShownText(text));
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = label.data();
    const int at = static_cast<int>(SendMessageA(window_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at >= 0 && static_cast<std::size_t>(at) <= looks_.size())
        looks_.insert(looks_.begin() + at, ItemLook{});
    KeepCell(at, 0, text);
    return at;
}

void ListViewWin32::KeepCell(int item, int column, std::string_view text) {
    if (item < 0 || static_cast<std::size_t>(item) >= looks_.size() || column < 0) return;
    auto& cells = looks_[static_cast<std::size_t>(item)].cells;
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = text;
}

void ListViewWin32::SetItemText(int item, int column, std::string_view text) {
    std::string label(ShownText(text));
    LVITEMA sub{};
    sub.iSubItem = column;
    sub.pszText = label.data();
    if (SendMessageA(window_, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&sub)))
        KeepCell(item, column, text);
}

int ListViewWin32::GetItemCount() const { return static_cast<int>(SendMessageA(window_, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListViewWin32::GetItemText(int item, int column) const {
    if (item < 0 || item >= GetItemCount()) return {};
    if (static_cast<std::size_t>(item) < looks_.size() && column >= 0) {
        const auto& cells = looks_[static_cast<std::size_t>(item)].cells;
        if (static_cast<std::size_t>(column) < cells.size()) return cells[static_cast<std::size_t>(column)];
    }
    // LVM_GETITEMTEXT tells no length: grow the buffer until the text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = buffer.data();
        sub.cchTextMax = static_cast<int>(buffer.size());
        const auto got = static_cast<std::size_t>(
            SendMessageA(window_, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&sub)));
        if (got + 1 < buffer.size()) return std::string(sub.pszText, got);
        buffer.resize(buffer.size() * 2);
    }
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
    if (item < 0 || static_cast<std::size_t>(item) >= looks_.size()) return;
    looks_[static_cast<std::size_t>(item)].marks = marks;
    SendMessageA(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
}

std::uint32_t ListViewWin32::GetItemMarks(int item) const {
    return item >= 0 && static_cast<std::size_t>(item) < looks_.size() ? looks_[static_cast<std::size_t>(item)].marks
                                                                        : kItemPlain;
}

void ListViewWin32::SetItemToolTip(int item, std::string_view text) {
    if (item >= 0 && static_cast<std::size_t>(item) < looks_.size()) looks_[static_cast<std::size_t>(item)].toolTip = text;
}

std::string ListViewWin32::GetItemToolTip(int item) const {
    return item >= 0 && static_cast<std::size_t>(item) < looks_.size() ? looks_[static_cast<std::size_t>(item)].toolTip
                                                                        : std::string();
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
