#pragma once
// Pages drawn with a QPainter on a paged device: a PDF file (QPdfWriter) or a printer
// (QPrinter). Needs Qt Gui only, so that kelvo-cli can write PDF files without widgets.

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>

#include <functional>
#include <string>

#include "platform/page_canvas.h"

namespace kelvo::platform::qt {

class QtPageCanvas : public PageCanvas {
public:
    // Draws on `device`, whose whole sheet the pages' millimetres address (no margins).
    explicit QtPageCanvas(QPagedPaintDevice& device);

    double TextWidth(PageFont font, std::string_view text) override;
    bool Begin(const PageSet& pages) override;
    void NewPage() override;
    void DrawText(const PageText& text) override;
    void DrawLine(const PageLine& line) override;
    void DrawBox(const PageBox& box) override;
    bool End() override;

private:
    double Pixels(double millimetres) const;
    const QFont& FontOf(PageFont font);

    QPagedPaintDevice& device_;
    QPainter painter_;
    QFont fonts_[3];
    bool failed_ = false;
};

// The PDF of the pages `layOut` makes on the measure of a PDF writer, fonts embedded;
// false when Qt could not draw it.
bool RenderPdf(const PageLayout& layOut, std::string& bytes);

}  // namespace kelvo::platform::qt
