#pragma once
// The one table of the window's actions: caption, shortcut, handler and when each can be
// chosen. The menu bar, the result list's context menu and the shortcuts are all built from
// it, so an action added here is in reach everywhere at once.

#include <span>
#include <string_view>

#include "platform/menu.h"

namespace kelvo::app {

class FigureDialog;

enum class MenuOf { File, Edit, Figure, Help };

struct WindowAction {
    int command;
    MenuOf menu;
    std::string_view caption;  // Windows-1251
    platform::Shortcut shortcut;
    void (FigureDialog::*handler)();
    bool (FigureDialog::*enabled)() const;  // null: always
    bool separatorBefore = false;
};

// Every action, in menu order.
std::span<const WindowAction> WindowActions();
// The action with `command`, or null.
const WindowAction* FindAction(int command);
// The commands of the result list's context menu, in its order; 0 a separator.
std::span<const int> ContextMenuCommands();
// The captions of the menu bar's menus.
std::string_view MenuCaption(MenuOf menu);

}  // namespace kelvo::app
