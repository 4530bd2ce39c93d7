#pragma once
// Nursery children: six heights with one or two chest girths each, one base figure.

#include "figures/workspace.h"

namespace kelvo::figures {

struct NurseryGrid {
    int heights[6];
    int chestCounts[6];
    int chests[6][2];  // the second of a pair is 0 where the count is 1
};

inline constexpr NurseryGrid kNurseryGrid{
    {62, 68, 74, 80, 86, 92},
    {1, 1, 2, 2, 2, 2},
    {{40, 0}, {44, 0}, {44, 48}, {48, 52}, {48, 52}, {52, 56}},
};

bool LoadNursery(Workspace& w);
void FillNurseryChestList(Workspace& w);
void ComputeNursery(Workspace& w);

}  // namespace kelvo::figures
