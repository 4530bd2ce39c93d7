#pragma once
// A small window with a label and a progress bar, shown over its owner while long work runs
// on the window's thread.

#include <windows.h>

#include <string_view>

namespace kelvo::platform::win32 {

class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow() { Hide(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Creates the window on first use, then shows `label` and done of total. With
    // `cancellable` the window has a button "Отмена"; false once it has been clicked (the
    // clicks waiting for it are taken here, as the work holds the thread's message loop).
    bool Show(HWND owner, std::string_view label, int done, int total, bool cancellable = false);
    void Hide();
    bool IsShown() const { return frame_ != nullptr; }

private:
    HWND frame_ = nullptr;
    HWND label_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancel_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace kelvo::platform::win32
