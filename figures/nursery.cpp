#include "figures/nursery.h"

#include "figures/compute_frame.h"

namespace kelvo::figures {
namespace {

constexpr int kRows = 6;

// Height row d and chest index e inside the grid. A stale height list left by another
// group whose table failed to open can hold indices beyond it.
bool InGrid(int d, int e) {
    return d >= 0 && d < kRows && e >= 0 && e < kNurseryGrid.chestCounts[d];
}

}  // namespace

bool LoadNursery(Workspace& w) {
    if (!OpenGroupTable(w, FigureGroup::Nursery)) return false;
    w.ageList.Enable(false);
    w.heightList.Enable(true);
    w.chestList.Enable(true);
    w.heightList.ResetContent();
    w.chestList.ResetContent();
    w.thirdList.ResetContent();
    w.thirdList.Enable(false);
    w.thirdLabel.SetText("T18/T19");
    for (const int height : kNurseryGrid.heights) AddNumbers(w.heightList, height, height, 1);
    w.heightList.SetCurSel(0);
    FillNurseryChestList(w);
    return true;
}

void FillNurseryChestList(Workspace& w) {
    const int d = w.heightList.GetCurSel();
    w.chestList.ResetContent();
    if (!InGrid(d, 0)) return;  // the chest list stays empty and nothing is computed
    for (int e = 0; e < kNurseryGrid.chestCounts[d]; ++e)
        AddNumbers(w.chestList, kNurseryGrid.chests[d][e], kNurseryGrid.chests[d][e], 1);
    w.chestList.SetCurSel(0);
    ComputeNursery(w);
}

void ComputeNursery(Workspace& w) {
    std::array<int, 2> index{};
    if (!BeginCompute<2>(w, {&w.heightList, &w.chestList}, index)) return;
    const auto [d, e] = index;
    if (!InGrid(d, e)) return;  // as for a missing selection: no rows, not computed

    const int height = kNurseryGrid.heights[d];
    const int chest = kNurseryGrid.chests[d][e];
    const tables::FeatureTable& table = w.table;
    const double baseHeight = table.ReadNumber(w.keys[0], 4);
    const double baseChest = table.ReadNumber(w.keys[1], 4);
    const double h = (height - baseHeight) * kSixth;
    const double z = (chest - baseChest) * 0.25;

    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        RecordTexts texts = ReadNumberAndName(table, r);
        std::string heightIncrement, chestIncrement;
        const double dh = table.ReadNumber(r, 2, heightIncrement);
        const double dc = table.ReadNumber(r, 3, chestIncrement);
        const double value = StepValue(dh, dc, table.ReadNumber(r, 4), h, z);
        AppendRow(w, std::move(texts), value, std::move(heightIncrement), std::move(chestIncrement));
    }
    FinishCompute(w, std::array{2, 3, 4});
}

}  // namespace kelvo::figures
