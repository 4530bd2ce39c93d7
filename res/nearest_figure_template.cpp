#include "res/nearest_figure_template.h"

#include "platform/ansi_text.h"
#include "res/resource.h"

namespace kelvo::res {
namespace {

using platform::AnsiText;
using platform::ControlKind;
using platform::ControlTemplate;
using namespace platform;  // style bits

constexpr AnsiText kCaption(u8"Подобрать фигуру");
constexpr AnsiText kAgeGroup(u8"Возрастная группа");
constexpr AnsiText kFeatures(u8"Другие признаки клиента: выберите строку, введите значение, «Задать»");
constexpr AnsiText kPersonValue(u8"Значение клиента");
constexpr AnsiText kSetValue(u8"Задать");
constexpr AnsiText kSetTip(u8"Пустое значение убирает признак из подбора");
constexpr AnsiText kFromFile(u8"Из файла мерок…");
constexpr AnsiText kFromFileTip(u8"Мерки клиента из файла индивидуальных мерок (.vit) программы конструирования");
constexpr AnsiText kSearch(u8"Подобрать");
constexpr AnsiText kChoose(u8"Выбрать");
constexpr AnsiText kClose(u8"Закрыть");

constexpr std::uint32_t kNumber = kAlignRight | kAutoHorizontalScroll | kBorder | kTabStop;

// Template order is tab order.
constexpr ControlTemplate kControls[] = {
    {ControlKind::StaticText, kNoId, "T1", 7, 8, 40, 8, 0},
    {ControlKind::Edit, kIdNearestHeight, "", 7, 18, 40, 14, kNumber},
    {ControlKind::StaticText, kNoId, "T16", 54, 8, 40, 8, 0},
    {ControlKind::Edit, kIdNearestChest, "", 54, 18, 40, 14, kNumber},
    {ControlKind::StaticText, kIdNearestThirdLabel, "T18/T19", 101, 8, 40, 8, 0},
    {ControlKind::Edit, kIdNearestThird, "", 101, 18, 40, 14, kNumber},
    {ControlKind::StaticText, kNoId, kAgeGroup, 148, 8, 100, 8, 0},
    {ControlKind::ComboBox, kIdNearestAgeList, "", 148, 18, 100, 87, kDropDownList | kVerticalScroll | kTabStop},
    {ControlKind::PushButton, kIdNearestSearch, kSearch, 255, 18, 68, 14, kDefaultButton | kTabStop},
    // The group's features as the window lists them, the person's value beside the figure's.
    {ControlKind::StaticText, kNoId, kFeatures, 7, 38, 316, 8, 0},
    {ControlKind::ListView, kIdNearestFeatureList, "", 7, 48, 316, 80, kReportView | kBorder | kTabStop},
    {ControlKind::StaticText, kNoId, kPersonValue, 7, 136, 70, 8, 0},
    {ControlKind::Edit, kIdNearestFeatureValue, "", 80, 133, 50, 14, kNumber},
    {ControlKind::PushButton, kIdNearestSetValue, kSetValue, 136, 133, 50, 14, kTabStop, kSetTip},
    {ControlKind::PushButton, kIdNearestFromFile, kFromFile, 243, 133, 80, 14, kTabStop, kFromFileTip},
    {ControlKind::ListView, kIdNearestResults, "", 7, 153, 316, 58, kReportView | kBorder | kTabStop},
    {ControlKind::PushButton, kIdNearestChoose, kChoose, 187, 218, 68, 14, kTabStop},
    {ControlKind::PushButton, kIdCancel, kClose, 255, 218, 68, 14, kTabStop},
};

constexpr platform::DialogTemplate kTemplate{
    kDialogNearest, kCaption, "MS Sans Serif", 8, 330, 239, kIconMain, kControls, {},
};

}  // namespace

const platform::DialogTemplate& NearestFigureTemplate() { return kTemplate; }

}  // namespace kelvo::res
