#include "res/chart_range_template.h"

#include "platform/ansi_text.h"
#include "res/resource.h"

namespace kelvo::res {
namespace {

using platform::AnsiText;
using platform::ControlKind;
using platform::ControlTemplate;
using namespace platform;  // style bits

constexpr AnsiText kCaption(u8"Фигуры таблицы размеров");
constexpr AnsiText kHeight(u8"Рост T1");
constexpr AnsiText kChest(u8"Обхват груди T16");
constexpr AnsiText kFrom(u8"от");
constexpr AnsiText kTo(u8"до");
constexpr AnsiText kEstimate(u8"Страницы сосчитаны по средней ширине знаков.");
constexpr AnsiText kCancel(u8"Отмена");

constexpr std::uint32_t kList = kDropDownList | kVerticalScroll | kTabStop;

// Template order is tab order.
constexpr ControlTemplate kControls[] = {
    {ControlKind::StaticText, kNoId, kHeight, 7, 10, 72, 8, 0},
    {ControlKind::StaticText, kNoId, kFrom, 82, 10, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeHeightFrom, "", 96, 8, 50, 100, kList},
    {ControlKind::StaticText, kNoId, kTo, 152, 10, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeHeightTo, "", 166, 8, 50, 100, kList},
    {ControlKind::StaticText, kNoId, kChest, 7, 28, 72, 8, 0},
    {ControlKind::StaticText, kNoId, kFrom, 82, 28, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeChestFrom, "", 96, 26, 50, 100, kList},
    {ControlKind::StaticText, kNoId, kTo, 152, 28, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeChestTo, "", 166, 26, 50, 100, kList},
    {ControlKind::StaticText, kIdRangeThirdLabel, "T18/T19", 7, 46, 72, 8, 0},
    {ControlKind::StaticText, kNoId, kFrom, 82, 46, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeThirdFrom, "", 96, 44, 50, 100, kList},
    {ControlKind::StaticText, kNoId, kTo, 152, 46, 12, 8, 0},
    {ControlKind::ComboBox, kIdRangeThirdTo, "", 166, 44, 50, 100, kList},
    {ControlKind::StaticText, kIdRangeCount, "", 7, 66, 209, 8, 0},
    {ControlKind::StaticText, kNoId, kEstimate, 7, 78, 209, 8, 0},
    {ControlKind::PushButton, kIdOk, "OK", 100, 94, 55, 14, kDefaultButton | kTabStop},
    {ControlKind::PushButton, kIdCancel, kCancel, 161, 94, 55, 14, kTabStop},
};

constexpr platform::DialogTemplate kTemplate{
    kDialogChartRange, kCaption, "MS Sans Serif", 8, 223, 115, kIconMain, kControls, {},
};

}  // namespace

const platform::DialogTemplate& ChartRangeTemplate() { return kTemplate; }

}  // namespace kelvo::res
