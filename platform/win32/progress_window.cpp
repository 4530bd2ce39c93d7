#include "platform/win32/progress_window.h"

#include <commctrl.h>

#include <string>

namespace kelvo::platform::win32 {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 96;
constexpr int kMargin = 12;

}  // namespace

bool ProgressWindow::Show(HWND owner, std::string_view label, int done, int total, bool cancellable) {
    if (!frame_) {
        cancelled_ = false;
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        RECT ownerRect{};
        if (owner) GetWindowRect(owner, &ownerRect);
        const int x = (ownerRect.left + ownerRect.right - kWidth) / 2;
        const int y = (ownerRect.top + ownerRect.bottom - kHeight) / 2;
        // The system dialog class paints a dialog-coloured background without a class of our own.
        frame_ = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "", WS_POPUP | WS_CAPTION, x, y, kWidth, kHeight,
                                 owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!frame_) return true;
        RECT client{};
        GetClientRect(frame_, &client);
        const int width = client.right - 2 * kMargin;
        label_ = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_LEFT, kMargin, kMargin, width, 16,
                                 frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
        bar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, kMargin, kMargin + 24, width, 18,
                               frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(owner, WM_GETFONT, 0, 0));
        if (font) SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (cancellable) {
            SetWindowPos(frame_, nullptr, 0, 0, kWidth, kHeight + 28, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            cancel_ = CreateWindowExW(0, L"Button", L"\x041E\x0442\x043C\x0435\x043D\x0430", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                      client.right - kMargin - 80, kMargin + 50, 80, 24, frame_, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
            if (font) SendMessageA(cancel_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        // The owner keeps the keyboard: the progress only shows.
        ShowWindow(frame_, SW_SHOWNOACTIVATE);
    }
    SetWindowTextA(label_, std::string(label).c_str());
    SendMessageA(bar_, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    // The work holds the thread: paint now, as no message loop will until it ends.
    UpdateWindow(frame_);
    MSG message;
    while (cancel_ && PeekMessageA(&message, cancel_, 0, 0, PM_REMOVE)) {
        if (message.message == WM_LBUTTONUP) cancelled_ = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !cancelled_;
}

void ProgressWindow::Hide() {
    if (frame_) DestroyWindow(frame_);
    frame_ = label_ = bar_ = cancel_ = nullptr;
}

}  // namespace kelvo::platform::win32
