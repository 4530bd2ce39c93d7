#include "platform/qt/qt_page_canvas.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>

#include "platform/qt/qt_text.h"

namespace kelvo::platform::qt {

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device) : device_(device) {
    // DejaVu Sans has every Cyrillic letter and is on every Debian desktop; elsewhere Qt
    // falls back to the platform's sans serif.
    for (int kind = 0; kind < 3; ++kind) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(kPointsPerFont[kind]);
        font.setBold(static_cast<PageFont>(kind) != PageFont::Body);
        // Widths measured at the device's resolution, not rounded to whole screen pixels.
        font.setHintingPreference(QFont::PreferNoHinting);
        fonts_[kind] = font;
    }
}

double QtPageCanvas::Pixels(double millimetres) const { return millimetres / 25.4 * device_.logicalDpiX(); }

const QFont& QtPageCanvas::FontOf(PageFont font) { return fonts_[static_cast<int>(font)]; }

double QtPageCanvas::TextWidth(PageFont font, std::string_view text) {
    const QFontMetricsF metrics(FontOf(font), &device_);
    return metrics.horizontalAdvance(ToQString(text)) / device_.logicalDpiX() * 25.4;
}

bool QtPageCanvas::Begin(const PageSet& pages) {
    device_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      pages.orientation == PageOrientation::Portrait ? QPageLayout::Portrait
                                                                                     : QPageLayout::Landscape,
                                      QMarginsF()));
    if (!painter_.begin(&device_)) return false;
    painter_.setPen(QPen(Qt::black, Pixels(0.2)));
    return true;
}

void QtPageCanvas::NewPage() {
    if (!device_.newPage()) failed_ = true;
}

void QtPageCanvas::DrawText(const PageText& text) {
    painter_.setFont(FontOf(text.font));
    painter_.drawText(QPointF(Pixels(text.x), Pixels(text.y)), ToQString(text.text));
}

void QtPageCanvas::DrawLine(const PageLine& line) {
    painter_.drawLine(QPointF(Pixels(line.x1), Pixels(line.y1)), QPointF(Pixels(line.x2), Pixels(line.y2)));
}

void QtPageCanvas::DrawBox(const PageBox& box) {
    const int grey = GreyOf(box.shade);
    painter_.fillRect(QRectF(Pixels(box.x), Pixels(box.y), Pixels(box.width), Pixels(box.height)), QColor(grey, grey, grey));
}

bool QtPageCanvas::End() { return painter_.end() && !failed_; }

bool RenderPdf(const PageLayout& layOut, std::string& bytes) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("kelvo"));
        QtPageCanvas canvas(writer);
        const PageSet pages = layOut(canvas);
        writer.setTitle(ToQString(pages.title));
        drawn = DrawPages(pages, canvas);
    }
    bytes.assign(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size()));
    return drawn && !bytes.empty();
}

}  // namespace kelvo::platform::qt
