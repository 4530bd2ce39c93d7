#include "app/window_actions.h"

#include "app/figure_dialog.h"
#include "app/nearest_figure_dialog.h"
#include "platform/ansi_text.h"
#include "res/resource.h"

namespace kelvo::app {
namespace {

using platform::AnsiText;
using platform::Shortcut;
using platform::StandardKey;
using D = FigureDialog;

constexpr Shortcut kNone{};
constexpr Shortcut Ctrl(char key, StandardKey standard = StandardKey::None) {
    return {key, Shortcut::kCtrl, standard};
}

constexpr AnsiText kFile(u8"Файл");
constexpr AnsiText kEdit(u8"Правка");
constexpr AnsiText kFigure(u8"Фигура");
constexpr AnsiText kHelp(u8"Справка");

constexpr AnsiText kWriteTable(u8"Записать значения в table.txt");
constexpr AnsiText kChooseFolder(u8"Открыть папку данных…");
constexpr AnsiText kDefaultFolder(u8"Папка по умолчанию");
constexpr AnsiText kSaveChart(u8"Сохранить таблицу размеров…");
constexpr AnsiText kSaveMeasurements(u8"Сохранить мерки для САПР…");
constexpr AnsiText kPrintSheet(u8"Печать листа измерений…");
constexpr AnsiText kSheetPdf(u8"Сохранить лист измерений в PDF…");
constexpr AnsiText kPrintChart(u8"Печать таблицы размеров…");
constexpr AnsiText kChartPdf(u8"Сохранить таблицу размеров в PDF…");
constexpr AnsiText kExit(u8"Выход");
constexpr AnsiText kCopy(u8"Копировать");
constexpr AnsiText kCopyList(u8"Копировать таблицу");
constexpr AnsiText kFind(u8"Найти признак…");
constexpr AnsiText kFindNext(u8"Найти следующий");
constexpr AnsiText kFindPrevious(u8"Найти предыдущий");
constexpr AnsiText kSurvey(u8"Размерно-ростовочный ассортимент…");
constexpr AnsiText kManual(u8"Руководство");
constexpr AnsiText kAbout(u8"О программе");

constexpr WindowAction kActions[] = {
    {res::kCmdWriteTable, MenuOf::File, kWriteTable, Ctrl('S', StandardKey::Save), &D::OnWriteTable, &D::HasFigure},
    {res::kCmdChooseFolder, MenuOf::File, kChooseFolder, Ctrl('O', StandardKey::Open), &D::OnChooseDataFolder,
     nullptr, true},
    // The recent folders follow this entry.
    {res::kCmdDefaultFolder, MenuOf::File, kDefaultFolder, kNone, &D::OnDefaultDataFolder, &D::HasChosenFolder},
    {res::kCmdSaveChart, MenuOf::File, kSaveChart, kNone, &D::OnSaveSizeChart, &D::HasTable, true},
    {res::kCmdSaveMeasurements, MenuOf::File, kSaveMeasurements, kNone, &D::OnSaveMeasurements, &D::HasFigure},
    {res::kCmdPrintSheet, MenuOf::File, kPrintSheet, Ctrl('P', StandardKey::Print), &D::OnPrintSheet, &D::HasFigure,
     true},
    {res::kCmdSheetPdf, MenuOf::File, kSheetPdf, kNone, &D::OnSaveSheetPdf, &D::HasFigure},
    {res::kCmdPrintChart, MenuOf::File, kPrintChart, kNone, &D::OnPrintChart, &D::HasTable},
    {res::kCmdChartPdf, MenuOf::File, kChartPdf, kNone, &D::OnSaveChartPdf, &D::HasTable},
    // No key of its own on Windows, where Alt+F4 closes any window; Qt offers the desktop's.
    {res::kCmdExit, MenuOf::File, kExit, {0, Shortcut::kNoModifier, StandardKey::Quit}, &D::OnExit, nullptr, true},
    {res::kCmdCopy, MenuOf::Edit, kCopy, Ctrl('C', StandardKey::Copy), &D::OnCopyRows, &D::HasFigure},
    {res::kCmdCopyList, MenuOf::Edit, kCopyList, {'C', static_cast<std::uint8_t>(Shortcut::kCtrl | Shortcut::kShift)}, &D::OnCopyList,
     &D::HasFigure},
    {res::kCmdFind, MenuOf::Edit, kFind, Ctrl('F', StandardKey::Find), &D::OnFind, &D::HasFigure, true},
    {res::kCmdFindNext, MenuOf::Edit, kFindNext, {Shortcut::kF3, Shortcut::kNoModifier, StandardKey::FindNext},
     &D::OnFindNext, &D::HasFindText},
    {res::kCmdFindPrevious, MenuOf::Edit, kFindPrevious, {Shortcut::kF3, Shortcut::kShift, StandardKey::FindPrevious},
     &D::OnFindPrevious, &D::HasFindText},
    {res::kCmdNearest, MenuOf::Figure, NearestFigureDialog::kMenuCaption, kNone, &D::OnFindNearestFigure, &D::HasTable},
    {res::kCmdSurvey, MenuOf::Figure, kSurvey, kNone, &D::OnSurvey, &D::HasTable},
    {res::kCmdManual, MenuOf::Help, kManual, {Shortcut::kF1, Shortcut::kNoModifier, StandardKey::HelpContents},
     &D::OnManual, nullptr},
    {res::kCmdAbout, MenuOf::Help, kAbout, kNone, &D::OnAbout, nullptr},
};

// The context menu keeps the order it always had; copying follows.
constexpr int kContextMenu[] = {
    res::kCmdSaveChart, res::kCmdSaveMeasurements, res::kCmdNearest, res::kCmdPrintSheet,
    res::kCmdSheetPdf,  res::kCmdPrintChart,       res::kCmdChartPdf, platform::kSeparator,
    res::kCmdCopy,      res::kCmdCopyList,
};

}  // namespace

std::span<const WindowAction> WindowActions() { return kActions; }

const WindowAction* FindAction(int command) {
    for (const WindowAction& action : kActions)
        if (action.command == command) return &action;
    return nullptr;
}

std::span<const int> ContextMenuCommands() { return kContextMenu; }

std::string_view MenuCaption(MenuOf menu) {
    switch (menu) {
        case MenuOf::File: return kFile;
        case MenuOf::Edit: return kEdit;
        case MenuOf::Figure: return kFigure;
        case MenuOf::Help: return kHelp;
    }
    return {};
}

}  // namespace kelvo::app
