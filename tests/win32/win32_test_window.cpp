#include "tests/win32/win32_test_window.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/window_actions.h"

#include "tests/support/test_window.h"

namespace kelvo::test {
namespace {

// The window whose message boxes the hook reads: one test window at a time per thread.
thread_local Win32TestWindow* current = nullptr;

// The static control that holds a message box's text, on Windows and on Wine alike.
constexpr int kMessageBoxTextId = 0xFFFF;

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

// The text of the folder picker's selected tree item ("" before it has one).
std::string SelectedTreeText(HWND picker) {
    HWND tree = FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
    HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
    if (!item) return "";
    char text[MAX_PATH] = {};
    TVITEMA request{};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = MAX_PATH;
    return SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)) ? text : "";
}

// Whether `path`'s last folder is named `name`, as Windows compares names.
bool EndsWithFolder(const std::string& name, std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    const std::size_t slash = path.find_last_of('\\');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    return !name.empty() && lstrcmpiA(name.c_str(), last.c_str()) == 0;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

LPARAM PointParam(POINT at) { return MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)); }

// Makes the Ctrl (and Shift) key read as held down by the window's thread while `press` runs.
template <class Action>
void WithControlKey(bool held, Action press, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL], shiftBefore = keys[VK_SHIFT];
    if (held || shift) {
        if (held) keys[VK_CONTROL] = 0x80;
        if (shift) keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
    }
    press();
    if (held || shift) {
        keys[VK_CONTROL] = before;
        keys[VK_SHIFT] = shiftBefore;
        SetKeyboardState(keys);
    }
}

}  // namespace

Win32TestWindow::Win32TestWindow(HWND running) : running_(running) {}

Win32TestWindow::Win32TestWindow(platform::Dialog& dialog)
    : owned_(std::make_unique<platform::win32::DialogWindow>(dialog)) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    if (!registered) std::abort();
    current = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Win32TestWindow::OnCbt, nullptr, GetCurrentThreadId());
    // Without a window the behaviour tests cannot run at all: no X server, or no template.
    owned_->documentOpener = [this](const std::string& path) {
        documents_.push_back(path);
        return true;
    };
    if (!hook_ || !owned_->CreateModeless()) std::abort();
    Pump();
}

Win32TestWindow::~Win32TestWindow() {
    if (!owned_) return;  // the front end ends a dialog it runs
    if (IsOpen()) DestroyWindow(Window());
    Pump();
    if (hook_) UnhookWindowsHookEx(hook_);
    if (current == this) current = nullptr;
}

void Win32TestWindow::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsOpen() && IsDialogMessageA(Window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT CALLBACK Win32TestWindow::OnCbt(int code, WPARAM first, LPARAM second) {
    if ((code == HCBT_ACTIVATE || code == HCBT_CREATEWND) && current) {
        auto shown = reinterpret_cast<HWND>(first);
        char className[16] = {};
        GetClassNameA(shown, className, sizeof className);
        const std::string name = className;
        if (code == HCBT_ACTIVATE && shown != current->Window() && name == "#32770") current->OnDialogShown(shown);
        if (code == HCBT_CREATEWND && name == "#32768") current->OnMenuShown();
    }
    return CallNextHookEx(nullptr, code, first, second);
}

void Win32TestWindow::OnDialogShown(HWND shown) {
    // The user reads a message box and presses OK; a file dialog they accept as it comes.
    // Either way the dialog's own loop ends and the handler that opened it goes on. A dialog
    // of the window's own front end (its dialog procedure is the window's) goes to the test,
    // once its modal loop runs: a thread timer's message is among the loop's first; without
    // a test to act on it, the user closes it.
    if (GetWindowLongPtrA(shown, DWLP_DLGPROC) == GetWindowLongPtrA(Window(), DWLP_DLGPROC)) {
        if (!modalUser) {
            PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else if (shown != modalShown_) {  // not when active again after a message box of its own
            modalShown_ = shown;
            SetTimer(nullptr, 0, 0, &Win32TestWindow::OnModalTimer);
        }
        return;
    }
    // The folder picker, its tree of folders: the user goes to the folder and accepts it,
    // once the picker has settled on the folder it starts at (it may do so after it shows).
    if (FindWindowExA(shown, nullptr, "SysTreeView32", nullptr)) {
        if (folderAnswer_.empty()) {
            PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        folderDialog_ = shown;
        folderTries_ = folderLooks_ = 0;
        SetTimer(nullptr, 0, 100, &Win32TestWindow::OnFolderTimer);
        return;
    }
    HWND text = GetDlgItem(shown, kMessageBoxTextId);
    if (text && GetDlgItem(shown, IDYES)) {
        // A question: the user answers as the test said.
        questions_.push_back(TextOf(text));
        const int button = answer_ == platform::Answer::Yes ? IDYES : answer_ == platform::Answer::No ? IDNO : IDCANCEL;
        PostMessageA(shown, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return;
    }
    if (text) {
        messages_.push_back(TextOf(text));
        titles_.push_back(TextOf(shown));
    } else {
        fileDialogs_.push_back(TextOf(shown));
        // The file name box: a combo box in the Explorer-style dialog, an edit in the older one.
        if (!fileAnswer_.empty()) {
            HWND name = GetDlgItem(shown, cmb13);
            if (!name) name = GetDlgItem(shown, edt1);
            if (name) SetWindowTextA(name, fileAnswer_.c_str());
        }
    }
    PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CALLBACK Win32TestWindow::OnFolderTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!current || !IsWindow(current->folderDialog_)) return;
    // On a slow machine the picker may still be settling on its start folder after a first
    // selection of ours: it is accepted only once its tree has shown the answer on two looks
    // 100 ms apart, chosen again whenever it shows another folder, for up to ten seconds.
    const HWND picker = current->folderDialog_;
    const std::string& answer = current->folderAnswer_;
    const bool shown = EndsWithFolder(SelectedTreeText(picker), answer);
    current->folderLooks_ = shown ? current->folderLooks_ + 1 : 0;
    if (current->folderTries_++ < 100 && current->folderLooks_ < 2) {
        if (!shown) SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(answer.c_str()));
        SetTimer(nullptr, 0, 100, &Win32TestWindow::OnFolderTimer);
        return;
    }
    PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    current->folderDialog_ = nullptr;
}

void CALLBACK Win32TestWindow::OnModalTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!current || !current->modalShown_) return;
    Win32TestWindow dialog(current->modalShown_);
    current->modalUser(dialog);
}

void Win32TestWindow::OnMenuShown() {
    if (menuChoice_ == kNoMenuAnswer) return;  // a test that answers the menu itself
    // The menu's loop reads the keys from the thread's queue: down to the entry, Enter.
    HWND target = Window();
    if (menuChoice_ < 0) {
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
        return;
    }
    for (int i = 0; i <= menuChoice_; ++i) PostMessageA(target, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, 1);
}

HWND Win32TestWindow::Usable(int id) const {
    if (!Alive()) return nullptr;
    HWND control = GetDlgItem(Window(), id);
    return control && IsWindowEnabled(control) && IsWindowVisible(control) ? control : nullptr;
}

bool Win32TestWindow::Focus(HWND control) {
    if (GetFocus() != control) SetFocus(control);
    Pump();
    return GetFocus() == control;
}

bool Win32TestWindow::Click(HWND control, POINT at, bool withControl) {
    const WPARAM keys = withControl ? MK_CONTROL : 0;
    WithControlKey(withControl, [&] {
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, PointParam(at));
        PostMessageA(control, WM_LBUTTONUP, keys, PointParam(at));
        Pump();
    });
    return true;
}

void Win32TestWindow::Key(HWND target, WPARAM key, bool withControl, bool withShift) {
    WithControlKey(withControl, [&] {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        Pump();
    }, withShift);
}

bool Win32TestWindow::Choose(int comboId, int index) {
    HWND combo = Usable(comboId);
    if (!combo || index < 0 || index >= SendMessageA(combo, CB_GETCOUNT, 0, 0)) return false;
    // The mouse way: open the list, scroll the entry into view, click it.
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList) return false;
    SendMessageA(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    if (SendMessageA(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
        LB_ERR)
        return false;
    Click(info.hwndList, Centre(item));
    return SendMessageA(combo, CB_GETCURSEL, 0, 0) == index;
}

bool Win32TestWindow::ClickRow(int listId, int item, bool addToSelection) {
    HWND list = Usable(listId);
    if (!list) return false;
    if (item < 0 || item >= ListView_GetItemCount(list)) return ClickEmptyArea(listId);
    ListView_EnsureVisible(list, item, FALSE);
    RECT label{};
    if (!ListView_GetItemRect(list, item, &label, LVIR_LABEL)) return false;
    return Click(list, Centre(label), addToSelection);
}

bool Win32TestWindow::ClickEmptyArea(int listId) {
    HWND list = Usable(listId);
    if (!list) return false;
    RECT client{};
    GetClientRect(list, &client);
    // Below the last row, or else right of the last column: wherever no item is hit.
    POINT candidates[] = {{8, client.bottom - 4}, {client.right - 4, client.bottom - 4}};
    for (POINT at : candidates) {
        LVHITTESTINFO hit{};
        hit.pt = at;
        if (ListView_HitTest(list, &hit) == -1 && !(hit.flags & LVHT_ONITEM)) return Click(list, at);
    }
    return false;
}

bool Win32TestWindow::MoveSelection(int listId, int delta) {
    HWND list = Usable(listId);
    if (!list || !Focus(list)) return false;
    for (int i = 0; i < (delta < 0 ? -delta : delta); ++i) Key(list, delta < 0 ? VK_UP : VK_DOWN);
    return true;
}

bool Win32TestWindow::Type(int editId, std::string_view text) {
    HWND edit = Usable(editId);
    if (!edit) return false;
    RECT client{};
    GetClientRect(edit, &client);
    Click(edit, Centre(client));
    // Select what is there so that typing replaces it.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        PostMessageA(edit, WM_CHAR, VK_BACK, 1);
    } else {
        for (const char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    Pump();
    return GetFocus() == edit;
}

bool Win32TestWindow::Press(int buttonId) {
    HWND button = Usable(buttonId);
    if (!button) return false;
    RECT client{};
    GetClientRect(button, &client);
    return Click(button, Centre(client));
}

bool Win32TestWindow::PressEnter() {
    if (!IsOpen()) return false;
    HWND focus = GetFocus();
    Key(focus && IsChild(Window(), focus) ? focus : Window(), VK_RETURN);
    return true;
}

bool Win32TestWindow::PressEscape() {
    if (!IsOpen()) return false;
    HWND focus = GetFocus();
    Key(focus && IsChild(Window(), focus) ? focus : Window(), VK_ESCAPE);
    return true;
}

bool Win32TestWindow::CopyFromList(int listId) {
    HWND list = Usable(listId);
    if (!list || !Focus(list)) return false;
    Key(list, 'C', true);
    return true;
}

bool Win32TestWindow::PressCloseBox() {
    if (!Alive()) return false;
    PostMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    return true;
}

bool Win32TestWindow::IsItemMarked(int listId, int item) {
    auto* list = owned_ && owned_->IsOpen() ? dynamic_cast<platform::ListView*>(owned_->GetItem(listId)) : nullptr;
    return list && (list->GetItemMarks(item) & platform::ListView::kItemEdited);
}

bool Win32TestWindow::ContextMenu(int listId, int choice) {
    HWND list = Usable(listId);
    if (!list) return false;
    menuChoice_ = choice;
    // Over the row the user works on, which a right click keeps selected; else the middle.
    RECT client{};
    GetClientRect(list, &client);
    POINT at = Centre(client);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    RECT label{};
    if (selected >= 0 && ListView_GetItemRect(list, selected, &label, LVIR_LABEL)) at = Centre(label);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, PointParam(at));
    PostMessageA(list, WM_RBUTTONUP, 0, PointParam(at));
    Pump();
    menuChoice_ = kNoMenuAnswer;
    return true;
}

std::vector<std::string> Win32TestWindow::Entries(int comboId) {
    std::vector<std::string> entries;
    HWND combo = IsOpen() ? GetDlgItem(Window(), comboId) : nullptr;
    if (!combo) return entries;
    const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string text(static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        const auto got = SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        entries.push_back(text);
    }
    return entries;
}

int Win32TestWindow::Selection(int comboId) {
    HWND combo = IsOpen() ? GetDlgItem(Window(), comboId) : nullptr;
    return combo ? static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)) : -1;
}

bool Win32TestWindow::IsEnabled(int id) {
    HWND control = IsOpen() ? GetDlgItem(Window(), id) : nullptr;
    return control && IsWindowEnabled(control);
}

std::string Win32TestWindow::Text(int id) {
    HWND control = IsOpen() ? GetDlgItem(Window(), id) : nullptr;
    return control ? TextOf(control) : std::string();
}

int Win32TestWindow::ItemCount(int listId) {
    HWND list = IsOpen() ? GetDlgItem(Window(), listId) : nullptr;
    return list ? ListView_GetItemCount(list) : 0;
}

std::string Win32TestWindow::ItemText(int listId, int item, int column) {
    // The cell as the program set it: the list itself shows it without the fields' padding.
    if (owned_ && IsOpen())
        if (auto* view = dynamic_cast<platform::ListView*>(owned_->GetItem(listId))) return view->GetItemText(item, column);
    HWND list = IsOpen() ? GetDlgItem(Window(), listId) : nullptr;
    if (!list) return {};
    char buffer[1024] = {};
    LVITEMA sub{};
    sub.iSubItem = column;
    sub.pszText = buffer;
    sub.cchTextMax = sizeof buffer;
    const auto got = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&sub));
    return std::string(sub.pszText, static_cast<std::size_t>(got > 0 ? got : 0));
}

int Win32TestWindow::FirstSelectedItem(int listId) {
    HWND list = IsOpen() ? GetDlgItem(Window(), listId) : nullptr;
    return list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
}

std::string Win32TestWindow::Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool Win32TestWindow::ChooseMenuItem(int command) {
    if (!owned_ || !IsOpen()) return false;
    const platform::win32::MenuBarWin32& bar = owned_->MenuBar();
    if (!bar.IsEnabled(command)) return false;
    // What the menu's own loop sends when the entry is clicked.
    PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Pump();
    return true;
}

bool Win32TestWindow::ChooseContextMenuItem(int listId, int command) {
    // A greyed entry takes no Enter and would leave the menu open: the user sees it greyed.
    if (!IsCommandEnabled(command)) return false;
    const std::span<const int> commands = app::ContextMenuCommands();
    const auto at = std::find(commands.begin(), commands.end(), command);
    if (at == commands.end()) return false;
    // The keys step over separators.
    const int separators = static_cast<int>(std::count(commands.begin(), at, platform::kSeparator));
    return ContextMenu(listId, static_cast<int>(at - commands.begin()) - separators);
}

bool Win32TestWindow::PressKeys(const platform::Shortcut& keys) {
    if (!IsOpen()) return false;
    HWND focus = GetFocus();
    Key(focus && IsChild(Window(), focus) ? focus : Window(), static_cast<WPARAM>(keys.key),
        (keys.modifiers & platform::Shortcut::kCtrl) != 0, (keys.modifiers & platform::Shortcut::kShift) != 0);
    return true;
}

std::vector<platform::Menu> Win32TestWindow::MenuBar() {
    std::vector<platform::Menu> menus;
    HMENU bar = IsOpen() ? GetMenu(Window()) : nullptr;
    const auto text = [](HMENU menu, int position) {
        char buffer[512] = {};
        GetMenuStringA(menu, static_cast<UINT>(position), buffer, sizeof buffer, MF_BYPOSITION);
        std::string shown = buffer, caption;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] == '&' && i + 1 < shown.size() && shown[i + 1] == '&') ++i;
            caption += shown[i];
        }
        return caption;
    };
    for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
        platform::Menu& menu = menus.emplace_back();
        menu.caption = text(bar, i);
        HMENU popup = GetSubMenu(bar, i);
        for (int j = 0; popup && j < GetMenuItemCount(popup); ++j) {
            platform::MenuItem& item = menu.items.emplace_back();
            const UINT state = GetMenuState(popup, static_cast<UINT>(j), MF_BYPOSITION);
            if (state & MF_SEPARATOR) continue;
            item.command = static_cast<int>(GetMenuItemID(popup, j));
            item.enabled = !(state & (MF_GRAYED | MF_DISABLED));
            // "Caption\tCtrl+Shift+C": the keys as the entry shows them.
            std::string caption = text(popup, j);
            const auto tab = caption.find('\t');
            if (tab != std::string::npos) {
                std::string_view keys = std::string_view(caption).substr(tab + 1);
                std::uint8_t modifiers = 0;
                if (keys.starts_with("Ctrl+")) {
                    modifiers |= platform::Shortcut::kCtrl;
                    keys.remove_prefix(5);
                }
                if (keys.starts_with("Shift+")) {
                    modifiers |= platform::Shortcut::kShift;
                    keys.remove_prefix(6);
                }
                item.shortcut.modifiers = modifiers;
                item.shortcut.key = keys.size() > 1 && keys[0] == 'F' ? platform::Shortcut::kF1 + std::atoi(keys.data() + 1) - 1
                                                                      : (keys.empty() ? 0 : keys[0]);
                caption.resize(tab);
            }
            item.caption = caption;
        }
    }
    return menus;
}

int Win32TestWindow::FocusedControl() {
    HWND focus = GetFocus();
    return focus && IsOpen() && GetParent(focus) == Window() ? GetDlgCtrlID(focus) : platform::kNoId;
}

std::unique_ptr<platform::UserActions> OpenTestWindow(platform::Dialog& dialog) {
    return std::make_unique<Win32TestWindow>(dialog);
}

}  // namespace kelvo::test
