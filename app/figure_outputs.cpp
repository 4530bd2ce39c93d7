#include <ctime>

#include "app/chart_range_dialog.h"
#include "app/figure_dialog.h"
#include "app/measured_figure.h"
#include "app/nearest_figure_dialog.h"
#include "app/survey_dialog.h"
#include "figures/size_chart_walk.h"
#include "platform/ansi_text.h"
#include "platform/file.h"
#include "results/export.h"
#include "results/print_pages.h"

// The window's outputs beyond table.txt: the size chart as CSV, the measurement files, the
// nearest figure, and the sheet and the chart on pages, printed or as PDF.

namespace kelvo::app {
namespace {

// What a size chart, as CSV or on pages, tells the user while and when it is built.
constexpr platform::AnsiText kNoChartTable(
    u8"Таблица признаков выбранной группы не открыта: таблицу размеров составить не из чего.");
constexpr platform::AnsiText kChartProgress(u8"Расчёт всех типовых фигур группы…");
constexpr platform::AnsiText kCannotBuildChart(
    u8"Таблицу размеров составить не удалось: таблица признаков группы не читается.");

}  // namespace

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
    NearestFigureDialog search(dataDirectory_, *group, ageList_->GetCurSel(), results_);
    if (Host().RunModal(search) == platform::kIdOk && search.Chosen()) SelectFigure(*search.Chosen());
}

// A body survey over the group in force: girls and boys in the age group the lists show.
void FigureDialog::OnSurvey() {
    const figures::GroupEntry* group = figures::FindGroup(groupList_->GetCurSel());
    if (!group || !table_.IsOpen()) return;
    SurveyDialog survey(dataDirectory_, *group, group->hasAgeGroups ? ageList_->GetCurSel() : figures::kAnyAge);
    Host().RunModal(survey);
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
