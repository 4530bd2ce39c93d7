#pragma once
// Which few sizes to make: the K figures that leave a survey's people the least total
// distance when each person takes the nearest of them (the K-median). Chosen on a sample of
// the people, which keeps the memory the same for any survey; the caller measures the choice
// on every person afterwards.

#include <optional>
#include <vector>

#include "figures/figure_grid.h"

namespace kelvo::figures {

struct SampledPerson {
    std::optional<double> leading[3];
    std::vector<std::optional<double>> features;
    int age = kAnyAge;  // the age group an age column gave, which only its own figures serve
};

// Greedy: each figure in turn that lowers the total most; then swaps of a chosen figure for
// another while any lowers it. Started also from `seed` (the K most frequent figures) and the
// better kept, so the choice is never worse than those on the sample. `candidates` are the
// figures the survey's people took; K is at most their number.
std::vector<int> ChooseSizes(const FigureGrid& grid, const std::vector<SampledPerson>& sample,
                             const std::vector<int>& candidates, int k, const std::vector<int>& seed);

}  // namespace kelvo::figures
