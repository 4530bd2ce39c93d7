#pragma once
// A dialog's menu bar on Windows: the menu, its accelerator table, and the message filter
// that lets the accelerators work in a dialog's own message loop (the modal loop and
// IsDialogMessage both call the thread's WH_MSGFILTER hooks with MSGF_DIALOGBOX).

#include <windows.h>

#include <span>
#include <vector>

#include "platform/menu.h"

namespace kelvo::platform::win32 {

// A menu entry's text: '&' doubled (a folder's name shows its own), the shortcut after a tab.
std::string MenuItemText(const MenuItem& item);

class MenuBarWin32 {
public:
    MenuBarWin32() = default;
    ~MenuBarWin32();
    MenuBarWin32(const MenuBarWin32&) = delete;
    MenuBarWin32& operator=(const MenuBarWin32&) = delete;

    // Puts the menus on `window`, replacing any before, and its shortcuts in force while a
    // control of the window has the focus.
    void Set(HWND window, const std::vector<Menu>& menus);
    void Enable(int command, bool enabled);
    bool HasCommand(int command) const;
    bool IsEnabled(int command) const;
    // Before the window goes: its menu and accelerators are taken away.
    void Release();

private:
    static LRESULT CALLBACK OnMessageFilter(int code, WPARAM first, LPARAM second);
    bool Translate(MSG& message) const;

    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::vector<int> commands_;
};

}  // namespace kelvo::platform::win32
