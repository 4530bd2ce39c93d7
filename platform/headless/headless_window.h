#pragma once
// A dialog window without a screen: the controls of its template as plain state, and the
// actions of a user (choose an entry, click a row, type, press a key or a button) delivered
// through the dialog's event table exactly as a windowed front end delivers them.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/model_controls.h"
#include "platform/user_actions.h"

namespace kelvo::platform::headless {

class HeadlessWindow : public WindowHost, public UserActions {
public:
    // Creates the controls from the dialog's template and opens the dialog on them.
    explicit HeadlessWindow(Dialog& dialog);
    ~HeadlessWindow() override;

    // UserActions
    bool Choose(int comboId, int index) override;
    bool ClickRow(int listId, int item, bool addToSelection = false) override;
    bool ClickEmptyArea(int listId) override;
    bool MoveSelection(int listId, int delta) override;
    bool Type(int editId, std::string_view text) override;
    bool Press(int buttonId) override;
    bool PressEnter() override;
    bool PressEscape() override;
    bool CopyFromList(int listId) override;
    bool PressCloseBox() override;
    void AnswerQuestions(Answer answer) override { answer_ = answer; }
    bool ChooseMenuItem(int command) override;
    bool ChooseContextMenuItem(int listId, int command) override;
    bool PressKeys(const Shortcut& keys) override;
    void AnswerFolderDialogs(std::string path) override { folderAnswer = std::move(path); }
    std::vector<std::string> Entries(int comboId) override { return Combo(comboId).Entries(); }
    int Selection(int comboId) override { return Combo(comboId).GetCurSel(); }
    bool IsEnabled(int id) override { return GetItem(id) && GetItem(id)->IsEnabled(); }
    std::string Text(int id) override { return TextOf(id).GetText(); }
    int ItemCount(int listId) override { return List(listId).GetItemCount(); }
    std::string ItemText(int listId, int item, int column) override {
        return List(listId).GetItemText(item, column);
    }
    int FirstSelectedItem(int listId) override { return List(listId).GetNextSelected(-1); }
    std::vector<std::string> Messages() override { return messages; }
    std::vector<std::string> Questions() override { return questions; }
    bool IsItemMarked(int listId, int item) override {
        return List(listId).GetItemMarks(item) & ListView::kItemEdited;
    }
    bool IsOpen() override { return open_; }
    std::string Clipboard() override { return clipboard; }
    std::vector<Menu> MenuBar() override { return menus; }
    int FocusedControl() override { return focus_; }
    std::vector<std::string> OpenedDocuments() override { return documents; }

    // Beyond what every front end offers.
    bool FocusList(int listId);
    bool ContextMenu(int listId);
    void Paint();
    void Minimise(bool minimised) { iconic_ = minimised; }

    int EndCode() const { return endCode_; }
    Dialog& Shown() const { return dialog_; }  // the dialog the window shows
    int FocusId() const { return focus_; }

    ModelComboBox& Combo(int id);
    ModelListView& List(int id);
    platform::TextControl& TextOf(int id);

    // What the window showed or was asked.
    std::vector<std::string> messages;       // message box texts
    std::vector<std::string> messageTitles;
    std::vector<std::string> questions;
    std::string clipboard;
    std::vector<std::pair<int, bool>> iconsSet;  // (icon id, big)
    std::vector<std::pair<int, int>> iconDrawnAt;
    int defaultPaints = 0;
    // Answers to the questions the dialog may ask; unset means the user cancels.
    std::function<bool(std::string& path)> saveFileAnswer;
    std::function<int(std::span<const std::string_view>)> menuAnswer;
    std::vector<MenuItem> popup;       // the entries of the popup menu shown last
    std::vector<Menu> menus;           // the menu bar
    std::string folderAnswer;          // the folder the user picks; empty cancels
    std::string openAnswer;            // the file the user opens; empty cancels
    std::vector<std::string> folderStarts;  // where each folder dialog started
    std::vector<std::string> documents;     // what was opened in the system's programs
    int saveFilterAnswer = -1;  // the file type the user picks; -1 keeps the one offered
    std::string saveFilter;     // the file types last offered
    std::vector<std::pair<int, int>> progress;  // (done, total) as shown
    int progressEnded = 0;
    bool cancelProgress = false;  // the user presses "Отмена" as soon as the progress shows it
    // Pages the dialog had printed or turned into PDF, as laid out on a fixed-width measure.
    std::vector<PageSet> printed, pdfs;
    bool printAnswer = false;  // the print dialog: true prints, false is the user's cancel
    // A PDF here is the pages' texts, one per line, a form feed after each page: a file the
    // tests read, not one a PDF reader opens.
    // The user of a dialog run modally over this one, acting while it is open; unset, the
    // user closes it at once.
    std::function<void(HeadlessWindow&)> modalUser;

    // WindowHost
    Control* GetItem(int id) override;
    void SetIcon(int iconId, bool big) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    Answer AskYesNoCancel(std::string_view text) override;
    void EndDialog(int result) override;
    bool IsIconic() const override { return iconic_; }
    IconPaint GetIconPaint() const override;
    void DrawIconAt(int x, int y) override;
    void DefaultPaint() override { ++defaultPaints; }
    void SetClipboardText(std::string_view text) override { clipboard = text; }
    using WindowHost::AskSaveFileName;
    bool AskSaveFileName(std::string_view title, std::string_view filter, std::string& path,
                         int& filterIndex) override;
    bool AskOpenFileName(std::string_view title, std::string_view filter, std::string& path) override;
    int TrackPopupMenu(std::span<const MenuItem> items) override;
    void SetMenuBar(const std::vector<Menu>& shown) override { menus = shown; }
    void EnableCommand(int command, bool enabled) override;
    void FocusControl(int id) override;
    bool AskFolderName(std::string_view title, std::string& path) override;
    bool OpenDocument(const std::string& path) override;
    void ShowProgress(std::string_view label, int done, int total) override;
    bool ShowCancellableProgress(std::string_view label, int done, int total) override;
    void EndProgress() override { ++progressEnded; }
    int RunModal(Dialog& dialog) override;
    bool PrintPages(const PageLayout& layOut, std::string& message) override;
    bool RenderPdf(const PageLayout& layOut, std::string& bytes) override;

private:
    bool Raise(Event event, int id);
    bool Usable(int id);
    // The user's request to end the run with `code`, which the dialog may refuse.
    void RequestEnd(int code);

    Dialog& dialog_;
    std::map<int, std::unique_ptr<Control>> controls_;
    int defaultButton_ = kIdOk;
    int focus_ = kNoId;
    bool open_ = false;
    bool iconic_ = false;
    int endCode_ = 0;
    Answer answer_ = Answer::Cancel;
};

// Runs a dialog on a HeadlessWindow: `user` acts on the open window, then the run ends
// with the code the dialog ended with, or kIdCancel when it stayed open.
class HeadlessFrontEnd : public FrontEnd {
public:
    explicit HeadlessFrontEnd(std::function<void(HeadlessWindow&)> user) : user_(std::move(user)) {}
    int RunModal(Dialog& dialog) override;

private:
    std::function<void(HeadlessWindow&)> user_;
};

}  // namespace kelvo::platform::headless
