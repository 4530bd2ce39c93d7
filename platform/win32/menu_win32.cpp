#include "platform/win32/menu_win32.h"

#include <algorithm>
#include <string>

namespace kelvo::platform::win32 {
namespace {

// The menu bars of the thread's open windows, and the one hook that serves them all.
thread_local std::vector<const MenuBarWin32*> bars;
thread_local HHOOK filter = nullptr;

bool IsEditKey(const MSG& message) {
    // An edit keeps the keys it edits with: Ctrl+C in the value or find field copies its text.
    if (message.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0) return false;
    switch (message.wParam) {
        case 'C': case 'V': case 'X': case 'A': case 'Z': break;
        default: return false;
    }
    char name[16] = {};
    GetClassNameA(message.hwnd, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

}  // namespace

std::string MenuItemText(const MenuItem& item) {
    std::string text;
    for (const char c : item.caption) {
        text += c;
        if (c == '&') text += '&';
    }
    if (item.shortcut.IsSet()) text += "\t" + item.shortcut.Text();
    return text;
}

MenuBarWin32::~MenuBarWin32() { Release(); }

void MenuBarWin32::Set(HWND window, const std::vector<Menu>& menus) {
    HMENU bar = CreateMenu();
    if (!bar) return;
    std::vector<ACCEL> keys;
    commands_.clear();
    for (const Menu& menu : menus) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (item.command == kSeparator) {
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            AppendMenuA(popup, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(item.command),
                        MenuItemText(item).c_str());
            commands_.push_back(item.command);
            if (!item.shortcut.IsSet()) continue;
            BYTE flags = FVIRTKEY;
            if (item.shortcut.modifiers & Shortcut::kCtrl) flags |= FCONTROL;
            if (item.shortcut.modifiers & Shortcut::kShift) flags |= FSHIFT;
            keys.push_back({flags, static_cast<WORD>(item.shortcut.key), static_cast<WORD>(item.command)});
        }
        std::string caption;
        for (const char c : menu.caption) caption += c == '&' ? std::string("&&") : std::string(1, c);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
    HMENU old = window_ == window ? menu_ : nullptr;
    RECT before{};
    GetClientRect(window, &before);
    SetMenu(window, bar);
    if (old) DestroyMenu(old);
    // The controls keep the template's client area: the window grows by the bar's height.
    RECT after{};
    GetClientRect(window, &after);
    if (after.bottom != before.bottom) {
        RECT frame{};
        GetWindowRect(window, &frame);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + (before.bottom - after.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    window_ = window;
    menu_ = bar;
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = keys.empty() ? nullptr : CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
    if (std::find(bars.begin(), bars.end(), this) == bars.end()) bars.push_back(this);
    if (!filter) filter = SetWindowsHookExA(WH_MSGFILTER, &MenuBarWin32::OnMessageFilter, nullptr, GetCurrentThreadId());
}

void MenuBarWin32::Enable(int command, bool enabled) {
    if (menu_) EnableMenuItem(menu_, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool MenuBarWin32::HasCommand(int command) const {
    return std::find(commands_.begin(), commands_.end(), command) != commands_.end();
}

bool MenuBarWin32::IsEnabled(int command) const {
    if (!menu_ || !HasCommand(command)) return false;
    const UINT state = GetMenuState(menu_, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void MenuBarWin32::Release() {
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (bars.empty() && filter) {
        UnhookWindowsHookEx(filter);
        filter = nullptr;
    }
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    // The window destroys the menu it holds; one no longer on a window is ours to destroy.
    if (menu_ && (!IsWindow(window_) || GetMenu(window_) != menu_)) DestroyMenu(menu_);
    menu_ = nullptr;
    window_ = nullptr;
    commands_.clear();
}

bool MenuBarWin32::Translate(MSG& message) const {
    if (!accelerators_ || !window_ || !message.hwnd) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    // While a dialog runs over the window, the window is disabled and its keys are not in force.
    if (!IsWindowEnabled(window_) || IsEditKey(message)) return false;
    return TranslateAcceleratorA(window_, accelerators_, &message) != 0;
}

LRESULT CALLBACK MenuBarWin32::OnMessageFilter(int code, WPARAM first, LPARAM second) {
    if (code == MSGF_DIALOGBOX && second) {
        auto& message = *reinterpret_cast<MSG*>(second);
        for (const MenuBarWin32* bar : bars)
            if (bar->Translate(message)) return TRUE;
    }
    return CallNextHookEx(filter, code, first, second);
}

}  // namespace kelvo::platform::win32
