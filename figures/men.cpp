#include "figures/men.h"

#include "figures/compute_frame.h"

namespace kelvo::figures {

bool LoadMen(Workspace& w) {
    if (!OpenGroupTable(w, FigureGroup::Men)) return false;
    w.thirdLabel.SetText("T18");
    w.ageList.Enable(false);
    w.heightList.Enable(true);
    w.chestList.Enable(true);
    w.thirdList.Enable(true);
    w.heightList.ResetContent();
    w.chestList.ResetContent();
    w.thirdList.ResetContent();
    AddNumbers(w.heightList, kMenHeightMin, kMenHeightMax, 6);
    w.heightList.SetCurSel(0);
    AddNumbers(w.chestList, kMenChestMin, kMenChestMax, 4);
    w.chestList.SetCurSel(0);
    FillMenWaistList(w);
    return true;
}

void FillMenWaistList(Workspace& w) {
    const int i = w.chestList.GetCurSel();
    if (i == -1) return;
    w.thirdList.ResetContent();
    const int first = 66 + 4 * i;  // chest girth - 18
    AddNumbers(w.thirdList, first, first + 6 * (kMenWaistPositions - 1), 6);
    w.thirdList.SetCurSel(0);
    ComputeMen(w);
}

void ComputeMen(Workspace& w) {
    std::array<int, 3> index{};
    if (!BeginCompute<3>(w, {&w.heightList, &w.chestList, &w.thirdList}, index)) return;
    const auto [d, e, waist] = index;

    const int height = kMenHeightMin + 6 * d;
    const int size = 42 + 2 * e;
    const int b = MenBaseColumn(waist);
    const int k = MenSizeIncrementColumn(waist);

    const tables::FeatureTable& table = w.table;
    const double baseHeight = table.ReadNumber(w.keys[0], b);
    const double baseSize = table.ReadNumber(w.keys[1], b);
    const double h = (height - baseHeight) * kSixth;
    const double z = (size - baseSize) * 0.5;

    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        RecordTexts texts = ReadNumberAndName(table, r);
        std::string heightIncrement, sizeIncrement;
        const double dh = table.ReadNumber(r, 2, heightIncrement);
        const double ds = table.ReadNumber(r, k, sizeIncrement);
        const double value = StepValue(dh, ds, table.ReadNumber(r, b), h, z);
        AppendRow(w, std::move(texts), value, std::move(heightIncrement), std::move(sizeIncrement));
    }
    FinishCompute(w, std::array{2, k, b});
}

}  // namespace kelvo::figures
