#include "figures/children.h"

#include "figures/compute_frame.h"

namespace kelvo::figures {

ChildColumns ChildColumnsFor(int age) {
    // Preschool's waist increment column is its base column: with one waist entry the
    // waist term is multiplied by 0 and never counts.
    if (age == 0) return {2, 3, 4, 4};
    return {4 * age + 1, 4 * age + 2, 4 * age + 3, 4 * age + 4};
}

int ChildWaistCount(int age) { return age == 0 ? 1 : 2; }

int ChildWaist(const ChildGrid& grid, int age, int chestIndex, int waistIndex) {
    return grid.waistBase[age] + 3 * chestIndex + 6 * waistIndex;
}

double ChildValue(double h, double k, double v, double b, double hF, double cF, int waistIndex) {
    double x = v * waistIndex;
    x = x + x;
    const double y = k * cF + x;
    const double z = h * hF + y;
    return b + z;
}

bool LoadChild(Workspace& w, const ChildGroup& group) {
    if (!OpenGroupTable(w, group.group)) return false;
    w.thirdLabel.SetText("T18");
    w.ageList.Enable(true);
    w.heightList.Enable(true);
    w.chestList.Enable(true);
    w.thirdList.Enable(true);
    w.ageList.SetCurSel(0);
    w.heightList.ResetContent();
    w.chestList.ResetContent();
    w.thirdList.ResetContent();
    FillChildLists(w, group);
    return true;
}

void FillChildLists(Workspace& w, const ChildGroup& group) {
    const int a = w.ageList.GetCurSel();
    // The age list of another group's stale window may have no selection: there is no grid
    // column to fill from.
    if (a < 0 || a > 3) return;
    const ChildGrid& grid = group.grid;
    w.heightList.ResetContent();
    AddNumbers(w.heightList, grid.t1Min[a], grid.t1Max[a], 6);
    w.heightList.SetCurSel(0);
    w.chestList.ResetContent();
    AddNumbers(w.chestList, grid.t16Min[a], grid.t16Max[a], 4);
    w.chestList.SetCurSel(0);
    FillChildWaistList(w, group);
}

void FillChildWaistList(Workspace& w, const ChildGroup& group) {
    w.thirdList.ResetContent();
    const int g = w.chestList.GetCurSel();
    const int a = w.ageList.GetCurSel();
    if (g == -1 || a == -1 || a > 3) return;
    const int first = ChildWaist(group.grid, a, g, 0);
    AddNumbers(w.thirdList, first, first + 6 * (ChildWaistCount(a) - 1), 6);
    w.thirdList.SetCurSel(0);
    ComputeChild(w, group);
}

void ComputeChild(Workspace& w, const ChildGroup& group) {
    std::array<int, 4> index{};
    if (!BeginCompute<4>(w, {&w.heightList, &w.chestList, &w.thirdList, &w.ageList}, index)) return;
    const auto [f, g, waist, a] = index;
    if (a < 0 || a > 3) return;

    const ChildGrid& grid = group.grid;
    const int t1 = grid.t1Min[a] + 6 * f;
    const int t16 = grid.t16Min[a] + 4 * g;
    const ChildColumns c = ChildColumnsFor(a);

    const tables::FeatureTable& table = w.table;
    const double baseHeight = table.ReadNumber(w.keys[0], c.base);
    const double baseChest = table.ReadNumber(w.keys[1], c.base);
    const double hF = (t1 - baseHeight) * kSixth;
    const double cF = (t16 - baseChest) * 0.25;

    for (std::int32_t r = 0; r < table.RecordCount(); ++r) {
        RecordTexts texts = ReadNumberAndName(table, r);
        std::string h, k, v;
        const double dh = table.ReadNumber(r, c.height, h);
        const double dk = table.ReadNumber(r, c.chest, k);
        const double dv = table.ReadNumber(r, c.waist, v);
        const double value = ChildValue(dh, dk, dv, table.ReadNumber(r, c.base), hF, cF, waist);
        AppendRow(w, std::move(texts), value, std::move(h), std::move(k), std::move(v));
    }
    // The first waist entry adds nothing of the waist column.
    const int columnsRead[] = {c.height, c.chest, c.base, c.waist};
    FinishCompute(w, std::span(columnsRead, waist > 0 ? 4 : 3));
}

bool LoadGirls(Workspace& w) { return LoadChild(w, kGirls); }
void FillGirlsLists(Workspace& w) { FillChildLists(w, kGirls); }
void FillGirlsWaistList(Workspace& w) { FillChildWaistList(w, kGirls); }
void ComputeGirls(Workspace& w) { ComputeChild(w, kGirls); }
bool LoadBoys(Workspace& w) { return LoadChild(w, kBoys); }
void FillBoysLists(Workspace& w) { FillChildLists(w, kBoys); }
void FillBoysWaistList(Workspace& w) { FillChildWaistList(w, kBoys); }
void ComputeBoys(Workspace& w) { ComputeChild(w, kBoys); }

}  // namespace kelvo::figures
