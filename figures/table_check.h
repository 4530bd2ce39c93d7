#pragma once
// What a group's feature table must hold for the window to compute right: the group's
// columns, and in the records of features 1, 16 and 18 or 19 the base figures and the steps
// of the group's grid.

#include <vector>

#include "figures/figure_group.h"
#include "tables/table_source.h"

namespace kelvo::figures {

// The number of columns of the group's table: those its computation reads, and for men the
// second set of base columns their table has always carried.
int TableColumns(FigureGroup group);

// Appends a fault for each key feature missing, each base column whose height, chest (or
// size) or third girth is not what the group's grid puts there, and each key feature's
// increment that is not the grid's step. Faults name the source lines of `source`.
void CheckTable(FigureGroup group, const tables::TableSource& source, std::vector<tables::TableFault>& faults);

}  // namespace kelvo::figures
