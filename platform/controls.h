#pragma once
// The controls the dialog logic drives, modelled on the Windows controls it was written for.
// Every text is 8-bit Windows-1251. Nothing the program does through these raises an event.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/page_canvas.h"

namespace kelvo::platform {

class Control {
public:
    virtual ~Control() = default;
    virtual void Enable(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
};

// Window text of a static label, an edit field or a button.
class TextControl : public Control {
public:
    virtual void SetText(std::string_view text) = 0;
    virtual std::string GetText() const = 0;
};

class StaticText : public TextControl {};
class Edit : public TextControl {};
class Button : public TextControl {};

// A drop-down list without an edit field; entries stay in the order they were added.
class ComboBox : public Control {
public:
    virtual void ResetContent() = 0;
    virtual int AddString(std::string_view text) = 0;  // index of the new entry
    virtual void SetCurSel(int index) = 0;             // -1 clears; raises no event
    virtual int GetCurSel() const = 0;                 // -1 when nothing is selected
    virtual int GetCount() const = 0;
    virtual std::string GetItemText(int index) const = 0;  // empty when out of range
};

// A list view in report view; several items may be selected at once.
class ListView : public Control {
public:
    // A cell as the list shows it: the fixed-width fields' trailing blanks left out, so a
    // name that fits is not cut off. GetItemText still gives the cell as it was set.
    static constexpr std::string_view ShownText(std::string_view cell) {
        while (!cell.empty() && cell.back() == ' ') cell.remove_suffix(1);
        return cell;
    }

    static constexpr std::uint32_t kFullRowSelect = 0x20;  // LVS_EX_FULLROWSELECT

    virtual std::uint32_t GetExtendedStyle() const = 0;
    virtual void SetExtendedStyle(std::uint32_t style) = 0;
    virtual void InsertColumn(int index, std::string_view caption, int widthPixels) = 0;
    // Text shown when the pointer rests on the column's heading; front ends without one ignore it.
    virtual void SetColumnToolTip(int /*column*/, std::string_view /*text*/) {}
    virtual void DeleteAllItems() = 0;
    virtual int InsertItem(int index, std::string_view text) = 0;  // index inserted at, -1 on failure
    virtual void SetItemText(int item, int column, std::string_view text) = 0;
    virtual int GetItemCount() const = 0;
    virtual std::string GetItemText(int item, int column) const = 0;
    // The first selected item after `start` (-1 searches from the beginning), -1 if none.
    virtual int GetNextSelected(int start) const = 0;
    // Makes `item` the only selected item, and the focused one, scrolled into view.
    virtual void SelectItem(int item) = 0;

    // How an item stands out without a change to its texts: a set of ItemMark bits. A front
    // end that cannot mark items shows them plain.
    enum ItemMark : std::uint32_t {
        kItemPlain = 0,
        kItemEdited = 1u << 0,         // a value the user changed: bold
        kItemIllustrative = 1u << 1,   // a value no standard gives: grey
    };
    virtual void SetItemMarks(int /*item*/, std::uint32_t /*marks*/) {}
    virtual std::uint32_t GetItemMarks(int /*item*/) const { return kItemPlain; }
    // Text shown when the pointer rests on the item; empty for none.
    virtual void SetItemToolTip(int /*item*/, std::string_view /*text*/) {}
    virtual std::string GetItemToolTip(int /*item*/) const { return {}; }
    // Off while the program fills the list: a list that paints itself then neither repaints
    // nor rescrolls for every item, and repaints once when it is turned on again.
    virtual void SetRedraw(bool /*redraw*/) {}
};

// A drawing: one page, `width` by `height` millimetres of it, scaled to fit the control with
// its proportions kept.
class Picture : public Control {
public:
    virtual void SetPage(const Page& page, double width, double height) = 0;
};

}  // namespace kelvo::platform
