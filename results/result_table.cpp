#include "results/result_table.h"

#include <algorithm>

#include "platform/controls.h"

namespace kelvo::results {

void ResultTable::SetSize(std::int32_t size, std::int32_t growthStep) {
    if (growthStep != -1) growthStep_ = growthStep;
    if (size <= 0) {
        std::vector<ResultRow>().swap(rows_);  // releases the storage, not just the rows
        size_ = capacity_ = 0;
        return;
    }
    if (capacity_ == 0) {
        rows_.reserve(static_cast<std::size_t>(size));
        capacity_ = size;
    } else if (size > capacity_) {
        std::int32_t step = growthStep_;
        if (step == 0) step = std::clamp(size_ / 8, 4, 1024);
        capacity_ = std::max(capacity_ + step, size);
    }
    // The capacity above is the table's own account of its growth; the storage behind it
    // doubles instead. Reserving exactly that capacity moved every row again each 4 rows
    // at first and each 1024 rows past 8192: quadratic in the rows, and at 66000 rows half
    // of what a compute step did itself, besides its file calls, was moving rows.
    if (static_cast<std::size_t>(size) > rows_.capacity())
        rows_.reserve(std::max(static_cast<std::size_t>(size), 2 * rows_.capacity()));  // moves, copies none
    rows_.resize(static_cast<std::size_t>(size));
    size_ = size;
}

void ResultTable::Reserve(std::int32_t rows) {
    if (rows > 0) rows_.reserve(static_cast<std::size_t>(rows));
}

ResultRow& ResultTable::Append() {
    SetSize(size_ + 1);
    return rows_.back();
}

void ShowRows(platform::ListView& list, const ResultTable& table) {
    // One repaint for the whole table, not one for every item and cell.
    list.SetRedraw(false);
    list.DeleteAllItems();
    for (std::int32_t i = 0; i < table.GetSize(); ++i) {
        const ResultRow& row = table[i];
        list.InsertItem(i, row.cells[0]);
        for (int column = 1; column <= 4; ++column) list.SetItemText(i, column, row.cells[static_cast<std::size_t>(column)]);
        const std::uint32_t marks = (row.illustrative ? platform::ListView::kItemIllustrative : 0u) |
                                    (row.edited ? platform::ListView::kItemEdited : 0u);
        if (marks) list.SetItemMarks(i, marks);
        if (!row.sourceNote.empty()) list.SetItemToolTip(i, row.sourceNote);
    }
    list.SetRedraw(true);
}

}  // namespace kelvo::results
