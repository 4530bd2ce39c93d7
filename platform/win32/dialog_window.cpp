#include "platform/win32/dialog_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/controls_win32.h"
#include "platform/win32/gdi_page_canvas.h"
#include "platform/win32/dialog_template_win32.h"

namespace kelvo::platform::win32 {
namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// Posted to the dialog after a key that moves a list's selection; first: the list's id.
constexpr UINT kListKeySelected = WM_APP + 1;

bool IsNavigationKey(WORD key) {
    switch (key) {
        case VK_UP: case VK_DOWN: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: return true;
        default: return false;
    }
}

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(1251, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(1251, 0, text.data(), size, wide.data(), length);
    return wide;
}

// Puts `size` bytes on the clipboard as `format`; false when no memory could be had.
bool PutClipboardData(UINT format, const void* data, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* locked = GlobalLock(memory);
    if (!locked) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(locked, data, size);
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

// Where a window was when it closed, as kept under HKEY_CURRENT_USER: DWORD values.
struct SavedPlacement {
    int left, top, width, height, maximized;
};
constexpr const char* kPlacementValues[] = {"Left", "Top", "Width", "Height", "Maximized"};

bool ReadPlacement(const std::string& key, SavedPlacement& saved) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (key + "\\Window").c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    int* fields[] = {&saved.left, &saved.top, &saved.width, &saved.height, &saved.maximized};
    bool read = true;
    for (std::size_t i = 0; i < std::size(fields) && read; ++i) {
        DWORD value = 0, size = sizeof value, type = 0;
        read = RegQueryValueExA(opened, kPlacementValues[i], nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                   ERROR_SUCCESS && type == REG_DWORD;
        *fields[i] = static_cast<int>(value);
    }
    RegCloseKey(opened);
    return read;
}

void WritePlacement(const std::string& key, const SavedPlacement& saved) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key + "\\Window").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS)
        return;
    const int fields[] = {saved.left, saved.top, saved.width, saved.height, saved.maximized};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const auto value = static_cast<DWORD>(fields[i]);
        RegSetValueExA(opened, kPlacementValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    RegCloseKey(opened);
}

// A control's rectangle in its dialog's client coordinates.
RECT PlaceIn(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void SetToolRect(HWND toolTips, HWND owner, UINT_PTR id, const RECT& rect) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = id;
    tool.rect = rect;
    SendMessageW(toolTips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

DialogWindow::DialogWindow(Dialog& dialog)
    : dialog_(dialog), template_(BuildDialogTemplate(dialog.Template(), WindowDpi(nullptr))) {}

DialogWindow::~DialogWindow() {
    if (window_) DestroyWindow(window_);
}

int DialogWindow::RunModal(HWND owner) {
    modal_ = true;
    const INT_PTR result =
        DialogBoxIndirectParamA(Instance(), reinterpret_cast<const DLGTEMPLATE*>(template_.data()), owner,
                                &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    return result == -1 ? -1 : endCode_;
}

bool DialogWindow::CreateModeless() {
    modal_ = false;
    return CreateDialogIndirectParamA(Instance(), reinterpret_cast<const DLGTEMPLATE*>(template_.data()), nullptr,
                                      &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogWindow*>(second);
        SetWindowLongPtrA(window, DWLP_USER, second);
        self->window_ = window;
        return self->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) find no window object yet: default handling.
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->OnMessage(message, first, second) : FALSE;
}

INT_PTR DialogWindow::OnMessage(UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_COMMAND: return OnCommand(LOWORD(first), HIWORD(first));
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(second));
        case WM_CONTEXTMENU: {
            const ControlTemplate* control = TemplateOf(reinterpret_cast<HWND>(first));
            return control && control->kind == ControlKind::ListView && Raise(Event::ListContextMenu, control->id);
        }
        case WM_PAINT: return OnPaint(nullptr);
        // Painting into a given device context, as for a picture of the window.
        case WM_PRINTCLIENT: return OnPaint(reinterpret_cast<HDC>(first));
        case WM_QUERYDRAGICON: {
            // One of the messages whose dialog-procedure result is the answer itself.
            const int icon = dialog_.OnQueryDragIcon();
            return icon != 0 ? reinterpret_cast<INT_PTR>(Icon(icon, true)) : FALSE;
        }
        case kListKeySelected: Raise(Event::ListKeySelect, static_cast<int>(first)); return TRUE;
        case WM_GETMINMAXINFO:
            if (placed_.empty()) return FALSE;
            reinterpret_cast<MINMAXINFO*>(second)->ptMinTrackSize = {minimumWindow_.cx, minimumWindow_.cy};
            return TRUE;
        case WM_SIZE:
            if (first != SIZE_MINIMIZED) PlaceControls();
            return FALSE;
        case WM_DRAWITEM: {
            const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(second);
            auto* picture = dynamic_cast<PictureWin32*>(GetItem(static_cast<int>(draw.CtlID)));
            if (!picture) return FALSE;
            picture->Draw(draw.hDC, draw.rcItem);
            return TRUE;
        }
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(first), *reinterpret_cast<const RECT*>(second));
            return TRUE;
        case WM_CLOSE: {
            // The close box: Esc's command, but never an edit's Esc.
            closing_ = true;
            SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            closing_ = false;
            return TRUE;
        }
        case WM_DESTROY:
            menuBar_.Release();
            SavePlacement();
            OnDestroy();
            return FALSE;
        default: return FALSE;
    }
}

BOOL DialogWindow::OnInitDialog() {
    for (const ControlTemplate& control : dialog_.Template().controls) {
        if (control.id == kNoId) continue;
        HWND item = GetDlgItem(window_, control.id);
        if (!item) continue;
        std::unique_ptr<Control> wrapper;
        switch (control.kind) {
            case ControlKind::PushButton: wrapper = std::make_unique<ButtonWin32>(item); break;
            case ControlKind::ComboBox: wrapper = std::make_unique<ComboBoxWin32>(item); break;
            case ControlKind::StaticText:
            case ControlKind::StatusLine: wrapper = std::make_unique<StaticTextWin32>(item); break;
            case ControlKind::Picture: wrapper = std::make_unique<PictureWin32>(item); break;
            case ControlKind::ListView: wrapper = std::make_unique<ListViewWin32>(item); break;
            case ControlKind::Edit: wrapper = std::make_unique<EditWin32>(item); break;
        }
        controls_[control.id] = std::move(wrapper);
        // The list asks for each item's tooltip (LVN_GETINFOTIP); the dialog's own extended
        // style keeps the bit, since it adds to what it reads.
        if (control.kind == ControlKind::ListView)
            SendMessageA(item, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP, LVS_EX_INFOTIP);
    }
    // The template's init data: entries the lists hold before the dialog's own start-up.
    for (const InitialEntry& entry : dialog_.Template().initialEntries)
        if (auto* combo = dynamic_cast<ComboBox*>(GetItem(entry.id))) combo->AddString(entry.text);
    dpi_ = WindowDpi(window_);
    RecordLayout();
    const bool focusFirst = dialog_.Open(*this);
    // After OnInitDialog: the list's columns and their tooltips exist now.
    if (window_) {
        AddToolTips();
        RestorePlacement();
    }
    // True lets Windows put the focus on the first control in tab order.
    return focusFirst ? TRUE : FALSE;
}

void DialogWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || dpi == dpi_) return;
    const int from = dpi_;
    dpi_ = dpi;
    const auto scale = [from, dpi](LONG value) { return static_cast<LONG>(MulDiv(static_cast<int>(value), dpi, from)); };
    // The template's font at the new DPI, for the dialog and every control.
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
    LOGFONTA look{};
    if (current && GetObjectA(current, sizeof look, &look)) {
        look.lfHeight = scale(look.lfHeight);
        look.lfWidth = scale(look.lfWidth);
        const std::string_view face = DialogFontAt(look.lfFaceName, dpi);
        const std::size_t length = std::min(face.size(), sizeof look.lfFaceName - 1);
        std::memcpy(look.lfFaceName, face.data(), length);
        look.lfFaceName[length] = '\0';
        if (HFONT font = CreateFontIndirectA(&look)) {
            SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            if (scaledFont_) DeleteObject(scaledFont_);
            scaledFont_ = font;
        }
    }
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = PlaceIn(window_, child);
        SetWindowPos(child, nullptr, scale(rect.left), scale(rect.top), scale(rect.right - rect.left),
                     scale(rect.bottom - rect.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (auto& [id, control] : controls_)
        if (auto* list = dynamic_cast<ListViewWin32*>(control.get())) list->ScaleColumns(from, dpi);
    // What growing is measured from, as if the window had been made at this DPI.
    for (Rect& rect : placed_)
        rect = {scale(rect.x), scale(rect.y), scale(rect.width), scale(rect.height)};
    minimumClient_ = {scale(minimumClient_.cx), scale(minimumClient_.cy)};
    minimumWindow_ = {scale(minimumWindow_.cx), scale(minimumWindow_.cy)};
    columnsGrownBy_ = scale(columnsGrownBy_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void DialogWindow::RecordLayout() {
    // Windows creates a template's controls in its order, each after the one before.
    children_.clear();
    const auto& controls = dialog_.Template().controls;
    for (HWND child = GetWindow(window_, GW_CHILD); child && children_.size() < controls.size();
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != static_cast<WORD>(controls[children_.size()].id)) {
            children_.clear();
            return;
        }
        children_.push_back(child);
    }
    if (children_.size() != controls.size() || !dialog_.Template().Resizable()) return;
    RECT frame{}, client{};
    GetWindowRect(window_, &frame);
    GetClientRect(window_, &client);
    minimumWindow_ = {frame.right - frame.left, frame.bottom - frame.top};
    minimumClient_ = {client.right, client.bottom};
    for (HWND child : children_) {
        const RECT rect = PlaceIn(window_, child);
        placed_.push_back({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
    }
}

void DialogWindow::PlaceControls() {
    if (placed_.empty()) return;
    RECT client{};
    GetClientRect(window_, &client);
    const int dx = std::max(0, static_cast<int>(client.right - minimumClient_.cx));
    const int dy = std::max(0, static_cast<int>(client.bottom - minimumClient_.cy));
    const auto& controls = dialog_.Template().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& control = controls[i];
        if (!(control.style & kGrowthStyles)) continue;
        // A status bar places itself along the bottom edge when told of the new size.
        if (control.kind == ControlKind::StatusLine) {
            SendMessageA(children_[i], WM_SIZE, 0, 0);
            continue;
        }
        const Rect rect = GrownRect(control, placed_[i], dx, dy);
        SetWindowPos(children_[i], nullptr, rect.x, rect.y, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.kind == ControlKind::ListView && control.growingColumn >= 0 && (control.style & kGrowWidth)) {
            // By the width gained since the last resize: a column the user has widened keeps that.
            const auto column = static_cast<WPARAM>(control.growingColumn);
            const auto width = static_cast<int>(SendMessageA(children_[i], LVM_GETCOLUMNWIDTH, column, 0));
            SendMessageA(children_[i], LVM_SETCOLUMNWIDTH, column, MAKELPARAM(std::max(0, width + dx - columnsGrownBy_), 0));
        }
    }
    columnsGrownBy_ = dx;
    PlaceToolTips();
    // A label moved over the dialog's background leaves its old picture behind otherwise.
    InvalidateRect(window_, nullptr, TRUE);
}

void DialogWindow::AddToolTips() {
    const auto& controls = dialog_.Template().controls;
    if (children_.size() != controls.size()) return;
    toolTips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                Instance(), nullptr);
    if (!toolTips_) return;
    // The size of the structure the system's oldest tooltip control knows: a larger one is
    // refused by a program that runs without a manifest for the newer controls.
    const auto add = [this](HWND owner, UINT_PTR id, std::string_view text) {
        std::wstring wide = AnsiToWide(text);
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = owner;
        tool.uId = id;
        tool.lpszText = wide.data();
        SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        // A label passes the mouse on to the dialog: the tool is its rectangle there.
        if (!controls[i].toolTip.empty()) add(window_, i, controls[i].toolTip);
        auto* list = controls[i].kind == ControlKind::ListView ? dynamic_cast<ListViewWin32*>(GetItem(controls[i].id))
                                                              : nullptr;
        if (!list) continue;
        HWND heading = ListView_GetHeader(children_[i]);
        const int columns = heading ? Header_GetItemCount(heading) : 0;
        for (int column = 0; column < columns; ++column)
            if (const std::string tip = list->GetColumnToolTip(column); !tip.empty())
                add(heading, static_cast<UINT_PTR>(column), tip);
    }
    PlaceToolTips();
}

void DialogWindow::PlaceToolTips() {
    if (!toolTips_) return;
    const auto& controls = dialog_.Template().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!controls[i].toolTip.empty()) SetToolRect(toolTips_, window_, i, PlaceIn(window_, children_[i]));
        if (controls[i].kind != ControlKind::ListView) continue;
        HWND heading = ListView_GetHeader(children_[i]);
        const int columns = heading ? Header_GetItemCount(heading) : 0;
        for (int column = 0; column < columns; ++column) {
            RECT rect{};
            if (Header_GetItemRect(heading, column, &rect)) SetToolRect(toolTips_, heading, static_cast<UINT_PTR>(column), rect);
        }
    }
}

void DialogWindow::RestorePlacement() {
    if (placementKey_.empty() || placed_.empty()) return;
    placementRestored_ = true;
    SavedPlacement saved{};
    if (!ReadPlacement(placementKey_, saved)) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window_, &placement)) return;
    // Never smaller than the template (a size kept by an older layout or a smaller font),
    // and never off every screen (a monitor since removed): then where it opens today.
    const int width = std::max(saved.width, static_cast<int>(minimumWindow_.cx));
    const int height = std::max(saved.height, static_cast<int>(minimumWindow_.cy));
    RECT caption{saved.left, saved.top, saved.left + width, saved.top + GetSystemMetrics(SM_CYCAPTION)};
    RECT& normal = placement.rcNormalPosition;
    if (MonitorFromRect(&caption, MONITOR_DEFAULTTONULL)) {
        normal.left = saved.left;
        normal.top = saved.top;
    }
    normal.right = normal.left + width;
    normal.bottom = normal.top + height;
    placement.flags = 0;
    // Not shown yet: the dialog shows itself once it has opened.
    placement.showCmd = saved.maximized ? SW_SHOWMAXIMIZED : (IsWindowVisible(window_) ? SW_SHOWNORMAL : SW_HIDE);
    SetWindowPlacement(window_, &placement);
}

void DialogWindow::SavePlacement() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    // Not for a window that ended while it opened: it never had the kept place.
    if (!placementRestored_ || !GetWindowPlacement(window_, &placement)) return;
    const RECT& normal = placement.rcNormalPosition;
    const bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                           (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    WritePlacement(placementKey_, {static_cast<int>(normal.left), static_cast<int>(normal.top),
                                   static_cast<int>(normal.right - normal.left),
                                   static_cast<int>(normal.bottom - normal.top), maximized ? 1 : 0});
}

BOOL DialogWindow::OnCommand(int id, int code) {
    // A menu entry (code 0) or its accelerator (code 1).
    if ((code == 0 || code == 1) && menuBar_.HasCommand(id)) {
        Raise(Event::Command, id);
        return TRUE;
    }
    if ((id == IDOK || (id == IDCANCEL && !closing_)) && code == BN_CLICKED) {
        // Enter and Esc in an edit arrive as the default and the cancel command; the dialog may take them.
        const ControlTemplate* focused = TemplateOf(GetFocus());
        if (focused && focused->kind == ControlKind::Edit &&
            Raise(id == IDOK ? Event::EditReturn : Event::EditEscape, focused->id))
            return TRUE;
    }
    const ControlTemplate* control = dialog_.Template().Find(id);
    if (control && control->kind == ControlKind::ComboBox) {
        return code == CBN_SELCHANGE && Raise(Event::SelChange, id);
    }
    // Typed by the user: the program's own SetText changes the text too, and says so.
    if (control && control->kind == ControlKind::Edit) {
        return code == EN_CHANGE && !IsSettingText() && Raise(Event::EditChange, id);
    }
    if (code != BN_CLICKED) return FALSE;
    if (Raise(Event::Clicked, id)) return TRUE;
    // IDCANCEL comes from Esc and the close box without a button of its own.
    if (id == IDOK || id == IDCANCEL) {
        if (!dialog_.IsOpen() || dialog_.QueryClose()) EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

BOOL DialogWindow::OnNotify(const NMHDR& header) {
    // A list passes on its heading's notifications: a column the user resized moves the
    // tooltips of the columns after it.
    if (header.code == HDN_ITEMCHANGEDA || header.code == HDN_ITEMCHANGEDW) {
        PlaceToolTips();
        return FALSE;
    }
    const ControlTemplate* control = dialog_.Template().Find(static_cast<int>(header.idFrom));
    if (!control || control->kind != ControlKind::ListView) return FALSE;
    if (header.code == NM_CUSTOMDRAW || header.code == LVN_GETINFOTIPA || header.code == LVN_GETDISPINFOA ||
        header.code == LVN_GETDISPINFOW || header.code == LVN_ODFINDITEMA || header.code == LVN_ODFINDITEMW) {
        auto* list = dynamic_cast<ListViewWin32*>(GetItem(control->id));
        if (!list) return FALSE;
        LRESULT result = 0;
        // The notification's structure is the list's own, sent for us to fill in.
        auto& writable = const_cast<NMHDR&>(header);
        switch (header.code) {
            case NM_CUSTOMDRAW: result = list->OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(writable)); break;
            case LVN_GETINFOTIPA: list->OnGetInfoTip(reinterpret_cast<NMLVGETINFOTIPA&>(writable)); break;
            case LVN_GETDISPINFOA: list->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(writable)); break;
            case LVN_GETDISPINFOW: list->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW&>(writable)); break;
            case LVN_ODFINDITEMA: result = list->OnFindItem(reinterpret_cast<const NMLVFINDITEMA&>(header)); break;
            case LVN_ODFINDITEMW: result = list->OnFindItem(reinterpret_cast<const NMLVFINDITEMW&>(header)); break;
            default: break;
        }
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    bool handled = false;
    switch (header.code) {
        case NM_CLICK: handled = Raise(Event::ListClick, control->id); break;
        case NM_SETFOCUS: handled = Raise(Event::ListSetFocus, control->id); break;
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            if (key.wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) handled = Raise(Event::ListCopy, control->id);
            // The key reaches the list after this notification: the selection has moved
            // once the posted message arrives.
            if (IsNavigationKey(key.wVKey)) PostMessageA(window_, kListKeySelected, static_cast<WPARAM>(control->id), 0);
            break;
        }
        default: break;
    }
    if (!handled) return FALSE;
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, 0);
    return TRUE;
}

BOOL DialogWindow::OnPaint(HDC target) {
    painting_ = true;
    paintTarget_ = target;
    paintBegun_ = false;
    iconDrawn_ = false;
    Raise(Event::Paint, kNoId);
    if (paintBegun_) EndPaint(window_, &paint_);
    painting_ = false;
    paintTarget_ = nullptr;
    paintBegun_ = false;
    // Nothing drawn by the dialog (unhandled, or DefaultPaint): the dialog's default painting.
    if (!iconDrawn_) return FALSE;
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, 0);
    return TRUE;
}

void DialogWindow::OnDestroy() {
    progress_.Hide();
    if (scaledFont_) DeleteObject(scaledFont_);  // the controls go with the window
    scaledFont_ = nullptr;
    toolTips_ = nullptr;  // owned by the window: destroyed with it
    if (dialog_.IsOpen()) dialog_.Close();
    controls_.clear();
    SetWindowLongPtrA(window_, DWLP_USER, 0);
    window_ = nullptr;
}

bool DialogWindow::Raise(Event event, int id) {
    return window_ && !quiet_ && dialog_.IsOpen() && dialog_.Deliver(event, id);
}

const ControlTemplate* DialogWindow::TemplateOf(HWND control) const {
    if (!control || !window_ || GetParent(control) != window_) return nullptr;
    const int id = GetDlgCtrlID(control);
    return id == 0 ? nullptr : dialog_.Template().Find(id);
}

HICON DialogWindow::Icon(int iconId, bool big) const {
    // Shared icons belong to the system's cache: nothing to destroy when the window goes.
    return static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                         GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                         GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_SHARED));
}

Control* DialogWindow::GetItem(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.get();
}

void DialogWindow::SetIcon(int iconId, bool big) {
    if (big) bigIcon_ = iconId;
    SendMessageA(window_, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(Icon(iconId, big)));
}

void DialogWindow::ShowMessage(std::string_view text, std::string_view title) {
    const std::string body(text);
    const std::string caption(title);
    MessageBoxA(window_, body.c_str(), caption.empty() ? nullptr : caption.c_str(), MB_OK);
}

Answer DialogWindow::AskYesNoCancel(std::string_view text) {
    const std::string body(text);
    switch (MessageBoxA(window_, body.c_str(), nullptr, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        default: return Answer::Cancel;
    }
}

void DialogWindow::EndDialog(int result) {
    if (!window_) return;
    endCode_ = result;
    if (modal_)
        ::EndDialog(window_, result);
    else
        DestroyWindow(window_);
}

bool DialogWindow::IsIconic() const { return window_ && ::IsIconic(window_); }

WindowHost::IconPaint DialogWindow::GetIconPaint() const {
    RECT client{};
    GetClientRect(window_, &client);
    return IconPaint{client.right - client.left, client.bottom - client.top, GetSystemMetrics(SM_CXICON),
                     GetSystemMetrics(SM_CYICON)};
}

void DialogWindow::DrawIconAt(int x, int y) {
    if (!painting_) return;  // there is no device context outside a paint request
    if (!paintTarget_) {
        // A paint request outside WM_PRINTCLIENT: the window's own paint device context.
        paintTarget_ = BeginPaint(window_, &paint_);
        paintBegun_ = true;
    }
    SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paintTarget_), 0);
    DrawIcon(paintTarget_, x, y, Icon(bigIcon_, true));
    iconDrawn_ = true;
}

void DialogWindow::SetClipboardText(std::string_view text) {
    if (!OpenClipboard(window_)) return;
    EmptyClipboard();
    const std::string ansi(text);
    PutClipboardData(CF_TEXT, ansi.c_str(), ansi.size() + 1);
    // Windows would derive the Unicode text from the keyboard layout's code page, which is
    // not 1251 while a Latin layout is active: give it converted explicitly.
    const std::wstring wide = AnsiToWide(text);
    PutClipboardData(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
}

namespace {

// The common file dialog, to save (else to open) a file: `path` proposed and, on return, the
// one chosen; `filterIndex` from 0 the file type offered and chosen.
bool AskFileName(HWND owner, bool save, std::string_view title, std::string_view filter, std::string& path,
                 int& filterIndex) {
    // Filters come as "Text (*.txt)|*.txt|": the dialog wants zero bytes between and two after.
    std::string filters(filter);
    for (char& c : filters)
        if (c == '|') c = '\0';
    filters.append(2, '\0');
    const std::string caption(title);
    std::string buffer(path);
    buffer.resize(MAX_PATH > buffer.size() + 1 ? MAX_PATH : buffer.size() + 1, '\0');
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filters.c_str();
    request.lpstrFile = buffer.data();
    request.nMaxFile = static_cast<DWORD>(buffer.size());
    request.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    request.nFilterIndex = static_cast<DWORD>(filterIndex + 1);  // Windows counts the types from 1
    request.Flags = (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST) | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_NOCHANGEDIR;
    if (!(save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request))) return false;
    path.assign(buffer.c_str());
    if (request.nFilterIndex > 0) filterIndex = static_cast<int>(request.nFilterIndex) - 1;
    return true;
}

}  // namespace

bool DialogWindow::AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                                   int& filterIndex) {
    return AskFileName(window_, true, title, filter, path, filterIndex);
}

bool DialogWindow::AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) {
    int filterIndex = 0;
    return AskFileName(window_, false, title, filter, path, filterIndex);
}

int DialogWindow::TrackPopupMenu(std::span<const MenuItem> items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    UINT command = 1;  // 0 is what TrackPopupMenu returns when nothing is chosen
    for (const MenuItem& item : items) {
        if (item.command == kSeparator)
            AppendMenuA(menu, MF_SEPARATOR, command++, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), command++, MenuItemText(item).c_str());
    }
    POINT at{};
    GetCursorPos(&at);
    const BOOL chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr);
    DestroyMenu(menu);
    return chosen > 0 ? chosen - 1 : -1;
}

void DialogWindow::SetMenuBar(const std::vector<Menu>& menus) {
    if (!window_) return;
    RECT before{}, after{};
    GetWindowRect(window_, &before);
    menuBar_.Set(window_, menus);
    GetWindowRect(window_, &after);
    // The smallest size the user may make the window keeps the template's client area.
    if (!placed_.empty()) minimumWindow_.cy += (after.bottom - after.top) - (before.bottom - before.top);
}

void DialogWindow::FocusControl(int id) {
    HWND control = GetDlgItem(window_, id);
    if (!control) return;
    quiet_ = true;
    // The dialog's own way, which also selects an edit's text and moves the default button.
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    quiet_ = false;
}

namespace {

int CALLBACK OnBrowseEvent(HWND browser, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

}  // namespace

bool DialogWindow::AskFolderName(std::string_view title, std::string& path) {
    const std::string caption(title);
    std::string start = path;
    while (start.size() > 3 && start.back() == '\\') start.pop_back();  // the picker wants no trailing '\'
    BROWSEINFOA request{};
    request.hwndOwner = window_;
    request.lpszTitle = caption.c_str();
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    request.lpfn = &OnBrowseEvent;
    request.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&request);
    if (!chosen) return false;
    char folder[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListA(chosen, folder) != FALSE;
    CoTaskMemFree(chosen);
    if (!named || !folder[0]) return false;
    path = folder;
    return true;
}

bool DialogWindow::OpenDocument(const std::string& path) {
    if (documentOpener) return documentOpener(path);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void DialogWindow::ShowProgress(std::string_view label, int done, int total) {
    progress_.Show(window_, label, done, total);
}

bool DialogWindow::ShowCancellableProgress(std::string_view label, int done, int total) {
    return progress_.Show(window_, label, done, total, true);
}

void DialogWindow::EndProgress() { progress_.Hide(); }

int DialogWindow::RunModal(Dialog& dialog) {
    // Owned by this window, which stays disabled while it runs.
    DialogWindow window(dialog);
    const int result = window.RunModal(window_);
    return result == -1 ? kIdCancel : result;
}

int Win32FrontEnd::RunModal(Dialog& dialog) {
    DialogWindow window(dialog);
    window.RememberPlacement("Software\\kelvo");
    return window.RunModal();
}

bool DialogWindow::PrintPages(const PageLayout& layOut, std::string& message) {
    return PrintWithDialog(window_, layOut, message);
}

}  // namespace kelvo::platform::win32
