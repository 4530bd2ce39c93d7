#pragma once
// The rows of a computed figure: six text cells per dimensional feature.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::platform {
class ListView;
}

namespace kelvo::results {

// Cells: 0 number, 1 name, 2 value, 3 height increment, 4 size increment, 5 extra text.
// The source of the value, when the table's side file names it, goes beside the cells:
// the codes ("W", "illustrative") and the note the list shows for the row (Windows-1251).
struct ResultRow {
    static constexpr int kCells = 6;
    std::array<std::string, kCells> cells;
    std::string source, sourceNote;
    bool illustrative = false;
    bool edited = false;  // cell 2 holds what the user typed, not the computed value
};

// A growable array of rows that grows by its growth step, or by size / 8 bounded to 4..1024.
class ResultTable {
public:
    // Sets the number of rows; new rows are empty. A growth step of -1 keeps the current one.
    void SetSize(std::int32_t size, std::int32_t growthStep = -1);
    std::int32_t GetSize() const { return size_; }
    std::int32_t GetCapacity() const { return capacity_; }
    ResultRow& operator[](std::int32_t index) { return rows_[static_cast<std::size_t>(index)]; }
    const ResultRow& operator[](std::int32_t index) const { return rows_[static_cast<std::size_t>(index)]; }
    // Appends an empty row and returns it: SetSize with the size + 1.
    ResultRow& Append();
    // Room for `rows` rows in the storage behind the table, so that appending them moves
    // none; the capacity the table reports still follows its growth rule.
    void Reserve(std::int32_t rows);

private:
    std::vector<ResultRow> rows_;
    std::int32_t size_ = 0;
    std::int32_t capacity_ = 0;
    std::int32_t growthStep_ = 0;
};

// Rebuilds `list` from `table`: item i shows cells 0 to 4 of row i, an illustrative row
// marked and every row with a source noted; nothing selected.
void ShowRows(platform::ListView& list, const ResultTable& table);

}  // namespace kelvo::results
