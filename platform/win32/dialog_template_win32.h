#pragma once
// A DLGTEMPLATE in memory, built from the template description, for the dialog functions
// that take one (DialogBoxIndirectParamA, CreateDialogIndirectParamA).

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/dialog_template.h"

namespace kelvo::platform::win32 {

// The window's own style: a fixed-size modal frame with caption and system menu; a window
// whose controls follow its size also gets a sizing border and a maximise box.
inline constexpr DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
inline constexpr DWORD kResizableStyle = WS_THICKFRAME | WS_MAXIMIZEBOX;
inline constexpr DWORD kDialogExStyle = WS_EX_APPWINDOW;

// The window class and style bits a control of the description is created with.
const char* ControlClassName(ControlKind kind);
DWORD ControlStyle(const ControlTemplate& control);

// The dialog font's face at `dpi`: the template's own at 96. "MS Sans Serif" is a bitmap
// font of a few fixed sizes: above 96 DPI it would keep its 96-DPI size (at 144) or jump
// to another (at 192), and it cannot be sharp when stretched; "MS Shell Dlg" is the system's
// scalable face of the same design (Microsoft Sans Serif; Tahoma under Wine).
std::string_view DialogFontAt(std::string_view face, int dpi);

// The template's words, DWORD-aligned where Windows requires it; captions in UTF-16,
// converted from 1251 whatever the system's code page. The font's face as `dpi` needs it.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& description, int dpi = 96);

}  // namespace kelvo::platform::win32
