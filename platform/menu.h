#pragma once
// The menus a window shows: the menu bar and a popup menu, each entry a command with its
// caption, its shortcut and whether it can be chosen now. Front ends draw them and report a
// chosen entry, or its shortcut pressed, as Event::Command with the entry's command id.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::platform {

// A key sequence a platform may have its own binding for; a front end that knows one uses
// it (Qt's QKeySequence::StandardKey), the others the Shortcut's key and modifiers.
enum class StandardKey { None, Save, Open, Print, Copy, Find, FindNext, FindPrevious, HelpContents, Quit };

struct Shortcut {
    enum Modifier : std::uint8_t { kNoModifier = 0, kCtrl = 1u << 0, kShift = 1u << 1 };
    // Function keys by their Windows virtual-key codes, letters as their capitals.
    static constexpr int kF1 = 0x70, kF3 = 0x72;

    int key = 0;  // 0: none
    std::uint8_t modifiers = kNoModifier;
    StandardKey standard = StandardKey::None;

    bool IsSet() const { return key != 0; }
    // "Ctrl+Shift+C", "F3", as a menu shows it; empty without a key.
    std::string Text() const;
    friend bool operator==(const Shortcut& a, const Shortcut& b) {
        return a.key == b.key && a.modifiers == b.modifiers;
    }
};

inline constexpr int kSeparator = 0;  // the command id of a separator line

struct MenuItem {
    int command = kSeparator;
    std::string caption;  // Windows-1251
    Shortcut shortcut;
    bool enabled = true;
};

struct Menu {
    std::string caption;  // Windows-1251
    std::vector<MenuItem> items;
};

// The entry of `menus` with `command`, or null.
const MenuItem* FindCommand(const std::vector<Menu>& menus, int command);
// The enabled entry that `keys` choose, or null.
const MenuItem* FindShortcut(const std::vector<Menu>& menus, const Shortcut& keys);

}  // namespace kelvo::platform
