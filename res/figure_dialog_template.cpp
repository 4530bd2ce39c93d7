#include "res/figure_dialog_template.h"

#include "platform/ansi_text.h"
#include "res/resource.h"

namespace kelvo::res {
namespace {

using platform::AnsiText;
using platform::ControlKind;
using platform::ControlTemplate;
using platform::InitialEntry;
using namespace platform;  // style bits

constexpr AnsiText kExit(u8"Выход");
constexpr AnsiText kGroup(u8"Группа");
constexpr AnsiText kAgeGroup(u8"Возрастная группа");
constexpr AnsiText kWriteTable(u8"Записать значение в файл");
constexpr AnsiText kValue(u8"Значение");
constexpr AnsiText kChange(u8"Изменить");
constexpr AnsiText kFind(u8"Найти");
constexpr AnsiText kFindTip(u8"Номер или часть наименования признака (Ctrl+F); Enter или F3 — следующий, "
                            u8"Shift+F3 — предыдущий, Esc — закончить поиск");

constexpr AnsiText kPreschool(u8"Дошкольная");
constexpr AnsiText kJuniorSchool(u8"Младшая школьная");
constexpr AnsiText kSeniorSchool(u8"Старшая школьная");
constexpr AnsiText kAdolescent(u8"Подростковая");

// The captions are the designers' feature numbers; the tooltips say what they measure.
constexpr AnsiText kHeightTip(u8"Рост");
constexpr AnsiText kChestTip(u8"Обхват груди третий");
constexpr AnsiText kThirdTip(u8"T18 — обхват талии; T19 — обхват бёдер с учётом выступания живота");

// The result list's column of the features' names.
constexpr int kNameColumn = 1;

constexpr std::uint32_t kList = kDropDownList | kVerticalScroll | kTabStop;

// Template order is tab order, which follows the layout: the lists from left to right, the
// result list, the value and its button, then the buttons along the bottom.
constexpr ControlTemplate kControls[] = {
    {ControlKind::StaticText, kNoId, kGroup, 7, 10, 24, 8, 0},
    {ControlKind::ComboBox, kIdGroupList, "", 7, 23, 67, 73, kList},
    {ControlKind::StaticText, kNoId, kAgeGroup, 81, 10, 66, 8, 0},
    {ControlKind::ComboBox, kIdAgeList, "", 81, 23, 104, 87, kList},
    {ControlKind::StaticText, kNoId, "T1", 194, 10, 10, 8, 0, kHeightTip},
    {ControlKind::ComboBox, kIdHeightList, "", 191, 23, 44, 125, kList},
    {ControlKind::StaticText, kNoId, "T16", 247, 10, 14, 8, 0, kChestTip},
    {ControlKind::ComboBox, kIdChestList, "", 242, 23, 44, 125, kList},
    {ControlKind::StaticText, kIdThirdLabel, "T18/T19", 299, 10, 30, 8, 0, kThirdTip},
    {ControlKind::ComboBox, kIdThirdList, "", 292, 23, 44, 125, kList},
    // A larger window gives its room to the list, and to the features' names in it; what lies
    // below the list stays along the bottom edge, the value with the list's right edge.
    {ControlKind::ListView, kIdResultList, "", 7, 39, 407, 152,
     kReportView | kBorder | kTabStop | kGrowWidth | kGrowHeight, {}, kNameColumn},
    // The find field under the list's left end, where nothing else is.
    {ControlKind::StaticText, kNoId, kFind, 7, 202, 24, 8, kFollowBottom},
    {ControlKind::Edit, kIdFindEdit, "", 33, 198, 120, 14, kAutoHorizontalScroll | kBorder | kTabStop | kFollowBottom,
     kFindTip},
    {ControlKind::StaticText, kNoId, kValue, 277, 202, 33, 8, kFollowRight | kFollowBottom},
    {ControlKind::Edit, kIdValueEdit, "", 314, 198, 44, 14,
     kAlignRight | kAutoHorizontalScroll | kBorder | kTabStop | kFollowRight | kFollowBottom},
    {ControlKind::PushButton, kIdChangeValue, kChange, 364, 198, 50, 14, kTabStop | kFollowRight | kFollowBottom},
    {ControlKind::PushButton, kIdWriteTable, kWriteTable, 89, 216, 116, 14, kTabStop | kFollowBottom},
    {ControlKind::PushButton, kIdExit, kExit, 215, 216, 116, 14, kDefaultButton | kTabStop | kFollowBottom},
    // Below the buttons: the window grew by its height, and nothing else moved.
    {ControlKind::StatusLine, kIdStatusLine, "", 0, 237, 421, 12, kGrowWidth | kFollowBottom},
};

// The group list's entries are the group registry's captions: the window adds them.
constexpr InitialEntry kInitialEntries[] = {
    {kIdAgeList, kPreschool},
    {kIdAgeList, kJuniorSchool},
    {kIdAgeList, kSeniorSchool},
    {kIdAgeList, kAdolescent},
};

constexpr platform::DialogTemplate kTemplate{
    kDialogFigure, "kelvo", "MS Sans Serif", 8, 421, 249, kIconMain, kControls, kInitialEntries,
};

}  // namespace

const platform::DialogTemplate& FigureDialogTemplate() { return kTemplate; }

}  // namespace kelvo::res
