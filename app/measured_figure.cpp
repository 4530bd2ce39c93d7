#include "app/measured_figure.h"

#include <cstdlib>
#include <string_view>
#include <vector>

namespace kelvo::app {
namespace {

struct GroupFacts {
    std::string_view key, gender;
    bool ageGroups, halfChest;  // men and women are sized by half the chest girth
};
constexpr GroupFacts kGroups[] = {{"nursery", "unknown", false, false},
                                  {"girls", "female", true, false},
                                  {"boys", "male", true, false},
                                  {"women", "female", false, true},
                                  {"men", "male", false, true}};

int Entry(const platform::ComboBox& list, int index) { return std::atoi(list.GetItemText(index).c_str()); }

// The list's selected entry and its range, each divided by `divisor`. A list whose entries
// are not evenly spaced (or do not divide) gives the selected entry alone.
results::FigureDimension ListDimension(const platform::ComboBox& list, int divisor) {
    const int selected = list.GetCurSel();
    const int base = selected < 0 ? 0 : Entry(list, selected);
    const results::FigureDimension single{base / divisor, base / divisor, base / divisor, 0};
    const int count = list.GetCount();
    if (selected < 0 || count < 2) return single;
    const int first = Entry(list, 0), step = Entry(list, 1) - first;
    for (int i = 0; i < count; ++i)
        if (Entry(list, i) != first + i * step || Entry(list, i) % divisor != 0) return single;
    if (step <= 0 || step % divisor != 0) return single;
    return {base / divisor, first / divisor, Entry(list, count - 1) / divisor, step / divisor};
}

}  // namespace

results::MeasuredFigure DescribeFigure(const FigureLists& lists) {
    results::MeasuredFigure figure;
    const int group = lists.group.GetCurSel();
    if (group < 0 || group >= static_cast<int>(std::size(kGroups))) return figure;
    const GroupFacts& facts = kGroups[group];
    figure.groupKey = facts.key;
    figure.gender = facts.gender;
    figure.halfChest = facts.halfChest;
    figure.group = lists.group.GetItemText(group);
    if (facts.ageGroups && lists.age.GetCurSel() >= 0) figure.ageGroup = lists.age.GetItemText(lists.age.GetCurSel());
    const auto lead = [&figure](std::string caption, const platform::ComboBox& list) {
        if (list.GetCurSel() >= 0) figure.leading.emplace_back(std::move(caption), Entry(list, list.GetCurSel()));
    };
    lead("T1", lists.height);
    lead("T16", lists.chest);
    if (lists.third.IsEnabled()) lead(lists.thirdLabel.GetText(), lists.third);
    figure.height = ListDimension(lists.height, 1);
    figure.size = ListDimension(lists.chest, facts.halfChest ? 2 : 1);
    return figure;
}

}  // namespace kelvo::app
