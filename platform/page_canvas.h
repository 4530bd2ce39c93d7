#pragma once
// Pages laid out once and drawn on any device (a PDF, a printer, a recording): positions in
// millimetres from the page's top left corner, text in Windows-1251.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::platform {

// One sans-serif family in three kinds; every device draws them at these sizes.
enum class PageFont {
    Body,   // 9 pt
    Bold,   // 9 pt bold
    Title,  // 12 pt bold
};
constexpr double kPointsPerFont[] = {9.0, 9.0, 12.0};
constexpr double kMillimetresPerPoint = 25.4 / 72.0;

enum class PageOrientation { Portrait, Landscape };

// A4 in millimetres.
constexpr double kA4Short = 210.0, kA4Long = 297.0;

struct PageText {
    double x, y;  // the start of the text's baseline
    PageFont font;
    std::string text;
};

struct PageLine {
    double x1, y1, x2, y2;  // drawn 0.2 mm wide
};

// A filled rectangle without an outline, a grey from 0 (white) to 1 (black): a heat map's cell.
struct PageBox {
    double x, y, width, height;
    double shade;
};

struct Page {
    std::vector<PageText> texts;
    std::vector<PageLine> lines;
    std::vector<PageBox> boxes;  // drawn first, under the lines and the texts
};

struct PageSet {
    PageOrientation orientation = PageOrientation::Portrait;
    std::string title;  // the document's name for a printer's queue and a PDF's properties
    std::vector<Page> pages;
};

// How wide a text is on the device the pages go to: the layout asks this before it places
// anything, so that columns fit what the device will draw.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual double TextWidth(PageFont font, std::string_view text) = 0;  // mm
};

// A device that draws pages. Begin opens the document with the first page, NewPage adds
// one, End finishes it; false from Begin or End when the device failed (a file not written,
// a printer gone).
class PageCanvas : public TextMeasure {
public:
    virtual bool Begin(const PageSet& pages) = 0;
    virtual void NewPage() = 0;
    virtual void DrawText(const PageText& text) = 0;
    virtual void DrawLine(const PageLine& line) = 0;
    virtual void DrawBox(const PageBox& box) = 0;
    virtual bool End() = 0;
};

// The grey of a shade as 0-255 of each colour, 255 for white.
inline int GreyOf(double shade) {
    const double clamped = shade < 0 ? 0 : shade > 1 ? 1 : shade;
    return static_cast<int>(255 - clamped * 255 + 0.5);
}

// Lays pages out on a device's measure, once the device is known.
using PageLayout = std::function<PageSet(TextMeasure&)>;

// Draws every page of `pages` on `canvas`; false when the device failed.
inline bool DrawPages(const PageSet& pages, PageCanvas& canvas) {
    if (!canvas.Begin(pages)) return false;
    for (std::size_t i = 0; i < pages.pages.size(); ++i) {
        if (i > 0) canvas.NewPage();
        for (const PageBox& box : pages.pages[i].boxes) canvas.DrawBox(box);
        for (const PageLine& line : pages.pages[i].lines) canvas.DrawLine(line);
        for (const PageText& text : pages.pages[i].texts) canvas.DrawText(text);
    }
    return canvas.End();
}

// Every sign as wide as 0.55 of the font's size: a measure without a device, for layouts
// checked in tests and for counting pages before a device is chosen. Wide enough for the
// digits and most letters of a sans-serif font, so that a count errs towards more pages.
class FixedTextMeasure : public TextMeasure {
public:
    double TextWidth(PageFont font, std::string_view text) override {
        return static_cast<double>(text.size()) * 0.55 * kPointsPerFont[static_cast<int>(font)] * kMillimetresPerPoint;
    }
};

}  // namespace kelvo::platform
