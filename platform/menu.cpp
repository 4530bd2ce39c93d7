#include "platform/menu.h"

namespace kelvo::platform {

std::string Shortcut::Text() const {
    if (!IsSet()) return {};
    std::string text;
    if (modifiers & kCtrl) text += "Ctrl+";
    if (modifiers & kShift) text += "Shift+";
    if (key >= kF1 && key < kF1 + 12) text += "F" + std::to_string(key - kF1 + 1);
    else text += static_cast<char>(key);
    return text;
}

const MenuItem* FindCommand(const std::vector<Menu>& menus, int command) {
    for (const Menu& menu : menus)
        for (const MenuItem& item : menu.items)
            if (item.command != kSeparator && item.command == command) return &item;
    return nullptr;
}

const MenuItem* FindShortcut(const std::vector<Menu>& menus, const Shortcut& keys) {
    for (const Menu& menu : menus)
        for (const MenuItem& item : menu.items)
            if (item.command != kSeparator && item.enabled && item.shortcut.IsSet() && item.shortcut == keys)
                return &item;
    return nullptr;
}

}  // namespace kelvo::platform
