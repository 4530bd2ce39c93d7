#pragma once
// The dialog window on Qt Widgets: laid out from the dialog's template as Windows lays
// out a dialog resource, reporting the user's actions as (event, control id).

#include <QDialog>
#include <QIcon>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/dialog.h"

namespace kelvo::platform::qt {

// Dialog base units of a font by the Windows rule: the average width of "A..Za..z"
// rounded ((width / 26 + 1) / 2) and the font's height.
QSize DialogBaseUnits(const QFont& font);

class QtWindow : public QDialog, public WindowHost {
public:
    // Builds the window from the dialog's template, over `parent` when it has one; the
    // dialog is not opened yet.
    explicit QtWindow(Dialog& dialog, QWidget* parent = nullptr);
    ~QtWindow() override;

    // Opens the dialog on the window (DoDataExchange, OnInitDialog) and, as Windows does
    // when OnInitDialog returns true, focuses the first tab stop.
    void Open();
    // A window that can grow opens with the size and state (maximised) it had when it last
    // closed, kept in the user's settings (QSettings: ~/.config/kelvo/kelvo.conf). Called
    // before Open.
    void RememberGeometry() { rememberGeometry_ = true; }
    // Opened and not ended: user actions still reach the dialog.
    bool IsRunning() const { return running_; }
    int EndCode() const { return endCode_; }

    // The widget of control `id`, or of the control at `index` in template order.
    QWidget* Widget(int id) const;
    QWidget* WidgetAt(std::size_t index) const;

    // WindowHost
    Control* GetItem(int id) override;
    void SetIcon(int iconId, bool big) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    Answer AskYesNoCancel(std::string_view text) override;
    void EndDialog(int result) override { done(result); }
    bool IsIconic() const override { return false; }
    IconPaint GetIconPaint() const override { return {width(), height(), 32, 32}; }
    // Qt paints the window, and the desktop shows the icon of a minimised one.
    void DrawIconAt(int, int) override {}
    void DefaultPaint() override {}
    void SetClipboardText(std::string_view text) override;
    using WindowHost::AskSaveFileName;
    bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                         int& filterIndex) override;
    bool AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) override;
    int TrackPopupMenu(std::span<const MenuItem> items) override;
    // A QMenuBar above the controls, its actions' shortcuts those of the window.
    void SetMenuBar(const std::vector<Menu>& menus) override;
    void EnableCommand(int command, bool enabled) override;
    void FocusControl(int id) override;
    bool AskFolderName(std::string_view title, std::string& path) override;
    // The system's program for the file (QDesktopServices), or the opener a test sets.
    bool OpenDocument(const std::string& path) override;
    std::function<bool(const std::string&)> documentOpener;
    QMenuBar* MenuBarWidget() const { return menuBar_; }
    int MenuBarHeight() const { return top_; }  // above every control; 0 without a menu bar
    int CommandOf(const QAction* action) const;
    Dialog& DialogOf() const { return dialog_; }
    void ShowProgress(std::string_view label, int done, int total) override;
    bool ShowCancellableProgress(std::string_view label, int done, int total) override;
    void EndProgress() override;
    int RunModal(Dialog& dialog) override;
    // The print preview with the system's printers; PDF from Qt's own writer.
    bool PrintPages(const PageLayout& layOut, std::string& message) override;
    bool RenderPdf(const PageLayout& layOut, std::string& bytes) override;

    // Esc and the close box: the dialog may keep the window open.
    void reject() override;

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* CreateControl(const ControlTemplate& control);
    void PlaceControls();
    void Keep(int id, std::unique_ptr<Control> adapter);
    bool Raise(Event event, int id);
    void OnButtonClicked(int id);

    Dialog& dialog_;
    std::vector<QWidget*> widgets_;  // template order
    std::vector<Rect> placed_;       // each widget's place at the template size
    QSize minimum_;                  // the template size
    int columnsGrownBy_ = 0;         // the extra width growing columns have had so far
    int top_ = 0;                    // the menu bar's height, above every control
    QMenuBar* menuBar_ = nullptr;
    std::map<int, QAction*> actions_;  // the menu bar's, by command
    bool quiet_ = false;               // the program moves the focus: nothing is raised
    bool rememberGeometry_ = false;
    std::vector<std::unique_ptr<Control>> adapters_;  // also of controls without an id
    std::map<int, Control*> controls_;
    std::map<int, QWidget*> widgetsById_;
    QIcon icon_;
    QPointer<QProgressDialog> progress_;
    bool running_ = false;
    int endCode_ = kIdCancel;
};

// Opens `dialog` on `window`, its window, and unless it ended while it opened runs it
// modally, calling `shown` once it is up; the end code.
int RunWindow(QtWindow& window, Dialog& dialog, const std::function<void(QtWindow&)>& shown = {});

// Runs a dialog modally in a QtWindow. A QApplication must exist.
class QtFrontEnd : public FrontEnd {
public:
    // Called once the window is shown and before any user action; the picture mode of
    // kelvo and the tests act on the window here.
    void SetShownHook(std::function<void(QtWindow&)> hook) { shown_ = std::move(hook); }
    int RunModal(Dialog& dialog) override;

private:
    std::function<void(QtWindow&)> shown_;
};

}  // namespace kelvo::platform::qt
