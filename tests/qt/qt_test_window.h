#pragma once
// A QtWindow shown without a modal run and driven by real input: mouse clicks and key
// presses sent to its widgets, the way a user reaches them. Message boxes the window
// shows are read and answered with OK; other questions are cancelled with Esc.

#include <QObject>

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
    std::vector<std::string> questions;
    platform::Answer answer = platform::Answer::Cancel;  // how questions are answered
    std::vector<QString> savePaths;     // the file each save dialog proposed, before it was cancelled

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class QtTestWindow : public platform::UserActions {
public:
    explicit QtTestWindow(platform::Dialog& dialog);

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
    void AnswerQuestions(platform::Answer answer) override { answerer_.answer = answer; }

    std::vector<std::string> Entries(int comboId) override;
    int Selection(int comboId) override;
    bool IsEnabled(int id) override;
    std::string Text(int id) override;
    int ItemCount(int listId) override;
    std::string ItemText(int listId, int item, int column) override;
    int FirstSelectedItem(int listId) override;
    std::vector<std::string> Messages() override { return answerer_.messages; }
    std::vector<std::string> Questions() override { return answerer_.questions; }
    bool IsItemMarked(int listId, int item) override;
    const std::vector<QString>& SavePaths() const { return answerer_.savePaths; }
    bool IsOpen() override { return window_.IsRunning(); }
    std::string Clipboard() override;

    platform::qt::QtWindow& Window() { return window_; }
    QTreeView* List(int listId) const;

private:
    void Activate();
    QWidget* Usable(int id);  // the widget of a control a user can act on, or null
    bool FocusWithTab(QWidget* target);
    bool PressKey(int key);

    ModalAnswerer answerer_;
    platform::qt::QtWindow window_;
};

}  // namespace kelvo::test
