#pragma once
// What a user can do to an open window and what they can see in it. Each front end offers
// this, so one set of behaviour tests drives the headless, the Qt and the Win32 windows
// alike, every action producing the events a real user's action produces.

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"

namespace kelvo::platform {

class UserActions {
public:
    virtual ~UserActions() = default;

    // Acting. Each returns false when a user could not do it (the control is disabled or
    // missing, the entry does not exist, the window is closed).
    virtual bool Choose(int comboId, int index) = 0;  // picks an entry of a drop-down list
    virtual bool ClickRow(int listId, int item, bool addToSelection = false) = 0;
    virtual bool ClickEmptyArea(int listId) = 0;     // clears the selection, as below the last row
    virtual bool MoveSelection(int listId, int delta) = 0;  // arrow keys in the list
    virtual bool Type(int editId, std::string_view text) = 0;  // focuses the edit, replaces its text
    virtual bool Press(int buttonId) = 0;
    virtual bool PressEnter() = 0;                   // in the control that has the focus
    virtual bool PressEscape() = 0;
    virtual bool CopyFromList(int listId) = 0;       // Ctrl+C in the list
    virtual bool PressCloseBox() = 0;                // the window frame's close box
    // How the user answers every question (Да / Нет / Отмена) from now on; Cancel at first.
    virtual void AnswerQuestions(Answer answer) = 0;
    // Opens a menu of the menu bar and chooses the entry with `command`.
    virtual bool ChooseMenuItem(int command) = 0;
    // Right-clicks the list and chooses the entry with `command` in its popup menu.
    virtual bool ChooseContextMenuItem(int listId, int command) = 0;
    // Presses a key with its modifiers in the control that has the focus.
    virtual bool PressKeys(const Shortcut& keys) = 0;
    // The folder the user picks in every folder dialog from now on; empty cancels them.
    virtual void AnswerFolderDialogs(std::string path) = 0;

    // Seeing. Texts are Windows-1251.
    virtual std::vector<std::string> Entries(int comboId) = 0;
    virtual int Selection(int comboId) = 0;
    virtual bool IsEnabled(int id) = 0;
    virtual std::string Text(int id) = 0;            // a label's, an edit's or a button's text
    virtual int ItemCount(int listId) = 0;
    virtual std::string ItemText(int listId, int item, int column) = 0;
    virtual int FirstSelectedItem(int listId) = 0;   // -1 when none
    virtual std::vector<std::string> Messages() = 0; // every message box shown, in order
    virtual std::vector<std::string> Questions() = 0; // every question asked, in order
    virtual bool IsItemMarked(int listId, int item) = 0;  // shown as edited (bold)
    virtual bool IsOpen() = 0;
    virtual std::string Clipboard() = 0;
    virtual std::vector<Menu> MenuBar() = 0;         // the menus as shown: captions, shortcuts, greyed
    virtual int FocusedControl() = 0;                // the id of the control with the focus, kNoId
    virtual std::vector<std::string> OpenedDocuments() = 0;  // every document opened for the user

    // The entry with `command` in the menu bar as shown; false when there is none or it is greyed.
    bool IsCommandEnabled(int command) {
        const std::vector<Menu> menus = MenuBar();
        const MenuItem* item = FindCommand(menus, command);
        return item && item->enabled;
    }

    // Picks the entry whose text is `text`; false when the list does not offer it.
    bool ChooseText(int comboId, std::string_view text) {
        const std::vector<std::string> entries = Entries(comboId);
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i] == text) return Choose(comboId, static_cast<int>(i));
        return false;
    }
};

}  // namespace kelvo::platform
