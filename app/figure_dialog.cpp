#include "app/figure_dialog.h"

#include <algorithm>
#include <ctime>
#include <new>
#include <vector>

#include "app/chart_range_dialog.h"
#include "app/data_directory.h"
#include "app/measured_figure.h"
#include "app/nearest_figure_dialog.h"
#include "figures/group_registry.h"
#include "platform/file.h"
#include "figures/size_chart_walk.h"
#include "platform/ansi_text.h"
#include "res/figure_dialog_template.h"
#include "res/resource.h"
#include "results/column_captions.h"
#include "results/export.h"
#include "results/value_input.h"
#include "results/print_pages.h"

namespace kelvo::app {

using platform::Event;
using Entry = platform::EventEntry<FigureDialog>;

namespace {

constexpr Entry kEventTable[] = {
    {Event::Paint, platform::kNoId, &FigureDialog::OnPaint},
    {Event::SelChange, res::kIdGroupList, &FigureDialog::OnGroupChange},
    {Event::SelChange, res::kIdAgeList, &FigureDialog::OnAgeGroupChange},
    {Event::SelChange, res::kIdHeightList, &FigureDialog::OnHeightChange},
    {Event::SelChange, res::kIdChestList, &FigureDialog::OnChestChange},
    {Event::SelChange, res::kIdThirdList, &FigureDialog::OnThirdChange},
    {Event::Clicked, res::kIdWriteTable, &FigureDialog::OnWriteTable},
    {Event::Clicked, res::kIdChangeValue, &FigureDialog::OnChangeValue},
    {Event::ListSetFocus, res::kIdResultList, &FigureDialog::OnListClick},
    {Event::ListClick, res::kIdResultList, &FigureDialog::OnListClick},
    // The keyboard's way to pick a row fills "Значение" as a click does.
    {Event::ListKeySelect, res::kIdResultList, &FigureDialog::OnListClick},
    // Enter in the value edit stores the value instead of reaching the default button
    // "Выход", which would end the run and lose every edited value.
    {Event::EditReturn, res::kIdValueEdit, &FigureDialog::OnChangeValue},
    {Event::ListCopy, res::kIdResultList, &FigureDialog::OnCopyRows},
    {Event::ListContextMenu, res::kIdResultList, &FigureDialog::OnListContextMenu},
    // Typing finds the first row that holds the text; Enter the next, Esc ends the search.
    {Event::EditChange, res::kIdFindEdit, &FigureDialog::OnFindTextChange},
    {Event::EditReturn, res::kIdFindEdit, &FigureDialog::OnFindNext},
    {Event::EditEscape, res::kIdFindEdit, &FigureDialog::OnFindClose},
};

struct ColumnHeading {
    std::string_view caption;
    int width;
    std::string_view toolTip = {};
};
constexpr platform::AnsiText kPerHeightTip(u8"Изменение признака на шаг роста (6 см)");
constexpr platform::AnsiText kPerSizeTip(u8"Изменение признака на шаг размера (обхват груди +4 см)");
constexpr ColumnHeading kColumns[] = {
    {results::kNumberCaption, 50},
    {results::kNameCaption, 340},
    {results::kValueCaption, 67},
    {results::kPerHeightCaption, 64, kPerHeightTip},
    {results::kPerSizeCaption, 67, kPerSizeTip}};

// Why a feature table could not be opened, as the status line ends it.
std::string_view FailureReason(tables::OpenFailure failure) {
    static constexpr platform::AnsiText kMissing(u8"файла нет");
    static constexpr platform::AnsiText kNotATable(u8"это не таблица признаков");
    static constexpr platform::AnsiText kNoPermission(u8"нет права на чтение");
    static constexpr platform::AnsiText kTooLarge(u8"таблица слишком велика");
    static constexpr platform::AnsiText kUnknown(u8"не читается");
    switch (failure) {
        case tables::OpenFailure::Missing: return kMissing;
        case tables::OpenFailure::NotATable: return kNotATable;
        case tables::OpenFailure::NoPermission: return kNoPermission;
        case tables::OpenFailure::TooLarge: return kTooLarge;
        case tables::OpenFailure::None: return kUnknown;
    }
    return kUnknown;
}

}  // namespace

const platform::DialogTemplate& FigureWindowTemplate() {
    static const std::vector<platform::InitialEntry> entries = [] {
        std::vector<platform::InitialEntry> all;
        for (const figures::GroupEntry& group : figures::Groups()) all.push_back({res::kIdGroupList, group.caption});
        for (const platform::InitialEntry& entry : res::FigureDialogTemplate().initialEntries) all.push_back(entry);
        return all;
    }();
    static const platform::DialogTemplate withGroups = [] {
        platform::DialogTemplate t = res::FigureDialogTemplate();
        t.initialEntries = entries;
        return t;
    }();
    return withGroups;
}

std::span<const Entry> FigureDialog::EventTable() { return kEventTable; }

FigureDialog::FigureDialog() : Dialog(FigureWindowTemplate()), icon_(res::kIconMain) {}

bool FigureDialog::OnEvent(Event event, int id) {
    const bool handled = event == Event::Command ? RunCommand(id)
                                                 : platform::DispatchEvent<FigureDialog>(EventTable(), *this, event, id);
    // The window may have ended (Выход from the menu): nothing of it is left to update.
    if (handled && IsOpen()) {
        RememberSelections();
        UpdateCommands();
    }
    return handled;
}

void FigureDialog::OnOutOfMemory() {
    // A table within the record limit whose every field is as long as a field can be may
    // still fill a small address space: end the step, not the program.
    static constexpr platform::AnsiText kOutOfMemory(u8"Недостаточно памяти: результаты не показаны.");
    if (!IsOpen()) return;
    results_.SetSize(0);
    resultList_->DeleteAllItems();
    computed_ = false;
    selectedRow_ = -1;
    unsaved_ = false;
    Host().ShowMessage(kOutOfMemory, "");
    UpdateCommands();
}

bool FigureDialog::OnQueryClose() { return MayDiscardEdits(); }

bool FigureDialog::MayDiscardEdits() {
    if (!unsaved_) return true;
    static constexpr platform::AnsiText kQuestion(u8"Записать изменённые значения в table.txt?");
    switch (Host().AskYesNoCancel(kQuestion)) {
        case platform::Answer::Yes: return WriteTable();
        case platform::Answer::No: return true;
        case platform::Answer::Cancel: return false;
    }
    return false;
}

bool FigureDialog::MayChangeSelection() {
    if (MayDiscardEdits()) {
        unsaved_ = false;
        return true;
    }
    platform::ComboBox* lists[] = {groupList_, ageList_, heightList_, chestList_, thirdList_};
    for (std::size_t i = 0; i < shownSelections_.size(); ++i) lists[i]->SetCurSel(shownSelections_[i]);
    return false;
}

void FigureDialog::RememberSelections() {
    const platform::ComboBox* lists[] = {groupList_, ageList_, heightList_, chestList_, thirdList_};
    for (std::size_t i = 0; i < shownSelections_.size(); ++i) shownSelections_[i] = lists[i]->GetCurSel();
}

void FigureDialog::DoDataExchange() {
    valueEdit_ = &Bind<platform::Edit>(res::kIdValueEdit);
    findEdit_ = &Bind<platform::Edit>(res::kIdFindEdit);
    thirdLabel_ = &Bind<platform::StaticText>(res::kIdThirdLabel);
    statusLine_ = &Bind<platform::StaticText>(res::kIdStatusLine);
    resultList_ = &Bind<platform::ListView>(res::kIdResultList);
    thirdList_ = &Bind<platform::ComboBox>(res::kIdThirdList);
    chestList_ = &Bind<platform::ComboBox>(res::kIdChestList);
    heightList_ = &Bind<platform::ComboBox>(res::kIdHeightList);
    ageList_ = &Bind<platform::ComboBox>(res::kIdAgeList);
    groupList_ = &Bind<platform::ComboBox>(res::kIdGroupList);
}

bool FigureDialog::OnInitDialog() {
    Host().SetIcon(icon_, true);
    Host().SetIcon(icon_, false);
    resultList_->SetExtendedStyle(resultList_->GetExtendedStyle() | platform::ListView::kFullRowSelect);
    bool unusable = false;
    dataDirectory_ = dataDirectoryOverride_ ? *dataDirectoryOverride_ : ReadDataDirectory(&unusable, settingsName_);
    if (unusable) {
        static constexpr platform::AnsiText kUnusable(
            u8"Папку данных из реестра (HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenk, path) нельзя открыть: в её имени "
            u8"есть знаки вне кодировки Windows-1251 (показаны как «?»): ");
        Host().ShowMessage(std::string(kUnusable.view()) + platform::PathText(dataDirectory_), "");
    }
    if (figures::FindGroup(initialGroup_)) groupList_->SetCurSel(initialGroup_);
    int index = 0;
    for (const ColumnHeading& column : kColumns) {
        resultList_->InsertColumn(index, column.caption, column.width);
        if (!column.toolTip.empty()) resultList_->SetColumnToolTip(index, column.toolTip);
        ++index;
    }
    computed_ = false;
    recentFolders_ = RecentDataDirectories(settingsName_);
    folderChosen_ = !ChosenDataDirectory(settingsName_).empty();
    Host().SetMenuBar(MenuBar());
    OnGroupChange();
    RememberSelections();
    UpdateCommands();
    return true;
}

void FigureDialog::OnPaint() {
    if (!Host().IsIconic()) {
        Host().DefaultPaint();
        return;
    }
    const auto paint = Host().GetIconPaint();
    Host().DrawIconAt((paint.clientWidth - paint.iconWidth + 1) / 2,
                      (paint.clientHeight - paint.iconHeight + 1) / 2);
}

figures::Workspace FigureDialog::Work() {
    return {*ageList_, *heightList_, *chestList_, *thirdList_, *thirdLabel_, *resultList_, *valueEdit_,
            table_,    sources_,     keys_,       results_,    computed_,   selectedRow_, dataDirectory_};
}

void FigureDialog::OnGroupChange() {
    if (!MayChangeSelection()) return;
    computed_ = false;
    selectedRow_ = -1;
    resultList_->DeleteAllItems();
    const figures::GroupEntry* group = figures::FindGroup(groupList_->GetCurSel());
    if (!group) {
        NoGroup();
        return;
    }
    auto w = Work();
    group->steps.load(w);
    ShowTableStatus(*group);
}

void FigureDialog::ShowTableStatus(const figures::GroupEntry& group) {
    std::string_view file = group.tableFile;
    if (table_.IsOpen()) {
        static constexpr platform::AnsiText kFolder(u8"Папка данных: ");
        static constexpr platform::AnsiText kTable(u8"   Таблица: ");
        if (!file.empty() && file.front() == '\\') file.remove_prefix(1);
        // What is wrong with the side file is the one thing the user can act on here.
        if (!sources_.problem.empty()) {
            statusLine_->SetText(sources_.problem);
            return;
        }
        statusLine_->SetText(std::string(kFolder.view()) + platform::PathText(dataDirectory_) +
                             std::string(kTable.view()) + platform::PathText(std::string(file)));
        return;
    }
    static constexpr platform::AnsiText kNotOpened(u8"Таблица признаков не открыта: ");
    static constexpr platform::AnsiText kChooseAnother(u8" Другая папка данных: меню «Файл», «Открыть папку данных…» (Ctrl+O).");
    statusLine_->SetText(std::string(kNotOpened.view()) + platform::PathText(dataDirectory_ + std::string(file)) + " \x97 " +
                         std::string(FailureReason(table_.Failure())) + "." + std::string(kChooseAnother.view()));
}

void FigureDialog::NoGroup() {
    static constexpr platform::AnsiText kNoGroup(u8"Группа не выбрана.");
    statusLine_->SetText(kNoGroup);
    ageList_->Enable(false);
    heightList_->Enable(false);
    chestList_->Enable(false);
    thirdList_->Enable(false);
    thirdLabel_->SetText("T18/T19");
    heightList_->ResetContent();
    chestList_->ResetContent();
    thirdList_->ResetContent();
}

void FigureDialog::DispatchChange(figures::StepOfEvent step) {
    if (!MayChangeSelection()) return;
    results_.SetSize(0);
    selectedRow_ = -1;
    if (const figures::GroupEntry* group = figures::FindGroup(groupList_->GetCurSel())) {
        auto w = Work();
        (group->steps.*step)(w);
    }
}

void FigureDialog::OnAgeGroupChange() { DispatchChange(&figures::GroupSteps::ageChange); }
void FigureDialog::OnHeightChange() { DispatchChange(&figures::GroupSteps::heightChange); }
void FigureDialog::OnChestChange() { DispatchChange(&figures::GroupSteps::chestChange); }
void FigureDialog::OnThirdChange() { DispatchChange(&figures::GroupSteps::thirdChange); }

void FigureDialog::RefreshList() {
    results::ShowRows(*resultList_, results_);
}

void FigureDialog::OnListClick() {
    const int item = resultList_->GetNextSelected(-1);
    if (item < 0 || item >= results_.GetSize()) return;
    selectedRow_ = item;
    valueEdit_->SetText(results_[item].cells[2]);
}

void FigureDialog::OnChangeValue() {
    // The row must still exist: a table emptied since the click has none to change.
    if (selectedRow_ < 0 || selectedRow_ >= results_.GetSize() || !computed_) return;
    // A value that is no number would reach table.txt and every program that reads it;
    // the edit keeps the text so that it can be corrected.
    static constexpr platform::AnsiText kNotANumber(u8"Значение должно быть числом, например 88.5 или 88,5.");
    std::string value;
    if (!results::StoredValue(valueEdit_->GetText(), value)) {
        Host().ShowMessage(kNotANumber, "");
        return;
    }
    results_[selectedRow_].cells[2] = std::move(value);
    results_[selectedRow_].edited = true;
    unsaved_ = true;
    RefreshList();
}

void FigureDialog::OnWriteTable() {
    if (!computed_) {
        Host().ShowMessage("no table", "");
        return;
    }
    WriteTable();
}

bool FigureDialog::WriteTable() {
    std::string message;
    if (!results::WriteTableText(dataDirectory_ + "\\table.txt", results_, message)) {
        Host().ShowMessage(message, "");
        return false;
    }
    unsaved_ = false;
    static constexpr platform::AnsiText kWritten(u8"Записано ");
    static constexpr platform::AnsiText kValues(u8" значений: ");
    statusLine_->SetText(std::string(kWritten.view()) + std::to_string(results_.GetSize()) +
                         std::string(kValues.view()) + platform::PathText(dataDirectory_ + "\\table.txt"));
    return true;
}



}  // namespace kelvo::app
