#pragma once
// The one home of every fact about a population group: its caption, its table, its lists
// and the step the window runs for each event. A new group is one row here.

#include <cstddef>
#include <span>
#include <string_view>

#include "figures/figure_group.h"
#include "figures/workspace.h"

namespace kelvo::figures {

// The girth that is the third key feature and, where the group has one, the third list.
enum class ThirdDimension { Waist, Hip };

// Feature number of the third dimension: 18 waist, 19 hip.
constexpr int ThirdFeature(ThirdDimension third) { return third == ThirdDimension::Hip ? 19 : 18; }

// The caption of the third list's label ("T18", "T19").
std::string_view ThirdCaption(ThirdDimension third);

// The third dimension's name in words, Windows-1251 ("Обхват талии", "Обхват бёдер").
std::string_view ThirdName(ThirdDimension third);

// Centimetres between neighbouring entries of the grid's lists: every group's heights and
// chest girths, and the third list's waist or hip girths under one chest girth.
inline constexpr int kHeightStep = 6;
inline constexpr int kChestStep = 4;
constexpr int ThirdStep(ThirdDimension third) { return third == ThirdDimension::Hip ? 4 : 6; }

using Step = void (*)(Workspace&);

// A step a registry row must name. It has no default and refuses a null, so a row that
// leaves a step out, or gives nullptr, does not compile.
template <class Function>
class RequiredStep {
public:
    constexpr RequiredStep(Function function) : function_(function) {}
    RequiredStep(std::nullptr_t) = delete;
    constexpr operator Function() const { return function_; }

private:
    Function function_;
};

// For each event, the first step that depends on the changed list. An event that runs
// nothing for a group names NoStep.
struct GroupSteps {
    RequiredStep<bool (*)(Workspace&)> load;  // group list changed: open the table, fill the lists, compute
    RequiredStep<Step> ageChange, heightChange, chestChange, thirdChange;
};
using StepOfEvent = RequiredStep<Step> GroupSteps::*;

void NoStep(Workspace&);

struct GroupEntry {
    FigureGroup group;
    std::string_view caption;      // the group list's entry, Windows-1251
    std::string_view englishName;  // kelvo-cli's name for it, lower case
    std::string_view tableFile;    // appended to the data directory
    bool hasAgeGroups;             // the age list applies (girls and boys)
    bool hasThirdList;             // the third list applies (all but the nursery)
    ThirdDimension third;
    GroupSteps steps;
};

// Every group in the order of the group list.
std::span<const GroupEntry> Groups();

// The entry at group list index `index`; null for no selection or an index past the list.
const GroupEntry* FindGroup(int index);
const GroupEntry& Group(FigureGroup group);

// The group selected when the window is opened without a group named.
inline constexpr FigureGroup kDefaultGroup = FigureGroup::Women;

}  // namespace kelvo::figures
