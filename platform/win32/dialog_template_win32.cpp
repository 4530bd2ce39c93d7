#include "platform/win32/dialog_template_win32.h"

#include <commctrl.h>

#include <string>
#include <string_view>

namespace kelvo::platform::win32 {
namespace {

constexpr UINT kCaptionCodePage = 1251;

// Atoms of the predefined dialog control classes, as a resource compiler writes them.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;

void AlignToDword(std::vector<WORD>& words) {
    if (words.size() % 2 != 0) words.push_back(0);
}

void PutDword(std::vector<WORD>& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

void PutShort(std::vector<WORD>& words, int value) { words.push_back(static_cast<WORD>(static_cast<short>(value))); }

void PutText(std::vector<WORD>& words, std::string_view text, UINT codePage) {
    if (!text.empty()) {
        const int size = static_cast<int>(text.size());
        const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
        if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
        for (const wchar_t c : wide) words.push_back(static_cast<WORD>(c));
    }
    words.push_back(0);
}

void PutClass(std::vector<WORD>& words, ControlKind kind) {
    WORD atom = 0;
    switch (kind) {
        case ControlKind::PushButton: atom = kButtonAtom; break;
        case ControlKind::ComboBox: atom = kComboBoxAtom; break;
        case ControlKind::StaticText:
        case ControlKind::Picture: atom = kStaticAtom; break;
        case ControlKind::Edit: atom = kEditAtom; break;
        case ControlKind::ListView:
        case ControlKind::StatusLine: break;
    }
    if (atom != 0) {
        words.push_back(0xFFFF);
        words.push_back(atom);
    } else {
        PutText(words, ControlClassName(kind), CP_ACP);
    }
}

}  // namespace

const char* ControlClassName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton: return "Button";
        case ControlKind::ComboBox: return "ComboBox";
        case ControlKind::StaticText: return "Static";
        case ControlKind::ListView: return WC_LISTVIEWA;
        case ControlKind::Edit: return "Edit";
        case ControlKind::StatusLine: return STATUSCLASSNAMEA;
        case ControlKind::Picture: return "Static";
    }
    return "";
}

DWORD ControlStyle(const ControlTemplate& control) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (control.style & kTabStop) style |= WS_TABSTOP;
    if (control.style & kVerticalScroll) style |= WS_VSCROLL;
    if (control.style & kBorder) style |= WS_BORDER;
    switch (control.kind) {
        case ControlKind::PushButton:
            style |= (control.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            break;
        case ControlKind::ComboBox:
            if (control.style & kDropDownList) style |= CBS_DROPDOWNLIST;
            break;
        case ControlKind::StaticText: style |= SS_LEFT; break;
        case ControlKind::ListView:
            if (control.style & kReportView) style |= LVS_REPORT;
            // A virtual list: the control wrapper holds the items and the list asks for what
            // it paints, so that filling it costs the same for each row however many there are.
            style |= LVS_OWNERDATA;
            // The row the find field selects stays highlighted while the field has the focus.
            style |= LVS_SHOWSELALWAYS;
            break;
        case ControlKind::Edit:
            style |= (control.style & kAlignRight) ? ES_RIGHT : ES_LEFT;
            if (control.style & kAutoHorizontalScroll) style |= ES_AUTOHSCROLL;
            break;
        // Placed by itself along the bottom of the window, whatever the template says.
        case ControlKind::StatusLine: style |= CCS_BOTTOM; break;
        // Drawn by the window when the control asks (WM_DRAWITEM).
        case ControlKind::Picture: style |= SS_OWNERDRAW; break;
    }
    return style;
}

std::string_view DialogFontAt(std::string_view face, int dpi) {
    return dpi > 96 && face == "MS Sans Serif" ? std::string_view("MS Shell Dlg") : face;
}

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& description, int dpi) {
    std::vector<WORD> words;
    PutDword(words, kDialogStyle | (description.Resizable() ? kResizableStyle : 0));
    PutDword(words, kDialogExStyle);
    words.push_back(static_cast<WORD>(description.controls.size()));
    PutShort(words, 0);
    PutShort(words, 0);
    PutShort(words, description.width);
    PutShort(words, description.height);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    PutText(words, description.caption, kCaptionCodePage);
    words.push_back(static_cast<WORD>(description.fontPointSize));
    PutText(words, DialogFontAt(description.fontName, dpi), kCaptionCodePage);

    for (const ControlTemplate& control : description.controls) {
        AlignToDword(words);
        PutDword(words, ControlStyle(control));
        PutDword(words, 0);
        PutShort(words, control.x);
        PutShort(words, control.y);
        PutShort(words, control.width);
        PutShort(words, control.height);
        words.push_back(static_cast<WORD>(control.id));  // kNoId is 0xFFFF, the unaddressed id
        PutClass(words, control.kind);
        PutText(words, control.caption, kCaptionCodePage);
        words.push_back(0);  // no creation data
    }
    return words;
}

}  // namespace kelvo::platform::win32
