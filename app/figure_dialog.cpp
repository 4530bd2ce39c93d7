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

// The result list's context menu: an entry per command, in menu order.
struct MenuEntry {
    std::string_view caption;  // Windows-1251
    void (FigureDialog::*command)();
};
constexpr platform::AnsiText kSaveChart(u8"Сохранить таблицу размеров…");
constexpr platform::AnsiText kSaveMeasurements(u8"Сохранить мерки для САПР…");
constexpr platform::AnsiText kPrintSheet(u8"Печать листа измерений…");
constexpr platform::AnsiText kSheetPdf(u8"Сохранить лист измерений в PDF…");
constexpr platform::AnsiText kPrintChart(u8"Печать таблицы размеров…");
constexpr platform::AnsiText kChartPdf(u8"Сохранить таблицу размеров в PDF…");
// What a size chart, as CSV or on pages, tells the user while and when it is built.
constexpr platform::AnsiText kNoChartTable(
    u8"Таблица признаков выбранной группы не открыта: таблицу размеров составить не из чего.");
constexpr platform::AnsiText kChartProgress(u8"Расчёт всех типовых фигур группы…");
constexpr platform::AnsiText kCannotBuildChart(
    u8"Таблицу размеров составить не удалось: таблица признаков группы не читается.");

constexpr MenuEntry kListMenu[] = {
    {kSaveChart, &FigureDialog::OnSaveSizeChart},
    {kSaveMeasurements, &FigureDialog::OnSaveMeasurements},
    {NearestFigureDialog::kMenuCaption, &FigureDialog::OnFindNearestFigure},
    {kPrintSheet, &FigureDialog::OnPrintSheet},
    {kSheetPdf, &FigureDialog::OnSaveSheetPdf},
    {kPrintChart, &FigureDialog::OnPrintChart},
    {kChartPdf, &FigureDialog::OnSaveChartPdf},
};

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
    try {
        const bool handled = platform::DispatchEvent<FigureDialog>(EventTable(), *this, event, id);
        if (handled) RememberSelections();
        return handled;
    } catch (const std::bad_alloc&) {
        // A table within the record limit whose every field is as long as a field can be
        // may still fill a small address space: end the step, not the program.
        static constexpr platform::AnsiText kOutOfMemory(u8"Недостаточно памяти: результаты не показаны.");
        results_.SetSize(0);
        resultList_->DeleteAllItems();
        computed_ = false;
        selectedRow_ = -1;
        unsaved_ = false;
        Host().ShowMessage(kOutOfMemory, "");
        return true;
    }
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
    dataDirectory_ = dataDirectoryOverride_ ? *dataDirectoryOverride_ : ReadDataDirectory(&unusable);
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
    OnGroupChange();
    RememberSelections();
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
        statusLine_->SetText(std::string(kFolder.view()) + platform::PathText(dataDirectory_) +
                             std::string(kTable.view()) + platform::PathText(std::string(file)));
        return;
    }
    static constexpr platform::AnsiText kNotOpened(u8"Таблица признаков не открыта: ");
    statusLine_->SetText(std::string(kNotOpened.view()) + platform::PathText(dataDirectory_ + std::string(file)) + " \x97 " +
                         std::string(FailureReason(table_.Failure())) + ".");
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

void FigureDialog::OnCopyRows() {
    std::string text;
    for (int item = resultList_->GetNextSelected(-1); item != -1; item = resultList_->GetNextSelected(item)) {
        for (int column = 0; column < 5; ++column) {
            std::string cell = resultList_->GetItemText(item, column);
            for (char& c : cell)
                if (c == '\t' || c == '\r' || c == '\n') c = ' ';
            if (column > 0) text += '\t';
            text += cell;
        }
        text += "\r\n";
    }
    if (!text.empty()) Host().SetClipboardText(text);
}

void FigureDialog::OnListContextMenu() {
    std::vector<std::string_view> items;
    for (const MenuEntry& entry : kListMenu) items.push_back(entry.caption);
    const int chosen = Host().TrackPopupMenu(items);
    if (chosen >= 0 && chosen < static_cast<int>(items.size())) (this->*kListMenu[chosen].command)();
}

// The size chart of the group in force, every figure its lists offer (girls and boys: of the
// age group chosen), saved as CSV for a spreadsheet.
void FigureDialog::OnSaveSizeChart() {
    static constexpr platform::AnsiText kTitle(u8"Сохранить таблицу размеров");
    static constexpr platform::AnsiText kFilter(u8"Таблица CSV (*.csv)|*.csv|");
    static constexpr platform::AnsiText kChartName(u8"Таблица размеров");

    const int index = groupList_->GetCurSel();
    const figures::GroupEntry* group = figures::FindGroup(index);
    // A group whose table failed to open shows an empty list: its chart would be a surprise.
    if (!group || !table_.IsOpen()) {
        Host().ShowMessage(kNoChartTable, "");
        return;
    }
    const int age = ageList_->GetCurSel();
    std::string name = std::string(kChartName.view()) + " (" + groupList_->GetItemText(index);
    if (group->hasAgeGroups) name += ", " + ageList_->GetItemText(age);
    std::string path = dataDirectory_ + "\\" + platform::PathFromText(name + ").csv");
    if (!Host().AskSaveFileName(kTitle, kFilter, path)) return;

    results::SizeChart chart;
    const auto showProgress = [this](int done, int total) { Host().ShowProgress(kChartProgress, done, total); };
    const bool built =
        figures::BuildSizeChart(dataDirectory_, group->group, age, chart, showProgress);
    Host().EndProgress();
    std::string message;
    if (!built) message = kCannotBuildChart.view();
    else if (results::WriteSizeChart(path, chart, results::CsvDialect::Spreadsheet, message)) {
        static constexpr platform::AnsiText kChartWritten(u8"Таблица размеров записана: ");
        statusLine_->SetText(std::string(kChartWritten.view()) + platform::PathText(path));
        return;
    }
    Host().ShowMessage(message, "");
}

results::MeasuredFigure FigureDialog::ShownFigure() const {
    return DescribeFigure({*groupList_, *ageList_, *heightList_, *chestList_, *thirdList_});
}

// The figure shown, edited values included, for the pattern-making programs: individual
// measurements, a multisize table around it, or JSON, as the type chosen in the save dialog.
void FigureDialog::OnSaveMeasurements() {
    static constexpr platform::AnsiText kNoFigure(u8"Фигура не рассчитана: сохранять нечего.");
    static constexpr platform::AnsiText kTitle(u8"Сохранить мерки для САПР");
    static constexpr platform::AnsiText kFilter(
        u8"Индивидуальные мерки (*.vit)|*.vit|Мерки по размерам и ростам (*.vst)|*.vst|JSON (*.json)|*.json|");
    static constexpr platform::AnsiText kName(u8"Мерки");
    static constexpr results::MeasurementFormat kFormats[] = {
        results::MeasurementFormat::Vit, results::MeasurementFormat::Vst, results::MeasurementFormat::Json};
    static constexpr std::string_view kExtensions[] = {".vit", ".vst", ".json"};

    if (!computed_) {
        Host().ShowMessage(kNoFigure, "");
        return;
    }
    const results::MeasuredFigure figure = ShownFigure();
    std::string dimensions;
    // Appended in two steps: GCC 12 at -O3 takes "-" + string for an overlapping copy
    // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
    for (const auto& [caption, value] : figure.leading) {
        if (!dimensions.empty()) dimensions += '-';
        dimensions += std::to_string(value);
    }
    std::string path = dataDirectory_ + "\\" +
                       platform::PathFromText(std::string(kName.view()) + " (" + figure.group +
                                              (figure.ageGroup.empty() ? "" : ", " + figure.ageGroup) + ", " +
                                              dimensions + ")" + std::string(kExtensions[0]));
    int type = 0;
    if (!Host().AskSaveFileName(kTitle, kFilter, path, type)) return;
    if (type < 0 || type >= static_cast<int>(std::size(kFormats))) type = 0;
    // The programs open their files by extension: a name typed without it gets the type's.
    const std::string_view extension = kExtensions[type];
    std::string tail = path.size() >= extension.size() ? path.substr(path.size() - extension.size()) : "";
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (tail != extension) path += extension;
    std::string message;
    if (!results::WriteMeasurementFile(path, kFormats[type], figure, results_, message)) Host().ShowMessage(message, "");
}

// The typical figure of the group in force nearest to a person's measurements, searched in
// a dialog of its own and, once chosen there, shown as if the user had chosen it here.
void FigureDialog::OnFindNearestFigure() {
    static constexpr platform::AnsiText kNoTable(
        u8"Таблица признаков выбранной группы не открыта: подбирать фигуру не из чего.");
    const figures::GroupEntry* group = figures::FindGroup(groupList_->GetCurSel());
    // A group whose table failed to open has stale lists the chosen figure would not fit.
    if (!group || !table_.IsOpen()) {
        Host().ShowMessage(kNoTable, "");
        return;
    }
    NearestFigureDialog search(dataDirectory_, *group, ageList_->GetCurSel());
    if (Host().RunModal(search) == platform::kIdOk && search.Chosen()) SelectFigure(*search.Chosen());
}

void FigureDialog::SelectFigure(const results::FigureMatch& figure) {
    // The lists a choice refills come before the lists it refills, so each index is one of
    // the entries the list offers by the time it is chosen. A list that already shows its
    // entry raises nothing, as when a user picks the entry already selected.
    const auto choose = [this](platform::ComboBox& list, int index, void (FigureDialog::*handler)()) {
        if (index < 0 || index >= list.GetCount() || list.GetCurSel() == index) return;
        list.SetCurSel(index);
        (this->*handler)();
    };
    choose(*ageList_, figure.age, &FigureDialog::OnAgeGroupChange);
    choose(*heightList_, figure.heightIndex, &FigureDialog::OnHeightChange);
    choose(*chestList_, figure.chestIndex, &FigureDialog::OnChestChange);
    choose(*thirdList_, figure.thirdIndex, &FigureDialog::OnThirdChange);
}

std::optional<platform::PageLayout> FigureDialog::SheetLayout() {
    static constexpr platform::AnsiText kNoFigure(u8"Фигура не рассчитана: печатать нечего.");
    if (!computed_) {
        Host().ShowMessage(kNoFigure, "");
        return std::nullopt;
    }
    const results::PrintHeading heading =
        results::SheetHeading(ShownFigure(), platform::PathText(dataDirectory_), results::DateText(std::time(nullptr)));
    // The rows are copied: the pages may be laid out again (a print preview repaints).
    return [heading, rows = results_](platform::TextMeasure& measure) { return results::LayOutSheet(rows, heading, measure); };
}

// The whole chart is built once, before the range is asked: each range's pages are then
// counted on it, and the range chosen is cut from it, without computing a figure again.
std::optional<platform::PageLayout> FigureDialog::ChartLayout() {
    const int index = groupList_->GetCurSel();
    const figures::GroupEntry* group = figures::FindGroup(index);
    if (!group || !table_.IsOpen()) {
        Host().ShowMessage(kNoChartTable, "");
        return std::nullopt;
    }
    const int age = ageList_->GetCurSel();
    results::SizeChart chart;
    figures::FigureLists lists;
    const auto showProgress = [this](int done, int total) { Host().ShowProgress(kChartProgress, done, total); };
    bool built = figures::BuildSizeChart(dataDirectory_, group->group, age, chart, showProgress);
    Host().EndProgress();
    // The lists give the chart's columns in the same order: a count that differs would cut
    // the wrong figures.
    built = built && figures::ListFigures(dataDirectory_, group->group, age, lists) &&
            lists.Count({}) == static_cast<int>(chart.headings.size());
    if (!built) {
        Host().ShowMessage(kCannotBuildChart, "");
        return std::nullopt;
    }
    const std::string third = group->hasThirdList ? std::string(figures::ThirdCaption(group->third)) : std::string();
    const std::string ageGroup = group->hasAgeGroups ? ageList_->GetItemText(age) : "";
    const std::string folder = platform::PathText(dataDirectory_), date = results::DateText(std::time(nullptr));
    const auto headingOf = [&](const figures::FigureRange& range) {
        return results::ChartHeading(group->caption, ageGroup, figures::RangeText(range, third), folder, date);
    };
    const auto countPages = [&](const figures::FigureRange& range) {
        platform::FixedTextMeasure measure;
        const results::SizeChart part = results::SelectFigures(chart, lists.Within(range));
        return static_cast<int>(results::LayOutChart(part, headingOf(range), measure).pages.size());
    };
    // Worded like the dialog's other two captions ("Рост T1"); the headings keep the bare "T19".
    const std::string thirdLabel = group->hasThirdList ? std::string(figures::ThirdName(group->third)) + " " + third : "";
    ChartRangeDialog ask(lists, thirdLabel, countPages);
    if (Host().RunModal(ask) != platform::kIdOk) return std::nullopt;
    const figures::FigureRange range = ask.Range();
    return [heading = headingOf(range), part = results::SelectFigures(chart, lists.Within(range))](
               platform::TextMeasure& measure) { return results::LayOutChart(part, heading, measure); };
}

void FigureDialog::Print(const std::optional<platform::PageLayout>& layOut) {
    std::string message;
    if (layOut && !Host().PrintPages(*layOut, message) && !message.empty()) Host().ShowMessage(message, "");
}

void FigureDialog::SavePdf(const std::optional<platform::PageLayout>& layOut, std::string_view name) {
    static constexpr platform::AnsiText kTitle(u8"Сохранить PDF");
    static constexpr platform::AnsiText kFilter(u8"Документ PDF (*.pdf)|*.pdf|");
    static constexpr platform::AnsiText kNoPdf(
        u8"PDF здесь не записать: напечатайте страницы на принтер PDF системы («Печать…»).");
    if (!layOut) return;
    // Drawn before a file is asked for: where the front end has no PDF writer, the user is
    // told at once rather than after choosing a file.
    std::string bytes, message;
    if (!Host().RenderPdf(*layOut, bytes)) {
        Host().ShowMessage(kNoPdf, "");
        return;
    }
    std::string path = dataDirectory_ + "\\" + platform::PathFromText(std::string(name) + ".pdf");
    if (!Host().AskSaveFileName(kTitle, kFilter, path)) return;
    if (results::WriteWholeFile(path, bytes, message)) {
        static constexpr platform::AnsiText kPdfWritten(u8"PDF записан: ");
        statusLine_->SetText(std::string(kPdfWritten.view()) + platform::PathText(path));
        return;
    }
    Host().ShowMessage(message, "");
}

// The figure shown on A4 pages: every row with both increments, edited and illustrative
// values marked.
void FigureDialog::OnPrintSheet() { Print(SheetLayout()); }
void FigureDialog::OnSaveSheetPdf() {
    static constexpr platform::AnsiText kName(u8"Лист измерений");
    SavePdf(SheetLayout(), kName);
}

// The size chart of the group in force on A4 landscape pages, the figures of a range the
// user chooses.
void FigureDialog::OnPrintChart() { Print(ChartLayout()); }
void FigureDialog::OnSaveChartPdf() {
    static constexpr platform::AnsiText kName(u8"Таблица размеров");
    SavePdf(ChartLayout(), kName);
}

}  // namespace kelvo::app
