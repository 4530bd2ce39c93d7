#pragma once
// Pages drawn with GDI on a printer's device context (or a file a printer driver writes).

#include <windows.h>

#include <string>

#include "platform/page_canvas.h"

namespace kelvo::platform::win32 {

class GdiPageCanvas : public PageCanvas {
public:
    // Draws on `dc`, a printer's context; `output` names a file the driver prints into
    // instead of the printer (DOCINFO's lpszOutput), empty for the printer itself.
    GdiPageCanvas(HDC dc, std::wstring output = {});
    ~GdiPageCanvas() override;
    GdiPageCanvas(const GdiPageCanvas&) = delete;
    GdiPageCanvas& operator=(const GdiPageCanvas&) = delete;

    double TextWidth(PageFont font, std::string_view text) override;
    bool Begin(const PageSet& pages) override;
    void NewPage() override;
    void DrawText(const PageText& text) override;
    void DrawLine(const PageLine& line) override;
    void DrawBox(const PageBox& box) override;
    bool End() override;

private:
    int X(double millimetres) const;
    int Y(double millimetres) const;

    HDC dc_;
    std::wstring output_;
    HFONT fonts_[3] = {};
    HPEN pen_ = nullptr;
    int offsetX_ = 0, offsetY_ = 0;  // the printable area's corner from the sheet's, in pixels
    bool failed_ = false;
    bool started_ = false;
};

// Prints the pages `layOut` makes on the printer the user picks in the standard print
// dialog, with `owner` as its parent. False when nothing was printed; `message` (Windows-1251)
// says why for a failure and stays empty when the user cancelled.
bool PrintWithDialog(HWND owner, const PageLayout& layOut, std::string& message);

}  // namespace kelvo::platform::win32
