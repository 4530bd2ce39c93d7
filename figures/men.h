#pragma once
// Men: heights 146-212, chest girths 84-136, five waist positions, one base figure per
// waist position.

#include "figures/workspace.h"

namespace kelvo::figures {

inline constexpr int kMenHeightMin = 146, kMenHeightMax = 212;
inline constexpr int kMenChestMin = 84, kMenChestMax = 136;
inline constexpr int kMenWaistPositions = 5;

// The base column of waist position w, and the column of its size increments.
inline constexpr int MenBaseColumn(int waistPosition) { return 5 + waistPosition; }
inline constexpr int MenSizeIncrementColumn(int waistPosition) { return waistPosition == 4 ? 4 : 3; }

bool LoadMen(Workspace& w);
void FillMenWaistList(Workspace& w);
void ComputeMen(Workspace& w);

}  // namespace kelvo::figures
