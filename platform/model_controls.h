#pragma once
// Controls as plain state, no window: the headless front end shows these, and the size-chart
// walk drives them to run the window's own steps away from any window.

#include <set>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace kelvo::platform {

template <class Base>
class Enableable : public Base {
public:
    void Enable(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }

private:
    bool enabled_ = true;
};

template <class Base>
class Texted : public Enableable<Base> {
public:
    void SetText(std::string_view text) override { text_ = text; }
    std::string GetText() const override { return text_; }

private:
    std::string text_;
};

using ModelStatic = Texted<StaticText>;
using ModelEdit = Texted<Edit>;
using ModelButton = Texted<Button>;

class ModelPicture : public Enableable<Picture> {
public:
    void SetPage(const Page& page, double width, double height) override {
        page_ = page;
        width_ = width;
        height_ = height;
    }
    const Page& Shown() const { return page_; }
    double Width() const { return width_; }
    double Height() const { return height_; }

private:
    Page page_;
    double width_ = 0, height_ = 0;
};

class ModelComboBox : public Enableable<ComboBox> {
public:
    void ResetContent() override;
    int AddString(std::string_view text) override;
    void SetCurSel(int index) override;
    int GetCurSel() const override { return selection_; }
    int GetCount() const override { return static_cast<int>(entries_.size()); }
    std::string GetItemText(int index) const override;
    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
    int selection_ = -1;
};

class ModelListView : public Enableable<ListView> {
public:
    std::uint32_t GetExtendedStyle() const override { return extendedStyle_; }
    void SetExtendedStyle(std::uint32_t style) override { extendedStyle_ = style; }
    void InsertColumn(int index, std::string_view caption, int widthPixels) override;
    void DeleteAllItems() override;
    int InsertItem(int index, std::string_view text) override;
    void SetItemText(int item, int column, std::string_view text) override;
    int GetItemCount() const override { return static_cast<int>(items_.size()); }
    std::string GetItemText(int item, int column) const override;
    int GetNextSelected(int start) const override;
    void SelectItem(int item) override;
    void SetItemMarks(int item, std::uint32_t marks) override;
    std::uint32_t GetItemMarks(int item) const override;
    void SetItemToolTip(int item, std::string_view text) override;
    std::string GetItemToolTip(int item) const override;

    struct Column {
        std::string caption;
        int width;
    };
    const std::vector<Column>& Columns() const { return columns_; }
    void SetSelected(int item, bool selected);
    void ClearSelection() { selected_.clear(); }
    int Focused() const { return focused_; }
    void SetFocused(int item) { focused_ = item; }

private:
    std::uint32_t extendedStyle_ = 0;
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> items_;
    struct ItemLook {
        std::uint32_t marks = kItemPlain;
        std::string toolTip;
    };
    std::vector<ItemLook> looks_;  // one per item
    std::set<int> selected_;
    int focused_ = -1;
};

}  // namespace kelvo::platform
