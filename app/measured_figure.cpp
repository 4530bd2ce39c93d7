#include "app/measured_figure.h"

#include <cstdlib>

#include "figures/group_registry.h"

namespace kelvo::app {
namespace {

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

std::string_view Gender(figures::FigureGroup group) {
    switch (group) {
        case figures::FigureGroup::Nursery: return "unknown";
        case figures::FigureGroup::Girls:
        case figures::FigureGroup::Women: return "female";
        case figures::FigureGroup::Boys:
        case figures::FigureGroup::Men: return "male";
    }
    return "unknown";
}

}  // namespace

results::MeasuredFigure DescribeFigure(const FigureLists& lists) {
    results::MeasuredFigure figure;
    const figures::GroupEntry* group = figures::FindGroup(lists.group.GetCurSel());
    if (!group) return figure;
    figure.groupKey = group->englishName;
    figure.gender = Gender(group->group);
    // Men and women count sizes, half the chest girth; the children's tables the whole girth.
    figure.halfChest = group->group == figures::FigureGroup::Men || group->group == figures::FigureGroup::Women;
    figure.group = group->caption;
    if (group->hasAgeGroups && lists.age.GetCurSel() >= 0) figure.ageGroup = lists.age.GetItemText(lists.age.GetCurSel());
    const auto lead = [&figure](std::string_view caption, const platform::ComboBox& list) {
        if (list.GetCurSel() >= 0) figure.leading.emplace_back(caption, Entry(list, list.GetCurSel()));
    };
    lead("T1", lists.height);
    lead("T16", lists.chest);
    if (group->hasThirdList) lead(figures::ThirdCaption(group->third), lists.third);
    figure.height = ListDimension(lists.height, 1);
    figure.size = ListDimension(lists.chest, figure.halfChest ? 2 : 1);
    return figure;
}

}  // namespace kelvo::app
