#pragma once
// Women: heights 134-200, chest girths 84-136, nine hip girths from chest - 8 to chest + 24;
// twelve base figures, three size bands of four hip positions.

#include "figures/workspace.h"

namespace kelvo::figures {

inline constexpr int kWomenHeightMin = 134, kWomenHeightMax = 200;
inline constexpr int kWomenChestMin = 84, kWomenChestMax = 136;
inline constexpr int kWomenHipEntries = 9;

// Size band of size S (half the chest girth): 0 up to 52, 1 up to 60, 2 above.
int WomenSizeBand(int size);

// The base columns a hip position g (-2..6) reads in band s, and how they combine: one
// column taken as it is (g 1..4), or two extrapolated as A + weight * (B - A).
struct WomenColumns {
    int first, second;  // second is -1 for one column
    int weight;
};
WomenColumns WomenColumnsFor(int band, int hipPosition);

// A + weight * (B - A): the difference first, then scaled, then added.
double Extrapolate(double a, double b, int weight);

bool LoadWomen(Workspace& w);
void FillWomenHipList(Workspace& w);
void ComputeWomen(Workspace& w);

}  // namespace kelvo::figures
