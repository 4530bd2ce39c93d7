#include "figures/women.h"

#include "figures/compute_frame.h"

namespace kelvo::figures {

int WomenSizeBand(int size) {
    if (size <= 52) return 0;
    if (size <= 60) return 1;
    return 2;
}

WomenColumns WomenColumnsFor(int band, int hipPosition) {
    if (hipPosition >= 1 && hipPosition <= 4) return {4 * band + 5 + hipPosition, -1, 0};
    if (hipPosition <= 0) return {4 * band + 6, 4 * band + 7, hipPosition - 1};
    return {4 * band + 8, 4 * band + 9, hipPosition - 3};
}

double Extrapolate(double a, double b, int weight) {
    const double difference = b - a;
    return a + weight * difference;
}

bool LoadWomen(Workspace& w) {
    if (!OpenGroupTable(w, FigureGroup::Women)) return false;
    w.ageList.Enable(false);
    w.heightList.Enable(true);
    w.chestList.Enable(true);
    w.thirdList.Enable(true);
    w.thirdLabel.SetText("T19");
    w.heightList.ResetContent();
    w.chestList.ResetContent();
    AddNumbers(w.heightList, kWomenHeightMin, kWomenHeightMax, 6);
    w.heightList.SetCurSel(0);
    AddNumbers(w.chestList, kWomenChestMin, kWomenChestMax, 4);
    w.chestList.SetCurSel(0);
    FillWomenHipList(w);
    return true;
}

void FillWomenHipList(Workspace& w) {
    const int d = w.chestList.GetCurSel();
    if (d == -1) return;
    w.thirdList.ResetContent();
    const int first = 76 + 4 * d;  // chest girth - 8
    AddNumbers(w.thirdList, first, first + 4 * (kWomenHipEntries - 1), 4);
    w.thirdList.SetCurSel(0);
    ComputeWomen(w);
}

void ComputeWomen(Workspace& w) {
    w.selectedRow = -1;
    std::array<int, 3> index{};
    if (!BeginCompute<3>(w, {&w.heightList, &w.chestList, &w.thirdList}, index)) return;
    const auto [c, d, e] = index;

    const int height = kWomenHeightMin + 6 * c;
    const int size = 42 + 2 * d;
    const int g = e - 2;
    if (g < -2 || g > 6) return;
    const int band = WomenSizeBand(size);
    const WomenColumns columns = WomenColumnsFor(band, g);
    const int count = columns.second == -1 ? 1 : 2;
    const int baseColumn[2] = {columns.first, columns.second};

    // Each base figure moves the feature to the chosen height and size with its own
    // height and size, read once before the records.
    const tables::FeatureTable& table = w.table;
    double h[2] = {}, z[2] = {};
    for (int i = 0; i < count; ++i) {
        const double baseHeight = table.ReadNumber(w.keys[0], baseColumn[i]);
        const double baseSize = table.ReadNumber(w.keys[1], baseColumn[i]);
        h[i] = (height - baseHeight) * kSixth;
        z[i] = (size - baseSize) * 0.5;
    }

    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        RecordTexts texts = ReadNumberAndName(table, r);
        std::string heightIncrement, sizeIncrement;
        const double dh = table.ReadNumber(r, 2, heightIncrement);
        const double ds = table.ReadNumber(r, 3 + band, sizeIncrement);
        double v[2] = {};
        for (int i = 0; i < count; ++i) v[i] = StepValue(dh, ds, table.ReadNumber(r, baseColumn[i]), h[i], z[i]);
        const double value = count == 1 ? v[0] : Extrapolate(v[0], v[1], columns.weight);
        AppendRow(w, std::move(texts), value, std::move(heightIncrement), std::move(sizeIncrement));
    }
    const int columnsRead[] = {2, 3 + band, columns.first, columns.second};
    FinishCompute(w, std::span(columnsRead, static_cast<std::size_t>(count + 2)));
}

}  // namespace kelvo::figures
