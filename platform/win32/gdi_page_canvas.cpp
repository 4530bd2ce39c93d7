#include "platform/win32/gdi_page_canvas.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>

#include "platform/ansi_text.h"
#include "platform/codepage.h"

namespace kelvo::platform::win32 {
namespace {

std::wstring Wide(std::string_view ansi) {
    const std::string utf8 = AnsiToUtf8(ansi);
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    if (!wide.empty()) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

}  // namespace

GdiPageCanvas::GdiPageCanvas(HDC dc, std::wstring output) : dc_(dc), output_(std::move(output)) {
    const int dpiY = GetDeviceCaps(dc_, LOGPIXELSY);
    for (int kind = 0; kind < 3; ++kind) {
        // A negative height asks for the character height, the size a point size names.
        const int height = -static_cast<int>(std::lround(kPointsPerFont[kind] * dpiY / 72.0));
        const int weight = static_cast<PageFont>(kind) == PageFont::Body ? FW_NORMAL : FW_BOLD;
        fonts_[kind] = CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_TT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
    }
    pen_ = CreatePen(PS_SOLID, std::max(1, X(0.2) - X(0.0)), RGB(0, 0, 0));
    offsetX_ = GetDeviceCaps(dc_, PHYSICALOFFSETX);
    offsetY_ = GetDeviceCaps(dc_, PHYSICALOFFSETY);
}

GdiPageCanvas::~GdiPageCanvas() {
    if (started_) AbortDoc(dc_);
    for (HFONT font : fonts_)
        if (font) DeleteObject(font);
    if (pen_) DeleteObject(pen_);
}

// Millimetres from the sheet's corner to pixels from the printable area's, where GDI's
// origin is on a printer.
int GdiPageCanvas::X(double millimetres) const {
    return static_cast<int>(std::lround(millimetres / 25.4 * GetDeviceCaps(dc_, LOGPIXELSX))) - offsetX_;
}
int GdiPageCanvas::Y(double millimetres) const {
    return static_cast<int>(std::lround(millimetres / 25.4 * GetDeviceCaps(dc_, LOGPIXELSY))) - offsetY_;
}

double GdiPageCanvas::TextWidth(PageFont font, std::string_view text) {
    const std::wstring wide = Wide(text);
    SIZE size{};
    const HGDIOBJ old = SelectObject(dc_, fonts_[static_cast<int>(font)]);
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc_, old);
    return size.cx * 25.4 / GetDeviceCaps(dc_, LOGPIXELSX);
}

bool GdiPageCanvas::Begin(const PageSet& pages) {
    const std::wstring title = Wide(pages.title);
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title.c_str();
    info.lpszOutput = output_.empty() ? nullptr : output_.c_str();
    if (StartDocW(dc_, &info) <= 0) return false;
    started_ = true;
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    SetBkMode(dc_, TRANSPARENT);
    if (StartPage(dc_) <= 0) failed_ = true;
    return !failed_;
}

void GdiPageCanvas::DrawBox(const PageBox& box) {
    const int grey = GreyOf(box.shade);
    HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
    const RECT rect{X(box.x), Y(box.y), X(box.x + box.width), Y(box.y + box.height)};
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void GdiPageCanvas::NewPage() {
    if (EndPage(dc_) <= 0 || StartPage(dc_) <= 0) failed_ = true;
}

void GdiPageCanvas::DrawText(const PageText& text) {
    const std::wstring wide = Wide(text.text);
    SelectObject(dc_, fonts_[static_cast<int>(text.font)]);
    TextOutW(dc_, X(text.x), Y(text.y), wide.c_str(), static_cast<int>(wide.size()));
}

void GdiPageCanvas::DrawLine(const PageLine& line) {
    SelectObject(dc_, pen_);
    MoveToEx(dc_, X(line.x1), Y(line.y1), nullptr);
    LineTo(dc_, X(line.x2), Y(line.y2));
}

bool GdiPageCanvas::End() {
    if (EndPage(dc_) <= 0) failed_ = true;
    if (failed_) return false;
    started_ = false;
    return EndDoc(dc_) > 0;
}

bool PrintWithDialog(HWND owner, const PageLayout& layOut, std::string& message) {
    static constexpr AnsiText kNotPrinted(u8"Страницы не напечатаны: принтер не принял задание.");
    message.clear();
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgW(&dialog)) return false;
    bool printed = false;
    {
        // The orientation is the pages' own: the layout is asked once on the chosen printer
        // for it, and the context reset to it before the pages are laid out for good.
        GdiPageCanvas probe(dialog.hDC);
        const PageOrientation orientation = layOut(probe).orientation;
        if (dialog.hDevMode) {
            if (auto* mode = static_cast<DEVMODEW*>(GlobalLock(dialog.hDevMode))) {
                mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE;
                mode->dmOrientation = orientation == PageOrientation::Portrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
                mode->dmPaperSize = DMPAPER_A4;
                ResetDCW(dialog.hDC, mode);
                GlobalUnlock(dialog.hDevMode);
            }
        }
        GdiPageCanvas canvas(dialog.hDC);
        printed = DrawPages(layOut(canvas), canvas);
    }
    DeleteDC(dialog.hDC);
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!printed) message = kNotPrinted.view();
    return printed;
}

}  // namespace kelvo::platform::win32
