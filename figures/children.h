#pragma once
// Boys and girls: a grid of heights, chest and waist girths per age group, and one set of
// increment and base columns per age group in the group's table.

#include <string_view>

#include "figures/figure_group.h"
#include "figures/workspace.h"

namespace kelvo::figures {

// One column per age group: Preschool, JuniorSchool, SeniorSchool, Adolescent.
struct ChildGrid {
    int t1Min[4], t1Max[4], t16Min[4], t16Max[4], waistBase[4];
};

inline constexpr ChildGrid kBoysGrid{
    {98, 122, 146, 164}, {116, 146, 170, 188}, {52, 60, 76, 84}, {64, 80, 88, 104}, {48, 51, 63, 69}};
inline constexpr ChildGrid kGirlsGrid{
    {98, 122, 146, 158}, {116, 146, 164, 176}, {52, 60, 76, 88}, {64, 80, 88, 104}, {48, 51, 57, 66}};

struct ChildGroup {
    FigureGroup group;  // its table and key features are the registry's
    const ChildGrid& grid;
};
inline constexpr ChildGroup kBoys{FigureGroup::Boys, kBoysGrid};
inline constexpr ChildGroup kGirls{FigureGroup::Girls, kGirlsGrid};

// The columns an age group reads: increments per height, chest and waist step, base values.
struct ChildColumns {
    int height, chest, waist, base;
};
ChildColumns ChildColumnsFor(int age);

// The waist girths offered for chest index g in age group `age`: one for Preschool, two after.
int ChildWaistCount(int age);
int ChildWaist(const ChildGrid& grid, int age, int chestIndex, int waistIndex);

// A feature's value: b + (h*hF + (k*cF + 2*v*w)), in exactly this order of operations.
double ChildValue(double h, double k, double v, double b, double hF, double cF, int waistIndex);

bool LoadChild(Workspace& w, const ChildGroup& group);
void FillChildLists(Workspace& w, const ChildGroup& group);
void FillChildWaistList(Workspace& w, const ChildGroup& group);
void ComputeChild(Workspace& w, const ChildGroup& group);

// Each child group's steps, as the registry and the dispatch name them.
bool LoadGirls(Workspace& w);
void FillGirlsLists(Workspace& w);
void FillGirlsWaistList(Workspace& w);
void ComputeGirls(Workspace& w);
bool LoadBoys(Workspace& w);
void FillBoysLists(Workspace& w);
void FillBoysWaistList(Workspace& w);
void ComputeBoys(Workspace& w);

}  // namespace kelvo::figures
