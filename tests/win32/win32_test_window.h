#pragma once
// The real Windows dialog, created without a modal loop, and a user acting on it through the
// messages a user's mouse and keyboard produce: the controls themselves send the
// notifications. Message boxes are read and closed as they appear, file dialogs accepted with
// the name they propose, popup menus answered with the entry asked for, and a dialog the
// window runs over itself handed to the test.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/user_actions.h"
#include "platform/win32/dialog_window.h"

namespace kelvo::test {

class Win32TestWindow : public platform::UserActions {
public:
    explicit Win32TestWindow(platform::Dialog& dialog);
    // A dialog already running over another window, modally: acted on the same way; the
    // window it runs over reads its messages.
    explicit Win32TestWindow(HWND running);
    ~Win32TestWindow() override;
    Win32TestWindow(const Win32TestWindow&) = delete;
    Win32TestWindow& operator=(const Win32TestWindow&) = delete;

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
    void AnswerQuestions(platform::Answer answer) override { answer_ = answer; }
    bool ChooseMenuItem(int command) override;
    bool ChooseContextMenuItem(int listId, int command) override;
    bool PressKeys(const platform::Shortcut& keys) override;
    void AnswerFolderDialogs(std::string path) override { folderAnswer_ = std::move(path); }

    std::vector<std::string> Entries(int comboId) override;
    int Selection(int comboId) override;
    bool IsEnabled(int id) override;
    std::string Text(int id) override;
    int ItemCount(int listId) override;
    std::string ItemText(int listId, int item, int column) override;
    int FirstSelectedItem(int listId) override;
    std::vector<std::string> Messages() override { return messages_; }
    std::vector<std::string> Questions() override { return questions_; }
    bool IsItemMarked(int listId, int item) override;
    bool IsOpen() override { return Alive(); }
    std::string Clipboard() override;
    std::vector<platform::Menu> MenuBar() override;
    int FocusedControl() override;
    std::vector<std::string> OpenedDocuments() override { return documents_; }

    // Beyond what every front end offers: a right click on the list, its popup menu answered
    // with entry `choice` (-1: Esc).
    bool ContextMenu(int listId, int choice);
    // Acts on a dialog the window runs over itself, once its modal loop runs; unset, the
    // dialog is accepted as it comes, as any other.
    std::function<void(Win32TestWindow& dialog)> modalUser;
    // The name the user types into every file dialog from now on before accepting it; empty:
    // the name the dialog proposes.
    void AnswerFileDialogs(std::string path) { fileAnswer_ = std::move(path); }

    HWND Window() const { return owned_ ? owned_->Window() : running_; }
    platform::win32::DialogWindow& Host() { return *owned_; }
    const std::vector<std::string>& MessageTitles() const { return titles_; }
    const std::vector<std::string>& FileDialogTitles() const { return fileDialogs_; }
    // Delivers every message waiting for the window's thread, until none is left.
    void Pump();

private:
    bool Alive() const { return owned_ ? owned_->IsOpen() : IsWindow(running_) != FALSE; }
    HWND Usable(int id) const;
    bool Focus(HWND control);
    bool Click(HWND control, POINT at, bool withControl = false);
    void Key(HWND target, WPARAM key, bool withControl = false, bool withShift = false);
    static LRESULT CALLBACK OnCbt(int code, WPARAM first, LPARAM second);
    void OnDialogShown(HWND shown);
    void OnMenuShown();
    static void CALLBACK OnModalTimer(HWND, UINT, UINT_PTR timer, DWORD);
    static void CALLBACK OnFolderTimer(HWND, UINT, UINT_PTR timer, DWORD);

    std::unique_ptr<platform::win32::DialogWindow> owned_;  // null for a dialog running over another
    HWND running_ = nullptr;
    HWND modalShown_ = nullptr;
    HHOOK hook_ = nullptr;
    std::vector<std::string> messages_;
    std::vector<std::string> titles_;
    std::vector<std::string> fileDialogs_;
    std::vector<std::string> questions_;
    platform::Answer answer_ = platform::Answer::Cancel;
    static constexpr int kNoMenuAnswer = -2;
    int menuChoice_ = kNoMenuAnswer;
    std::string folderAnswer_;
    std::string fileAnswer_;
    HWND folderDialog_ = nullptr;
    int folderTries_ = 0, folderLooks_ = 0;  // the picker's looks so far; those in a row that showed the answer
    std::vector<std::string> documents_;
};

}  // namespace kelvo::test
