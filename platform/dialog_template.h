#pragma once
// The description of a dialog template that every front end lays out: the same ids,
// captions, positions in dialog units, styles and initial list entries on every platform.

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvo::platform {

// A status line sits along the window's bottom edge and shows text like a static label. A
// picture shows one page of lines, texts and grey boxes (platform/page_canvas.h) scaled to fit.
enum class ControlKind { PushButton, ComboBox, StaticText, ListView, Edit, StatusLine, Picture };

// Style bits that matter to the dialog's behaviour, independent of any platform's values.
enum ControlStyle : std::uint32_t {
    kTabStop = 1u << 0,
    kDefaultButton = 1u << 1,
    kDropDownList = 1u << 2,    // list only, no edit field
    kVerticalScroll = 1u << 3,
    kReportView = 1u << 4,
    kBorder = 1u << 5,
    kAlignRight = 1u << 6,      // edit text
    kAutoHorizontalScroll = 1u << 7,
    // How a control follows a window the user makes larger than the template, which is
    // its smallest size: it takes the extra width or height, or moves with the right or
    // bottom edge. A control without any of these keeps its place and size.
    kGrowWidth = 1u << 8,
    kGrowHeight = 1u << 9,
    kFollowRight = 1u << 10,
    kFollowBottom = 1u << 11,
};
inline constexpr std::uint32_t kGrowthStyles = kGrowWidth | kGrowHeight | kFollowRight | kFollowBottom;

inline constexpr int kNoId = -1;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

struct ControlTemplate {
    ControlKind kind;
    int id;                    // kNoId for labels the program never addresses
    std::string_view caption;  // Windows-1251
    int x, y, width, height;   // dialog units; a combo's height includes its drop-down part
    std::uint32_t style;
    std::string_view toolTip = {};  // Windows-1251; shown when the pointer rests on it
    int growingColumn = -1;    // a list view that grows wider: the column that takes the width
};

struct Rect {
    int x, y, width, height;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where a control laid out at `atMinimum` (pixels, the window at its template size) goes
// in a window `dx` wider and `dy` taller than that.
constexpr Rect GrownRect(const ControlTemplate& control, Rect atMinimum, int dx, int dy) {
    Rect rect = atMinimum;
    if (control.style & kGrowWidth) rect.width += dx;
    if (control.style & kGrowHeight) rect.height += dy;
    if (control.style & kFollowRight) rect.x += dx;
    if (control.style & kFollowBottom) rect.y += dy;
    return rect;
}

struct InitialEntry {
    int id;                    // the drop-down list it is added to, in this order
    std::string_view text;     // Windows-1251
};

struct DialogTemplate {
    int resourceId;
    std::string_view caption;
    std::string_view fontName;
    int fontPointSize;
    int width, height;         // dialog units
    int iconId;
    std::span<const ControlTemplate> controls;  // template order is tab order
    std::span<const InitialEntry> initialEntries;

    // The user may make the window larger (and maximise it) when a control follows its size.
    bool Resizable() const {
        for (const auto& control : controls)
            if (control.style & kGrowthStyles) return true;
        return false;
    }

    const ControlTemplate* Find(int id) const {
        for (const auto& control : controls)
            if (control.id == id) return &control;
        return nullptr;
    }
};

// Dialog units to pixels by the Windows rule: cx is the dialog font's average character
// width ((width of "A..Za..z" / 26 + 1) / 2), cy its height; MulDiv rounds half up.
constexpr int MulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }
constexpr int DialogUnitsToPixelsX(int x, int cx) { return MulDiv(x, cx, 4); }
constexpr int DialogUnitsToPixelsY(int y, int cy) { return MulDiv(y, cy, 8); }

}  // namespace kelvo::platform
