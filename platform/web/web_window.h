#pragma once
// The window in a browser page: the controls of the template as DOM elements (platform/web/
// kelvo_dom.js), each carrying data-control="<id>", and the page's events turned into the
// user actions every front end delivers. The controls' state is the headless front end's
// model; after each action the page is brought up to date with it.
//
// Real: every control, the menu bar and its shortcuts, the popup menu, messages (kept on the
// status line too, once the dialog is closed) and the unsaved-edits question as HTML dialogs, dialogs run over the window (nearest figure,
// chart ranges, survey) as HTML dialogs of their own, the clipboard, file downloads (every
// file the window writes into its folder), a data folder or a survey chosen in the page,
// the manual, printing through the browser's print of the laid-out pages.
// Empty: icons (the page has its favicon), a PDF of its own (the browser prints to PDF),
// the progress of long steps (the page runs them on its one thread, without a redraw).
//
// Modal answers: the logic asks and waits (ShowMessage, AskYesNoCancel, RunModal) as on the
// desktop. The page has one loop of events, WaitEvent, which suspends the WebAssembly stack
// (Emscripten's Asyncify) until the page has one; a dialog's wait is the same loop run until
// its answer comes, so the logic stays as it is on every other front end. Restructuring each
// waiting call into a callback would have changed the window's logic, written once for
// every front end; Asyncify costs size and speed of the calls that may wait, measured in
// bench/RESULTS.md.
//
// Without a page (node running the behaviour suites) the model's answers stand in for the
// user's, as on the headless front end; the page test in Chromium answers the HTML ones.

#include <string>

#include "platform/headless/headless_window.h"

namespace kelvo::platform::web {

class WebWindow : public headless::HeadlessWindow {
public:
    // Opens `dialog` in the page (a page element of its own; the first window fills the page).
    explicit WebWindow(Dialog& dialog, std::string outputFolder);
    ~WebWindow() override;

    // Delivers the page's events until the window has ended.
    void Run();

    // WindowHost: what the page does otherwise than the headless model.
    void ShowMessage(std::string_view text, std::string_view title) override;
    Answer AskYesNoCancel(std::string_view text) override;
    void SetClipboardText(std::string_view text) override;
    using WindowHost::AskSaveFileName;
    bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path, int& filterIndex) override;
    bool AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) override;
    bool AskFolderName(std::string_view title, std::string& path) override;
    int TrackPopupMenu(std::span<const MenuItem> items) override;
    bool OpenDocument(const std::string& path) override;
    bool ShowCancellableProgress(std::string_view label, int done, int total) override;
    int RunModal(Dialog& dialog) override;
    bool PrintPages(const PageLayout& layOut, std::string& message) override;
    bool RenderPdf(const PageLayout& layOut, std::string& bytes) override;

private:
    struct Event {
        int window = 0, kind = 0, id = 0, index = 0, modifiers = 0;
        std::string text;  // UTF-8
    };
    // The page's next event, waited for.
    static Event WaitEvent();
    // Acts on this window as the event asks, then brings the page up to date.
    void Dispatch(const Event& event);
    // The page brought up to date with the controls, the menus and the focus.
    void Render();
    // Every file the window wrote into its folder since the last look: offered as a download.
    void OfferWrittenFiles();
    // Waits for the answer of the page's dialog shown last; its index.
    int WaitAnswer(std::string* text = nullptr);

    int number_;
    std::string outputFolder_;
};

// The page's front end: runs the window, on the page, until it ends.
class WebFrontEnd : public FrontEnd {
public:
    explicit WebFrontEnd(std::string outputFolder) : outputFolder_(std::move(outputFolder)) {}
    int RunModal(Dialog& dialog) override;

private:
    std::string outputFolder_;
};

}  // namespace kelvo::platform::web
