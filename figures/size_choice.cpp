#include "figures/size_choice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvo::figures {
namespace {

// Each sampled person's distance to each candidate, computed once.
class Distances {
public:
    Distances(const FigureGrid& grid, const std::vector<SampledPerson>& sample, const std::vector<int>& candidates)
        : people_(sample.size()), candidates_(candidates.size()), table_(sample.size() * candidates.size()) {
        for (std::size_t p = 0; p < people_; ++p)
            for (std::size_t c = 0; c < candidates_; ++c) {
                // A figure of another age group serves nobody: it costs as if a million steps
                // away, so the choice covers each age group the sample holds before it refines one.
                const double distance = grid.Distance(sample[p].leading, sample[p].features, candidates[c], sample[p].age);
                table_[p * candidates_ + c] = std::isfinite(distance) ? static_cast<float>(distance) : 1e6f;
            }
    }
    float At(std::size_t person, std::size_t candidate) const { return table_[person * candidates_ + candidate]; }
    std::size_t People() const { return people_; }

    // The total distance when every person takes the nearest of `chosen` (candidate positions).
    double Total(const std::vector<std::size_t>& chosen) const {
        double total = 0;
        for (std::size_t p = 0; p < people_; ++p) {
            float nearest = std::numeric_limits<float>::infinity();
            for (const std::size_t c : chosen) nearest = std::min(nearest, At(p, c));
            total += nearest;
        }
        return total;
    }

private:
    std::size_t people_, candidates_;
    std::vector<float> table_;
};

// Swaps a chosen figure for another while the total falls; the total reached.
double Improve(const Distances& d, std::size_t count, std::vector<std::size_t>& chosen) {
    double total = d.Total(chosen);
    for (bool improved = true; improved;) {
        improved = false;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            for (std::size_t c = 0; c < count; ++c) {
                if (std::find(chosen.begin(), chosen.end(), c) != chosen.end()) continue;
                std::vector<std::size_t> trial = chosen;
                trial[i] = c;
                const double t = d.Total(trial);
                if (t < total - 1e-9) {
                    total = t;
                    chosen = std::move(trial);
                    improved = true;
                }
            }
        }
    }
    return total;
}

}  // namespace

std::vector<int> ChooseSizes(const FigureGrid& grid, const std::vector<SampledPerson>& sample,
                             const std::vector<int>& candidates, int k, const std::vector<int>& seed) {
    const std::size_t count = candidates.size();
    k = std::min<int>(k, static_cast<int>(count));
    if (k <= 0 || sample.empty()) return std::vector<int>(seed.begin(), seed.begin() + std::min<std::size_t>(seed.size(), static_cast<std::size_t>(std::max(k, 0))));
    const Distances d(grid, sample, candidates);
    std::vector<std::size_t> greedy;
    std::vector<float> best(d.People(), std::numeric_limits<float>::infinity());
    for (int round = 0; round < k; ++round) {
        std::size_t pick = count;
        double pickTotal = std::numeric_limits<double>::infinity();
        for (std::size_t c = 0; c < count; ++c) {
            if (std::find(greedy.begin(), greedy.end(), c) != greedy.end()) continue;
            double total = 0;
            for (std::size_t p = 0; p < d.People(); ++p) total += std::min(best[p], d.At(p, c));
            if (total < pickTotal) pickTotal = total, pick = c;
        }
        greedy.push_back(pick);
        for (std::size_t p = 0; p < d.People(); ++p) best[p] = std::min(best[p], d.At(p, pick));
    }
    double total = Improve(d, count, greedy);
    std::vector<std::size_t> fromSeed;
    for (const int figure : seed) {
        const auto at = std::find(candidates.begin(), candidates.end(), figure);
        if (at != candidates.end() && fromSeed.size() < static_cast<std::size_t>(k))
            fromSeed.push_back(static_cast<std::size_t>(at - candidates.begin()));
    }
    if (fromSeed.size() == static_cast<std::size_t>(k) && Improve(d, count, fromSeed) < total) greedy = fromSeed;
    std::vector<int> chosen;
    for (const std::size_t c : greedy) chosen.push_back(candidates[c]);
    return chosen;
}

}  // namespace kelvo::figures
