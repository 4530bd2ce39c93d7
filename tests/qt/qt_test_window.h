#pragma once
// A QtWindow shown without a modal run and driven by real input: mouse clicks and key
// presses sent to its widgets, the way a user reaches them. Message boxes the window
// shows are read and answered with OK; popup menus are answered with the entry asked for,
// a dialog it runs over itself is handed to the test; other questions are cancelled with Esc.

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/qt_window.h"
#include "platform/user_actions.h"

class QAbstractItemView;
class QTreeView;

namespace kelvo::test {

class ModalAnswerer : public QObject {
public:
    ModalAnswerer();
    ~ModalAnswerer() override;
    std::vector<std::string> messages;  // Windows-1251
    std::vector<QString> savePaths;     // the file each save dialog proposed, before it was answered
    std::vector<QString> saveTypes;     // the file type each save dialog offered first
    // Set: the next save dialog is answered with this file of this type (index among its
    // types) instead of being cancelled.
    std::optional<std::pair<QString, int>> saveAnswer;
    int menuChoice = -1;                // the entry a popup menu is answered with; -1 Esc
    int menuIndex = -1;                 // set: the entry at this index is clicked instead
    bool menuChosen = false;            // the entry clicked was there and could be chosen
    QString folderAnswer;               // the folder a folder dialog is answered with; empty cancels
    const QWidget* main = nullptr;      // the window under test; a QtWindow over it is a dialog it runs
    // Acts on a dialog the window runs over itself, once it is up; unset, Esc closes it.
    std::function<void(platform::qt::QtWindow&)> modalUser;
    std::vector<std::string> questions;
    platform::Answer answer = platform::Answer::Cancel;  // how questions are answered

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class QtTestWindow : public platform::UserActions {
public:
    explicit QtTestWindow(platform::Dialog& dialog);
    // A window already open and run by the front end, as a dialog run over another: acted on
    // the same way, its messages read by the answerer of the window it runs over.
    explicit QtTestWindow(platform::qt::QtWindow& running);

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
    void AnswerQuestions(platform::Answer answer) override {
        if (answerer_) answerer_->answer = answer;
    }
    bool ChooseMenuItem(int command) override;
    bool ChooseContextMenuItem(int listId, int command) override;
    bool PressKeys(const platform::Shortcut& keys) override;
    void AnswerFolderDialogs(std::string path) override {
        if (answerer_) answerer_->folderAnswer = QString::fromStdString(path);
    }

    std::vector<std::string> Entries(int comboId) override;
    int Selection(int comboId) override;
    bool IsEnabled(int id) override;
    std::string Text(int id) override;
    int ItemCount(int listId) override;
    std::string ItemText(int listId, int item, int column) override;
    int FirstSelectedItem(int listId) override;
    std::vector<std::string> Messages() override { return answerer_ ? answerer_->messages : std::vector<std::string>{}; }
    std::vector<std::string> Questions() override { return answerer_ ? answerer_->questions : std::vector<std::string>{}; }
    bool IsItemMarked(int listId, int item) override;
    const std::vector<QString>& SavePaths() const { return answerer_->savePaths; }
    const std::vector<QString>& SaveTypes() const { return answerer_->saveTypes; }
    void AnswerSave(const QString& file, int type) { answerer_->saveAnswer.emplace(file, type); }
    bool IsOpen() override { return window_.IsRunning(); }
    std::string Clipboard() override;
    std::vector<platform::Menu> MenuBar() override;
    int FocusedControl() override;
    std::vector<std::string> OpenedDocuments() override { return documents_; }

    platform::qt::QtWindow& Window() { return window_; }
    QTreeView* List(int listId) const;
    // A right click on the list's first row, its popup menu answered with entry `choice`.
    bool ContextMenu(int listId, int choice);
    void SetModalUser(std::function<void(platform::qt::QtWindow&)> user) { answerer_->modalUser = std::move(user); }

private:
    void Activate();
    QWidget* Usable(int id);  // the widget of a control a user can act on, or null
    bool FocusWithTab(QWidget* target);
    bool PressKey(int key);

    std::unique_ptr<ModalAnswerer> answerer_;  // null for a dialog run over another window
    std::unique_ptr<platform::qt::QtWindow> owned_;
    platform::qt::QtWindow& window_;
    std::vector<std::string> documents_;
};

}  // namespace kelvo::test
