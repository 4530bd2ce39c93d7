#pragma once
// The dialog base class: a window built from a template, its controls reached by id, and
// user actions routed as (event, control id) through the derived dialog's static event table.

#include <cstdlib>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/dialog_template.h"
#include "platform/menu.h"
#include "platform/page_canvas.h"

namespace kelvo::platform {

// User actions a front end reports. Only the user raises them, never the program.
enum class Event {
    SelChange,     // a drop-down list's selection changed by the user (CBN_SELCHANGE)
    Clicked,       // a push button was clicked (BN_CLICKED)
    ListClick,     // mouse click in a list view (NM_CLICK)
    ListSetFocus,  // a list view gained the keyboard focus (NM_SETFOCUS)
    ListKeySelect, // a list view's selection moved by a key (arrows, Home, End, Page Up/Down)
    ListCopy,      // Ctrl+C in a list view
    ListContextMenu,  // the context menu was asked for over a list view
    EditReturn,    // Return or keypad Enter in an edit; unhandled, it reaches the default button
    EditChange,    // the user changed an edit's text (EN_CHANGE of a keystroke, not of SetText)
    EditEscape,    // Esc in an edit; unhandled, it ends the run as Esc elsewhere does
    Command,       // a menu entry chosen, or its shortcut pressed; the id is the entry's command
    Paint,         // the window needs painting
};

class Dialog;

// The user's answer to a question with the buttons Да, Нет and Отмена.
enum class Answer { Yes, No, Cancel };

// What the dialog logic asks of the window that shows it; each front end provides one.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual Control* GetItem(int id) = 0;
    virtual void SetIcon(int iconId, bool big) = 0;
    // A message box with one OK button; an empty title leaves the platform's default.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
    // A question with Да, Нет and Отмена; Esc or the box's close box answer Cancel.
    virtual Answer AskYesNoCancel(std::string_view text) = 0;
    virtual void EndDialog(int result) = 0;
    // Minimised-window painting; front ends without minimised icons report false.
    virtual bool IsIconic() const = 0;
    struct IconPaint {
        int clientWidth, clientHeight, iconWidth, iconHeight;
    };
    virtual IconPaint GetIconPaint() const = 0;
    virtual void DrawIconAt(int x, int y) = 0;  // erases the icon background first
    virtual void DefaultPaint() = 0;
    virtual void SetClipboardText(std::string_view text) = 0;
    // Asks for a file to save to; false when the user cancels. Paths in the platform's
    // form (platform/file.h). The
    // filter lists file types as "Name (*.ext)|*.ext|"; `filterIndex` (from 0) is the type
    // offered first and, on return, the one the user chose.
    virtual bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                                 int& filterIndex) = 0;
    bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path) {
        int filterIndex = 0;
        return AskSaveFileName(title, filter, path, filterIndex);
    }
    // Asks for an existing file to open, starting at `path`; false when the user cancels. The
    // filter as for AskSaveFileName.
    virtual bool AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) = 0;
    // Shows a popup menu at the pointer; the index of the entry chosen, or -1. A disabled
    // entry cannot be chosen.
    virtual int TrackPopupMenu(std::span<const MenuItem> items) = 0;
    // The window's menu bar, shown above its controls (the client area keeps the template's
    // size), with each entry's shortcut working while the window has the focus; called again,
    // it replaces the menus.
    virtual void SetMenuBar(const std::vector<Menu>& menus) = 0;
    // Greys an entry of the menu bar, and its shortcut, or makes it usable again.
    virtual void EnableCommand(int command, bool enabled) = 0;
    // Gives the keyboard focus to control `id`, raising nothing.
    virtual void FocusControl(int id) = 0;
    // Asks for a folder, starting at `path`; false when the user cancels. Paths in the
    // platform's form (platform/file.h).
    virtual bool AskFolderName(std::string_view title, std::string& path) = 0;
    // Opens a document (the manual's HTML page) in the system's program for it; false when
    // none could be started.
    virtual bool OpenDocument(const std::string& path) = 0;
    // Progress of long work: ShowProgress starts or updates (0..total), EndProgress hides it.
    virtual void ShowProgress(std::string_view label, int done, int total) = 0;
    // The same with a button "Отмена"; false once the user has pressed it.
    virtual bool ShowCancellableProgress(std::string_view label, int done, int total) = 0;
    virtual void EndProgress() = 0;
    // Runs another dialog modally over this window, from its own template; the code it ended
    // with (kIdOk, kIdCancel), kIdCancel when it could not be shown.
    virtual int RunModal(Dialog& dialog) = 0;
    // Asks for a printer (with a preview where the platform has one), lays the pages out on
    // its measure and prints them. False when nothing was printed: `message` (Windows-1251)
    // says why for a failure and stays empty when the user cancelled.
    virtual bool PrintPages(const PageLayout& layOut, std::string& message) = 0;
    // The PDF of the pages `layOut` makes, fonts embedded; false when the front end cannot
    // write PDF or the pages could not be drawn.
    virtual bool RenderPdf(const PageLayout& layOut, std::string& bytes) = 0;
};

template <class D>
struct EventEntry {
    Event event;
    int id;
    void (D::*handler)();
};

// Calls the handler that `table` names for (event, id); false when there is none.
template <class D>
bool DispatchEvent(std::span<const EventEntry<D>> table, D& dialog, Event event, int id) {
    for (const auto& entry : table) {
        if (entry.event == event && entry.id == id) {
            (dialog.*entry.handler)();
            return true;
        }
    }
    return false;
}

class Dialog {
public:
    explicit Dialog(const DialogTemplate& templ) : template_(templ) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogTemplate& Template() const { return template_; }

    // Front end: the window exists and its controls hold their initial entries.
    bool Open(WindowHost& host) {
        host_ = &host;
        DoDataExchange();
        try {
            return OnInitDialog();
        } catch (const std::bad_alloc&) {
            OnOutOfMemory();
            return true;
        }
    }
    // Front end: a user action, as OnEvent takes it. A step that runs out of memory ends
    // there and the window goes on (OnOutOfMemory says so): no handler lets it out.
    bool Deliver(Event event, int id) {
        try {
            return OnEvent(event, id);
        } catch (const std::bad_alloc&) {
            OnOutOfMemory();
            return true;
        }
    }
    // Front end: as OnQueryClose; out of memory, the window may close.
    bool QueryClose() {
        try {
            return OnQueryClose();
        } catch (const std::bad_alloc&) {
            return true;
        }
    }
    void Close() { host_ = nullptr; }
    bool IsOpen() const { return host_ != nullptr; }

    // Front end: a user action. False when the event table has no entry for it, and the
    // front end applies its default handling.
    virtual bool OnEvent(Event event, int id) = 0;
    // Front end: the user asks to end the run (the exit button, Enter on it, Esc, the close
    // box). False keeps the window open; the program's own EndDialog is never asked.
    virtual bool OnQueryClose() { return true; }
    // Front end: the icon to show while the minimised window is dragged.
    virtual int OnQueryDragIcon() { return 0; }

protected:
    virtual void DoDataExchange() {}
    virtual bool OnInitDialog() { return true; }
    // A step ran out of memory and was ended; by default the user is told.
    virtual void OnOutOfMemory();

    WindowHost& Host() { return *host_; }

    template <class C>
    C& Bind(int id) {
        // A template without the control is a build fault, not a run-time condition.
        auto* control = dynamic_cast<C*>(host_->GetItem(id));
        if (!control) std::abort();
        return *control;
    }

private:
    const DialogTemplate& template_;
    WindowHost* host_ = nullptr;
};

// Runs a dialog modally on one platform: opens the window, delivers user actions until
// the run ends, and returns the end code (kIdOk, kIdCancel).
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    virtual int RunModal(Dialog& dialog) = 0;
};

}  // namespace kelvo::platform
