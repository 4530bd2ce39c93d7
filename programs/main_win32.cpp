// kelvo.exe: the Windows program's entry point.

#include <windows.h>

#include <commctrl.h>

#include "app/figure_app.h"
#include "platform/win32/dialog_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The result list, the status line and the tooltips: their window classes exist only
    // once registered.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    kelvo::platform::win32::Win32FrontEnd frontEnd;
    // The initial group follows ArgumentText's rule for skipping the program's name, not
    // the C runtime's rule behind WinMain's command-line argument.
    kelvo::app::FigureApp().InitInstance(frontEnd, kelvo::app::ArgumentText(GetCommandLineA()));
    return 0;
}
