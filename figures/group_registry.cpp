#include "figures/group_registry.h"

#include "figures/children.h"
#include "figures/men.h"
#include "figures/nursery.h"
#include "figures/women.h"
#include "platform/ansi_text.h"

namespace kelvo::figures {
namespace {

constexpr platform::AnsiText kNursery(u8"Ясельная");
constexpr platform::AnsiText kGirlsCaption(u8"Девочки");
constexpr platform::AnsiText kBoysCaption(u8"Мальчики");
constexpr platform::AnsiText kWomen(u8"Женщины");
constexpr platform::AnsiText kMen(u8"Мужчины");
constexpr platform::AnsiText kWaistName(u8"Обхват талии");
constexpr platform::AnsiText kHipName(u8"Обхват бёдер");

using enum ThirdDimension;

constexpr GroupEntry kGroups[] = {
    {FigureGroup::Nursery, kNursery, "nursery", "\\BD\\yasly.dbf", false, false, Waist,
     {LoadNursery, NoStep, FillNurseryChestList, ComputeNursery, NoStep}},
    {FigureGroup::Girls, kGirlsCaption, "girls", "\\BD\\girls.dbf", true, true, Waist,
     {LoadGirls, FillGirlsLists, ComputeGirls, FillGirlsWaistList, ComputeGirls}},
    {FigureGroup::Boys, kBoysCaption, "boys", "\\BD\\boys.dbf", true, true, Waist,
     {LoadBoys, FillBoysLists, ComputeBoys, FillBoysWaistList, ComputeBoys}},
    {FigureGroup::Women, kWomen, "women", "\\BD\\female.dbf", false, true, Hip,
     {LoadWomen, NoStep, ComputeWomen, FillWomenHipList, ComputeWomen}},
    {FigureGroup::Men, kMen, "men", "\\BD\\male.dbf", false, true, Waist,
     {LoadMen, NoStep, ComputeMen, FillMenWaistList, ComputeMen}},
};

constexpr bool EveryRowComplete() {
    int index = 0;
    for (const GroupEntry& entry : kGroups) {
        if (static_cast<int>(entry.group) != index++) return false;
        if (entry.caption.empty() || entry.englishName.empty() || entry.tableFile.empty()) return false;
    }
    return true;
}

static_assert(std::size(kGroups) == kGroupCount, "one registry row per FigureGroup");
static_assert(EveryRowComplete(), "each row in FigureGroup order, with its caption, name and file");

}  // namespace

void NoStep(Workspace&) {}

std::string_view ThirdCaption(ThirdDimension third) { return third == Hip ? "T19" : "T18"; }

std::string_view ThirdName(ThirdDimension third) {
    if (third == Hip) return kHipName;
    return kWaistName;
}

std::span<const GroupEntry> Groups() { return kGroups; }

const GroupEntry* FindGroup(int index) {
    if (index < 0 || index >= kGroupCount) return nullptr;
    return &kGroups[index];
}

const GroupEntry& Group(FigureGroup group) { return kGroups[static_cast<int>(group)]; }

}  // namespace kelvo::figures
