#pragma once
// The dialog on real Windows controls: the window built from the template description, its
// controls wrapped, and window messages turned into (event, control id) for the dialog.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/win32/menu_win32.h"
#include "platform/win32/progress_window.h"

namespace kelvo::platform::win32 {

class DialogWindow : public WindowHost {
public:
    explicit DialogWindow(Dialog& dialog);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Runs the window modally, over `owner` when given; the end code, or -1 when the window
    // could not be created.
    int RunModal(HWND owner = nullptr);
    // Creates the window without a modal loop; the caller pumps its messages through
    // IsDialogMessageA. False when the window could not be created.
    bool CreateModeless();

    // A window that can grow opens with the size, place and state (maximised) it had when it
    // last closed, kept under HKEY_CURRENT_USER\`key`\Window. Called before it is created.
    void RememberPlacement(std::string key) { placementKey_ = std::move(key); }

    HWND Window() const { return window_; }
    bool IsOpen() const { return window_ != nullptr; }
    int EndCode() const { return endCode_; }

    // WindowHost
    Control* GetItem(int id) override;
    void SetIcon(int iconId, bool big) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    Answer AskYesNoCancel(std::string_view text) override;
    void EndDialog(int result) override;
    bool IsIconic() const override;
    IconPaint GetIconPaint() const override;
    void DrawIconAt(int x, int y) override;
    void DefaultPaint() override {}
    void SetClipboardText(std::string_view text) override;
    using WindowHost::AskSaveFileName;
    bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                         int& filterIndex) override;
    bool AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) override;
    int TrackPopupMenu(std::span<const MenuItem> items) override;
    void SetMenuBar(const std::vector<Menu>& menus) override;
    void EnableCommand(int command, bool enabled) override { menuBar_.Enable(command, enabled); }
    void FocusControl(int id) override;
    // The system's folder picker (SHBrowseForFolder), starting at `path`.
    bool AskFolderName(std::string_view title, std::string& path) override;
    // ShellExecute's "open", or the opener a test sets.
    bool OpenDocument(const std::string& path) override;
    std::function<bool(const std::string&)> documentOpener;
    const MenuBarWin32& MenuBar() const { return menuBar_; }
    void ShowProgress(std::string_view label, int done, int total) override;
    bool ShowCancellableProgress(std::string_view label, int done, int total) override;
    void EndProgress() override;
    int RunModal(Dialog& dialog) override;
    // The standard print dialog and GDI. No PDF writer of its own: a user saves PDF by
    // printing to the system's PDF printer, so RenderPdf reports false.
    bool PrintPages(const PageLayout& layOut, std::string& message) override;
    bool RenderPdf(const PageLayout&, std::string&) override { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM first, LPARAM second);
    INT_PTR OnMessage(UINT message, WPARAM first, LPARAM second);
    BOOL OnInitDialog();
    BOOL OnCommand(int id, int code);
    BOOL OnNotify(const NMHDR& header);
    BOOL OnPaint(HDC target);
    void OnDestroy();
    // The window moved to a monitor of another DPI: fonts, controls, columns and the smallest
    // size scaled to it, the window placed where the system suggests.
    void OnDpiChanged(int dpi, const RECT& suggested);
    bool Raise(Event event, int id);
    void RecordLayout();
    void PlaceControls();
    void AddToolTips();
    void PlaceToolTips();
    void RestorePlacement();
    void SavePlacement();
    const ControlTemplate* TemplateOf(HWND control) const;
    HICON Icon(int iconId, bool big) const;

    Dialog& dialog_;
    std::vector<WORD> template_;
    HWND window_ = nullptr;
    bool modal_ = false;
    int endCode_ = 0;
    std::map<int, std::unique_ptr<Control>> controls_;
    int bigIcon_ = 0;
    // While a paint request runs: the device context the icon goes to, whether it came from
    // BeginPaint, and whether the dialog drew into it.
    bool painting_ = false;
    HDC paintTarget_ = nullptr;
    bool paintBegun_ = false;
    bool iconDrawn_ = false;
    PAINTSTRUCT paint_{};
    ProgressWindow progress_;
    // A window that can grow: its controls in template order, each one's place at the
    // template size, the template size itself, and how much wider its growing columns are.
    std::vector<HWND> children_;
    std::vector<Rect> placed_;
    SIZE minimumWindow_{};
    SIZE minimumClient_{};
    int columnsGrownBy_ = 0;
    std::string placementKey_;
    bool placementRestored_ = false;
    HWND toolTips_ = nullptr;
    MenuBarWin32 menuBar_;
    bool quiet_ = false;    // the program moves the focus: nothing is raised
    bool closing_ = false;  // the close box's IDCANCEL, which no edit takes as its Esc
    int dpi_ = 96;
    HFONT scaledFont_ = nullptr;  // the dialog's font at a DPI it was not created for
};

// Runs a dialog as a modal Windows dialog.
class Win32FrontEnd : public FrontEnd {
public:
    // The program's windows keep their place under HKEY_CURRENT_USER\Software\kelvo.
    int RunModal(Dialog& dialog) override;
};

}  // namespace kelvo::platform::win32
