#pragma once
// The key-feature search and the frame that every group's compute step follows.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "figures/figure_group.h"
#include "figures/workspace.h"

namespace kelvo::figures {

// The double nearest to 1/6: the height step factor multiplies by it, not divides by 6.
inline constexpr double kSixth = 0.16666666666666666;

// Finds the records of the features numbered first, second and third; a later record with
// the same number replaces an earlier one, and the scan stops once all three are non-zero.
void FindKeyFeatureRows(const tables::FeatureTable& table, int first, int second, int third,
                        KeyFeatureRows& keys);

using tables::ParseValue;
int ParseFeatureNumber(const std::string& text);

// A value as the list shows it: "%0.1f".
std::string FormatValue(double value);

// base + (hInc*h + sInc*z), the height term first and the base value last: the formula of
// the nursery, the men and each base figure of the women.
double StepValue(double heightIncrement, double sizeIncrement, double base, double h, double z);

// Opens the group's table at DataDirectory + its file ("\BD\boys.dbf") and finds its key
// features 1, 16 and 18 or 19; false when the table cannot be opened.
bool OpenGroupTable(Workspace& w, FigureGroup group);

// Appends "%i" entries first, first + step, ... up to last to `list`.
void AddNumbers(platform::ComboBox& list, int first, int last, int step);

// Frame steps 1 to 6: empties the results, the list and the value edit, reads the
// selected index of each list in order and clears the computed flag. False when a list
// has no selection and the compute step ends here.
template <std::size_t N>
bool BeginCompute(Workspace& w, const std::array<const platform::ComboBox*, N>& lists,
                  std::array<int, N>& indices);
void ClearResults(Workspace& w);

// Frame step 9's row: the number and name texts of record `record`, name converted to ANSI.
struct RecordTexts {
    std::string number, name;
};
RecordTexts ReadNumberAndName(const tables::FeatureTable& table, std::int32_t record);
std::string ReadText(const tables::FeatureTable& table, std::int32_t record, int column);

void AppendRow(Workspace& w, RecordTexts&& texts, double value, std::string&& heightIncrement,
               std::string&& sizeIncrement, std::string&& extra = {});

// Frame steps 10 and 11: the rows are complete; each takes the source of the cells its value
// came from (`columnsRead`), and the list shows them.
void FinishCompute(Workspace& w, std::span<const int> columnsRead);

template <std::size_t N>
bool BeginCompute(Workspace& w, const std::array<const platform::ComboBox*, N>& lists,
                  std::array<int, N>& indices) {
    ClearResults(w);
    for (std::size_t i = 0; i < N; ++i) indices[i] = lists[i]->GetCurSel();
    w.computed = false;
    for (const int index : indices)
        if (index == -1) return false;
    // One row per record follows: a size chart appends them for every figure.
    w.results.Reserve(w.table.RecordCount());
    return true;
}

}  // namespace kelvo::figures
