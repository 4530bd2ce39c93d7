#include "res/survey_template.h"

#include "platform/ansi_text.h"
#include "res/resource.h"

namespace kelvo::res {
namespace {

using platform::AnsiText;
using platform::ControlKind;
using platform::ControlTemplate;
using namespace platform;  // style bits

constexpr AnsiText kCaption(u8"Размерно-ростовочный ассортимент");
constexpr AnsiText kFile(u8"Файл обмеров…");
constexpr AnsiText kFileTip(u8"CSV: строка на человека, первая строка — заголовок столбцов");
constexpr AnsiText kUnits(u8"Единицы");
constexpr AnsiText kRun(u8"Рассчитать");
constexpr AnsiText kMap(u8"Люди по росту (строки) и обхвату груди (столбцы)");
constexpr AnsiText kSizes(u8"Размеров");
constexpr AnsiText kChoose(u8"Подобрать K размеров");
constexpr AnsiText kChooseTip(u8"K фигур с наименьшим суммарным расстоянием: каждый берёт ближайшую из них");
constexpr AnsiText kSaveCsv(u8"Сохранить сводку…");
constexpr AnsiText kSavePdf(u8"Отчёт в PDF…");
constexpr AnsiText kClose(u8"Закрыть");

constexpr std::uint32_t kList = kDropDownList | kVerticalScroll | kTabStop;

// Template order is tab order: the file, its columns, the run, what it gave, the sizes.
constexpr ControlTemplate kControls[] = {
    {ControlKind::PushButton, kIdSurveyFile, kFile, 7, 7, 70, 14, kTabStop, kFileTip},
    {ControlKind::StaticText, kIdSurveyFileName, "", 82, 10, 311, 8, 0},
    {ControlKind::StaticText, kNoId, "T1", 7, 27, 90, 8, 0},
    {ControlKind::ComboBox, kIdSurveyHeightColumn, "", 7, 37, 90, 100, kList},
    {ControlKind::StaticText, kNoId, "T16", 103, 27, 90, 8, 0},
    {ControlKind::ComboBox, kIdSurveyChestColumn, "", 103, 37, 90, 100, kList},
    {ControlKind::StaticText, kIdSurveyThirdLabel, "T18/T19", 199, 27, 90, 8, 0},
    {ControlKind::ComboBox, kIdSurveyThirdColumn, "", 199, 37, 90, 100, kList},
    {ControlKind::StaticText, kNoId, kUnits, 295, 27, 45, 8, 0},
    {ControlKind::ComboBox, kIdSurveyUnits, "", 295, 37, 45, 60, kList},
    {ControlKind::PushButton, kIdSurveyRun, kRun, 346, 36, 47, 14, kDefaultButton | kTabStop},
    {ControlKind::ListView, kIdSurveyFigures, "", 7, 56, 190, 150, kReportView | kBorder | kTabStop},
    {ControlKind::StaticText, kNoId, kMap, 203, 56, 190, 8, 0},
    {ControlKind::ComboBox, kIdSurveyThirdFilter, "", 203, 66, 100, 100, kList},
    {ControlKind::Picture, kIdSurveyHeatMap, "", 203, 82, 190, 124, kBorder},
    {ControlKind::StaticText, kNoId, kSizes, 7, 215, 36, 8, 0},
    {ControlKind::Edit, kIdSurveyCount, "", 45, 212, 25, 14, kAlignRight | kBorder | kTabStop},
    {ControlKind::PushButton, kIdSurveySizes, kChoose, 75, 212, 90, 14, kTabStop, kChooseTip},
    {ControlKind::PushButton, kIdSurveySaveCsv, kSaveCsv, 203, 212, 90, 14, kTabStop},
    {ControlKind::PushButton, kIdSurveySavePdf, kSavePdf, 298, 212, 95, 14, kTabStop},
    {ControlKind::ListView, kIdSurveySizesList, "", 7, 231, 386, 45, kReportView | kBorder | kTabStop},
    {ControlKind::StaticText, kIdSurveyStatus, "", 7, 284, 330, 8, 0},
    {ControlKind::PushButton, kIdCancel, kClose, 343, 281, 50, 14, kTabStop},
};

constexpr platform::DialogTemplate kTemplate{
    kDialogSurvey, kCaption, "MS Sans Serif", 8, 400, 302, kIconMain, kControls, {},
};

}  // namespace

const platform::DialogTemplate& SurveyTemplate() { return kTemplate; }

}  // namespace kelvo::res
