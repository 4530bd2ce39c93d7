#include "platform/model_controls.h"

#include <algorithm>

namespace kelvo::platform {

void ModelComboBox::ResetContent() {
    entries_.clear();
    selection_ = -1;
}

int ModelComboBox::AddString(std::string_view text) {
    entries_.emplace_back(text);
    return static_cast<int>(entries_.size()) - 1;
}

void ModelComboBox::SetCurSel(int index) {
    selection_ = index >= 0 && index < GetCount() ? index : -1;
}

std::string ModelComboBox::GetItemText(int index) const {
    return index >= 0 && index < GetCount() ? entries_[static_cast<std::size_t>(index)] : std::string();
}

void ModelListView::InsertColumn(int index, std::string_view caption, int widthPixels) {
    const auto at = std::min(static_cast<std::size_t>(std::max(index, 0)), columns_.size());
    columns_.insert(columns_.begin() + static_cast<std::ptrdiff_t>(at), Column{std::string(caption), widthPixels});
}

void ModelListView::DeleteAllItems() {
    items_.clear();
    looks_.clear();
    selected_.clear();
    focused_ = -1;
}

int ModelListView::InsertItem(int index, std::string_view text) {
    if (index < 0) return -1;
    const auto at = std::min(static_cast<std::size_t>(index), items_.size());
    std::vector<std::string> item(std::max<std::size_t>(columns_.size(), 1));
    item[0] = text;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    looks_.insert(looks_.begin() + static_cast<std::ptrdiff_t>(at), ItemLook{});
    // Selection marks follow their items, as in a list view.
    std::set<int> moved;
    for (const int s : selected_) moved.insert(s >= static_cast<int>(at) ? s + 1 : s);
    selected_ = std::move(moved);
    return static_cast<int>(at);
}

void ModelListView::SetItemText(int item, int column, std::string_view text) {
    if (item < 0 || item >= GetItemCount() || column < 0) return;
    auto& cells = items_[static_cast<std::size_t>(item)];
    if (static_cast<std::size_t>(column) >= cells.size()) {
        if (static_cast<std::size_t>(column) >= columns_.size()) return;
        cells.resize(columns_.size());
    }
    cells[static_cast<std::size_t>(column)] = text;
}

std::string ModelListView::GetItemText(int item, int column) const {
    if (item < 0 || item >= GetItemCount() || column < 0) return {};
    const auto& cells = items_[static_cast<std::size_t>(item)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                            : std::string();
}

int ModelListView::GetNextSelected(int start) const {
    const auto it = selected_.upper_bound(start);
    return it == selected_.end() ? -1 : *it;
}

void ModelListView::SelectItem(int item) {
    if (item < 0 || item >= GetItemCount()) return;
    selected_ = {item};
    focused_ = item;
}

void ModelListView::SetSelected(int item, bool selected) {
    if (item < 0 || item >= GetItemCount()) return;
    if (selected)
        selected_.insert(item);
    else
        selected_.erase(item);
}

void ModelListView::SetItemMarks(int item, std::uint32_t marks) {
    if (item >= 0 && item < GetItemCount()) looks_[static_cast<std::size_t>(item)].marks = marks;
}

std::uint32_t ModelListView::GetItemMarks(int item) const {
    return item >= 0 && item < GetItemCount() ? looks_[static_cast<std::size_t>(item)].marks : kItemPlain;
}

void ModelListView::SetItemToolTip(int item, std::string_view text) {
    if (item >= 0 && item < GetItemCount()) looks_[static_cast<std::size_t>(item)].toolTip = text;
}

std::string ModelListView::GetItemToolTip(int item) const {
    return item >= 0 && item < GetItemCount() ? looks_[static_cast<std::size_t>(item)].toolTip : std::string();
}

}  // namespace kelvo::platform
