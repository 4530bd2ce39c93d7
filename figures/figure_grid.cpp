#include "figures/figure_grid.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "figures/compute_frame.h"
#include "figures/group_registry.h"
#include "figures/size_chart_walk.h"
#include "platform/ansi_text.h"
#include "res/figure_dialog_template.h"
#include "res/resource.h"

namespace kelvo::figures {
namespace {

// A dimension's term as the nearest-figure search computes it, to the bit.
double Term(double person, double figure, double step) { return std::pow((person - figure) / step, 2); }

// Visits the entries of `sorted` (by .value) outward from `value`, nearer first, while
// `go(entry, term)` says a figure there may still be the nearest. Without a value every entry
// is visited, in order, at no cost.
template <class Entry, class Go>
void Outward(const std::vector<Entry>& sorted, const std::optional<double>& value, double step, Go go) {
    if (!value) {
        for (const Entry& entry : sorted) go(entry, 0.0);
        return;
    }
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), *value,
                                     [](const Entry& e, double v) { return e.value < v; });
    std::ptrdiff_t right = at - sorted.begin(), left = right - 1;
    const auto size = static_cast<std::ptrdiff_t>(sorted.size());
    bool leftOpen = left >= 0, rightOpen = right < size;
    while (leftOpen || rightOpen) {
        const bool takeLeft =
            leftOpen && (!rightOpen || *value - sorted[static_cast<std::size_t>(left)].value <=
                                           sorted[static_cast<std::size_t>(right)].value - *value);
        const Entry& entry = sorted[static_cast<std::size_t>(takeLeft ? left : right)];
        const bool more = go(entry, Term(*value, entry.value, step));
        if (takeLeft) leftOpen = more && --left >= 0;
        else rightOpen = more && ++right < size;
    }
}

}  // namespace

bool FigureGrid::Load(const std::string& dataDirectory, FigureGroup group, int age, const std::vector<int>& features,
                      std::string& message) {
    static constexpr platform::AnsiText kUnreadable(u8"Таблица признаков группы не читается.");
    static constexpr platform::AnsiText kFeature(u8"Признака ");
    static constexpr platform::AnsiText kNotInTable(u8" нет в таблице признаков группы.");
    const GroupEntry& entry = Group(group);
    hasThird_ = entry.hasThirdList;
    steps_[0] = kHeightStep;
    steps_[1] = kChestStep;
    steps_[2] = ThirdStep(entry.third);
    figures_.clear();
    std::vector<std::int32_t> rowOf;
    int missing = 0;
    std::vector<int> ages{-1};
    if (entry.hasAgeGroups) ages = age == kAnyAge ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{age};
    for (const int a : ages) {
        const auto visit = [&](const WalkedFigure& walked) {
            if (rowOf.empty() && !features.empty()) {
                for (const int feature : features) {
                    std::int32_t found = -1;
                    for (std::int32_t r = 0; r < walked.rows.GetSize() && found < 0; ++r)
                        if (ParseFeatureNumber(walked.rows[r].cells[0]) == feature) found = r;
                    if (found < 0) return missing = feature, false;
                    rowOf.push_back(found);
                }
            }
            Figure figure{a, walked.height, walked.chest, walked.third,
                          {ParseValue(walked.height), ParseValue(walked.chest), ParseValue(walked.third)}, {}, {}};
            for (const std::int32_t row : rowOf) {
                figure.values.push_back(ParseValue(walked.rows[row].cells[2]));
                figure.increments.push_back(std::abs(ParseValue(walked.rows[row].cells[4])));
            }
            figures_.push_back(std::move(figure));
            return true;
        };
        if (!WalkFigures(dataDirectory, group, std::max(a, 0), visit)) {
            message = missing ? std::string(kFeature.view()) + std::to_string(missing) + std::string(kNotInTable.view())
                              : std::string(kUnreadable.view());
            return false;
        }
    }
    if (figures_.empty()) return message = kUnreadable.view(), false;
    // Heights, their chests, their thirds, each ascending; every age group's figures together.
    std::map<double, std::map<double, std::vector<Third>>> nested;
    for (int i = 0; i < static_cast<int>(figures_.size()); ++i) {
        const Figure& f = figures_[static_cast<std::size_t>(i)];
        nested[f.leading[0]][f.leading[1]].push_back({hasThird_ ? f.leading[2] : 0.0, i});
    }
    heights_.clear();
    for (auto& [height, chests] : nested) {
        Height& h = heights_.emplace_back(Height{height, {}});
        for (auto& [chest, thirds] : chests) {
            std::stable_sort(thirds.begin(), thirds.end(), [](const Third& a, const Third& b) { return a.value < b.value; });
            h.chests.push_back({chest, std::move(thirds)});
        }
    }
    for (int a = 0; a < 5; ++a) {
        featureBounds_[a].assign(features.size(), {});
        for (const Figure& f : figures_) {
            if (a < 4 && f.age != a) continue;
            for (std::size_t i = 0; i < features.size(); ++i) {
                FeatureBounds& b = featureBounds_[a][i];
                b.low = std::min(b.low, f.values[i]);
                b.high = std::max(b.high, f.values[i]);
                b.step = std::max(b.step, f.increments[i]);
            }
        }
        for (int d = 0; d < 3; ++d) {
            low_[a][d] = HUGE_VAL;
            high_[a][d] = -HUGE_VAL;
            for (const Figure& f : figures_) {
                if (a < 4 && f.age != a) continue;
                low_[a][d] = std::min(low_[a][d], f.leading[d]);
                high_[a][d] = std::max(high_[a][d], f.leading[d]);
            }
        }
    }
    return true;
}

FigureGrid::Nearest FigureGrid::Find(const std::optional<double> (&leading)[3],
                                     const std::vector<std::optional<double>>& features, int age) const {
    const int dimensions = hasThird_ ? 3 : 2;
    // An age group no figure has (a grid of one age group asked for another) has no bounds.
    const int bounds = age >= 0 && age < 4 ? age : 4;
    if (low_[bounds][0] > high_[bounds][0]) return {};
    for (int d = 0; d < dimensions; ++d)
        if (leading[d] && (*leading[d] < low_[bounds][d] - 2 * steps_[d] || *leading[d] > high_[bounds][d] + 2 * steps_[d]))
            return {};
    // A further feature more than two of its steps beyond every figure, as the search refuses it.
    for (std::size_t i = 0; i < features.size() && i < featureBounds_[bounds].size(); ++i) {
        const FeatureBounds& b = featureBounds_[bounds][i];
        if (features[i] && b.step > 0 && (*features[i] < b.low - 2 * b.step || *features[i] > b.high + 2 * b.step))
            return {};
    }
    Nearest best;
    double bestSum = HUGE_VAL;
    // A figure is taken when it is nearer, or as near and first in the lists; a branch is
    // left once even its first terms make every figure in it farther. Sums are compared as
    // their roots, as the search ranks them: two sums can share a root. A sum well above the
    // best (by far more than a root's rounding) needs no root to be seen farther.
    const auto mayHold = [&](double partial) {
        if (best.figure < 0 || partial <= bestSum) return true;
        return partial <= bestSum * (1 + 1e-9) && std::sqrt(partial) <= best.distance;
    };
    const auto offer = [&](int index, double sum) {
        if (age != kAnyAge && figures_[static_cast<std::size_t>(index)].age != age) return;
        sum = AddFeatures(sum, features, index);
        if (best.figure >= 0 && sum > bestSum * (1 + 1e-9)) return;
        const double distance = std::sqrt(sum);
        if (best.figure < 0 || distance < best.distance || (distance == best.distance && index < best.figure)) {
            best = {index, distance};
            bestSum = sum;
        }
    };
    Outward(heights_, leading[0], steps_[0], [&](const Height& h, double heightTerm) {
        if (!mayHold(heightTerm)) return false;
        Outward(h.chests, leading[1], steps_[1], [&](const Chest& c, double chestTerm) {
            // As the search adds them: height, then chest, then the third girth.
            const double partial = (leading[0] ? heightTerm : 0.0) + (leading[1] ? chestTerm : 0.0);
            if (!mayHold(partial)) return false;
            if (!hasThird_) {
                for (const Third& t : c.thirds) offer(t.figure, partial);
                return true;
            }
            Outward(c.thirds, leading[2], steps_[2], [&](const Third& t, double thirdTerm) {
                const double sum = partial + (leading[2] ? thirdTerm : 0.0);
                if (!mayHold(sum)) return false;
                offer(t.figure, sum);
                return true;
            });
            return true;
        });
        return true;
    });
    return best;
}

double FigureGrid::AddFeatures(double sum, const std::vector<std::optional<double>>& features, int figure) const {
    const Figure& f = figures_[static_cast<std::size_t>(figure)];
    for (std::size_t i = 0; i < features.size(); ++i)
        if (features[i] && f.increments[i] != 0) sum += Term(*features[i], f.values[i], f.increments[i]);
    return sum;
}

double FigureGrid::Distance(const std::optional<double> (&leading)[3], const std::vector<std::optional<double>>& features,
                            int figure, int age) const {
    const Figure& f = figures_[static_cast<std::size_t>(figure)];
    if (age != kAnyAge && f.age != age) return HUGE_VAL;
    double sum = 0;
    for (int d = 0; d < (hasThird_ ? 3 : 2); ++d)
        if (leading[d]) sum += Term(*leading[d], f.leading[d], steps_[d]);
    return std::sqrt(AddFeatures(sum, features, figure));
}

std::string FigureGrid::Heading(int figure) const {
    const Figure& f = figures_[static_cast<std::size_t>(figure)];
    std::string heading = f.height;
    heading += "-";
    heading += f.chest;
    if (hasThird_) {
        heading += "-";
        heading += f.third;
    }
    if (f.age >= 0) {
        int index = 0;
        for (const platform::InitialEntry& entry : res::FigureDialogTemplate().initialEntries)
            if (entry.id == res::kIdAgeList && index++ == f.age) heading += " " + std::string(entry.text);
    }
    return heading;
}

}  // namespace kelvo::figures
