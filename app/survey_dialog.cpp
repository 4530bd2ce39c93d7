#include "app/survey_dialog.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "platform/ansi_text.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "res/resource.h"
#include "res/survey_template.h"
#include "results/export.h"

namespace kelvo::app {

using platform::Event;
using Entry = platform::EventEntry<SurveyDialog>;

namespace {

constexpr Entry kEventTable[] = {
    {Event::Clicked, res::kIdSurveyFile, &SurveyDialog::OnChooseFile},
    {Event::Clicked, res::kIdSurveyRun, &SurveyDialog::OnRun},
    // Enter where no other button answers: the default button's run.
    {Event::Clicked, platform::kIdOk, &SurveyDialog::OnRun},
    {Event::SelChange, res::kIdSurveyThirdFilter, &SurveyDialog::OnThirdFilter},
    {Event::Clicked, res::kIdSurveySizes, &SurveyDialog::OnSizes},
    {Event::EditReturn, res::kIdSurveyCount, &SurveyDialog::OnSizes},
    {Event::Clicked, res::kIdSurveySaveCsv, &SurveyDialog::OnSaveCsv},
    {Event::Clicked, res::kIdSurveySavePdf, &SurveyDialog::OnSavePdf},
};

constexpr platform::AnsiText kNone(u8"(нет)");
constexpr platform::AnsiText kCm(u8"см");
constexpr platform::AnsiText kMm(u8"мм");
constexpr platform::AnsiText kInch(u8"дюймы");
constexpr platform::AnsiText kAll(u8"Все ");
constexpr platform::AnsiText kReading(u8"Чтение обмеров…");
constexpr platform::AnsiText kMeasuring(u8"Подбор размеров…");
constexpr platform::AnsiText kRunFirst(u8"Сначала рассчитайте обмеры («Рассчитать»).");
constexpr platform::AnsiText kCsvFilter(u8"Таблица CSV (*.csv)|*.csv|Все файлы (*.*)|*.*|");

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string ValueText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void Fill(platform::ListView& list, const std::vector<results::SurveyRow>& rows, long long whole, bool sizes) {
    list.DeleteAllItems();
    int item = 0;
    for (const results::SurveyRow& row : rows) {
        if (row.people == 0 && !sizes) continue;
        list.InsertItem(item, row.figure);
        list.SetItemText(item, 1, std::to_string(row.people));
        list.SetItemText(item, 2, Fixed(whole > 0 ? 100.0 * static_cast<double>(row.people) / static_cast<double>(whole) : 0, 2));
        list.SetItemText(item, 3, Fixed(row.people > 0 ? row.distance / static_cast<double>(row.people) : 0, 3));
        if (sizes)
            list.SetItemText(item, 4, Fixed(row.people > 0 ? 100.0 * static_cast<double>(row.withinStep) / static_cast<double>(row.people) : 0, 1));
        ++item;
    }
}

}  // namespace

std::span<const Entry> SurveyDialog::EventTable() { return kEventTable; }

SurveyDialog::SurveyDialog(std::string dataDirectory, const figures::GroupEntry& group, int age)
    : Dialog(res::SurveyTemplate()), dataDirectory_(std::move(dataDirectory)), group_(group), age_(age) {}

bool SurveyDialog::OnEvent(Event event, int id) {
    return platform::DispatchEvent<SurveyDialog>(EventTable(), *this, event, id);
}

void SurveyDialog::DoDataExchange() {
    columns_[0] = &Bind<platform::ComboBox>(res::kIdSurveyHeightColumn);
    columns_[1] = &Bind<platform::ComboBox>(res::kIdSurveyChestColumn);
    columns_[2] = &Bind<platform::ComboBox>(res::kIdSurveyThirdColumn);
    units_ = &Bind<platform::ComboBox>(res::kIdSurveyUnits);
    thirdFilter_ = &Bind<platform::ComboBox>(res::kIdSurveyThirdFilter);
    figures_ = &Bind<platform::ListView>(res::kIdSurveyFigures);
    sizes_ = &Bind<platform::ListView>(res::kIdSurveySizesList);
    heatMap_ = &Bind<platform::Picture>(res::kIdSurveyHeatMap);
    fileName_ = &Bind<platform::StaticText>(res::kIdSurveyFileName);
    status_ = &Bind<platform::StaticText>(res::kIdSurveyStatus);
    count_ = &Bind<platform::Edit>(res::kIdSurveyCount);
}

bool SurveyDialog::OnInitDialog() {
    static constexpr platform::AnsiText kFigure(u8"Фигура");
    static constexpr platform::AnsiText kPeople(u8"Людей");
    static constexpr platform::AnsiText kShare(u8"Доля, %");
    static constexpr platform::AnsiText kMean(u8"Среднее расст.");
    static constexpr platform::AnsiText kSize(u8"Размер");
    static constexpr platform::AnsiText kWithin(u8"В пределах шага, %");
    static constexpr platform::AnsiText kChoose(u8"Выберите файл обмеров: CSV, строка на человека, с заголовком.");
    Host().SetIcon(res::kIconMain, true);
    Host().SetIcon(res::kIconMain, false);
    Bind<platform::StaticText>(res::kIdSurveyThirdLabel)
        .SetText(group_.hasThirdList ? std::string(figures::ThirdName(group_.third)) + " " +
                                           std::string(figures::ThirdCaption(group_.third))
                                     : std::string("T18/T19"));
    columns_[2]->Enable(group_.hasThirdList);
    for (const std::string_view unit : {kCm.view(), kMm.view(), kInch.view()}) units_->AddString(unit);
    units_->SetCurSel(0);
    count_->SetText("8");
    int index = 0;
    for (const auto& [caption, width] : {std::pair<std::string_view, int>{kFigure, 150}, {kPeople, 60}, {kShare, 60}, {kMean, 80}})
        figures_->InsertColumn(index++, caption, width);
    index = 0;
    for (const auto& [caption, width] :
         {std::pair<std::string_view, int>{kSize, 200}, {kPeople, 80}, {kShare, 80}, {kMean, 110}, {kWithin, 120}})
        sizes_->InsertColumn(index++, caption, width);
    status_->SetText(kChoose);
    return true;
}

bool SurveyDialog::Progress(std::int64_t done, std::int64_t total) {
    // In MiB: a survey's bytes overflow a progress bar's range.
    return Host().ShowCancellableProgress(kReading, static_cast<int>(done >> 20),
                                          static_cast<int>(std::max<std::int64_t>(total, done) >> 20));
}

void SurveyDialog::OnChooseFile() {
    static constexpr platform::AnsiText kTitle(u8"Файл обмеров");
    static constexpr platform::AnsiText kUnreadable(u8"Файл обмеров не читается или пуст: ");
    std::string path = path_.empty() ? dataDirectory_ + "\\" : path_;
    if (!Host().AskOpenFileName(kTitle, kCsvFilter, path)) return;
    std::string header, message;
    if (!figures::ReadSurveyHeader(platform::NativePath(path), header)) {
        Host().ShowMessage(std::string(kUnreadable.view()) + platform::PathText(path), "");
        return;
    }
    path_ = path;
    fileName_->SetText(platform::PathText(path));
    // The columns as the header's names suggest them; the user may choose others. Girls and
    // boys with an age column are each put in their own age group, whatever the window shows.
    bool named = false;
    header_.Read(header, group_, {}, figures::SurveyUnit::Cm, true, message, named);
    for (int d = 0; d < 3; ++d) {
        columns_[d]->ResetContent();
        columns_[d]->AddString(kNone);
        for (const std::string& name : header_.Names()) columns_[d]->AddString(platform::Utf8ToAnsi(name));
        columns_[d]->SetCurSel(header_.Column(d) + 1);
    }
    pass_.reset();
    status_->SetText(platform::Utf8ToAnsi("Столбцы по заголовку: " + header_.Found() + ". «Рассчитать» читает людей."));
}

void SurveyDialog::OnRun() {
    static constexpr platform::AnsiText kNoFile(u8"Сначала выберите файл обмеров.");
    if (path_.empty()) {
        Host().ShowMessage(kNoFile, "");
        return;
    }
    figures::SurveyColumns columns;
    std::optional<std::string>* into[3] = {&columns.height, &columns.chest, &columns.third};
    for (int d = 0; d < 3; ++d) {
        const int chosen = columns_[d]->GetCurSel();
        if (chosen > 0) *into[d] = header_.Names()[static_cast<std::size_t>(chosen - 1)];
        else columns.omitted[d] = true;  // "(нет)"
    }
    int age = age_;
    if (header_.AgeColumn() >= 0) {
        columns.age = header_.Names()[static_cast<std::size_t>(header_.AgeColumn())];
        age = figures::kAgeFromColumn;
    }
    const figures::SurveyUnit units[] = {figures::SurveyUnit::Cm, figures::SurveyUnit::Mm, figures::SurveyUnit::Inch};
    const int unit = std::clamp(units_->GetCurSel(), 0, 2);
    figures::SurveyPass pass;
    figures::SurveyFailure failure = figures::SurveyFailure::None;
    std::string message;
    const bool read = figures::ReadSurvey(platform::NativePath(path_), dataDirectory_, group_, age, columns, units[unit],
                                          6000, pass, failure, message, {}, {},
                                          [this](std::int64_t done, std::int64_t total) { return Progress(done, total); });
    Host().EndProgress();
    if (!read) {
        pass_.reset();
        static constexpr platform::AnsiText kCancelled(u8"Чтение обмеров прервано.");
        if (failure == figures::SurveyFailure::Cancelled) status_->SetText(kCancelled);
        else Host().ShowMessage(platform::Utf8ToAnsi("Обмеры не прочитаны: " + message), "");
        return;
    }
    pass_ = std::move(pass);
    made_.clear();
    frequent_.clear();
    sizes_->DeleteAllItems();
    std::vector<results::SurveyRow> rows = figures::SurveyRows(*pass_);
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.people > b.people; });
    Fill(*figures_, rows, pass_->tally.read - pass_->tally.beyond, false);
    // The heat map's filter: every third girth of the figures the people took.
    std::set<double> thirds;
    for (std::size_t f = 0; f < pass_->grid.Figures().size(); ++f)
        if (pass_->tally.people[f] > 0 && pass_->grid.HasThird()) thirds.insert(pass_->grid.Figures()[f].leading[2]);
    thirds_.assign(thirds.begin(), thirds.end());
    thirdFilter_->ResetContent();
    thirdFilter_->AddString(std::string(kAll.view()) + (group_.hasThirdList ? std::string(figures::ThirdCaption(group_.third)) : ""));
    for (const double t : thirds_) thirdFilter_->AddString(std::string(figures::ThirdCaption(group_.third)) + " " + ValueText(t));
    thirdFilter_->SetCurSel(0);
    ShowHeatMap();
    status_->SetText(platform::Utf8ToAnsi("Прочитано людей: " + std::to_string(pass_->tally.read) + ", вне сетки: " +
                                          std::to_string(pass_->tally.beyond) +
                                          ", строк не прочитано: " + std::to_string(pass_->tally.bad) + "."));
}

void SurveyDialog::OnThirdFilter() {
    if (pass_) ShowHeatMap();
}

void SurveyDialog::ShowHeatMap() {
    map_ = {};
    const int filter = thirdFilter_->GetCurSel();
    const std::optional<double> third =
        filter > 0 && static_cast<std::size_t>(filter) <= thirds_.size() ? std::optional(thirds_[static_cast<std::size_t>(filter - 1)])
                                                                         : std::nullopt;
    std::map<double, std::map<double, long long>> counts;
    std::set<double> chests;
    for (std::size_t f = 0; f < pass_->grid.Figures().size(); ++f) {
        const auto& figure = pass_->grid.Figures()[f];
        chests.insert(figure.leading[1]);
        counts[figure.leading[0]];
        if (third && figure.leading[2] != *third) continue;
        counts[figure.leading[0]][figure.leading[1]] += pass_->tally.people[f];
    }
    for (const double c : chests) map_.chests.push_back(ValueText(c));
    for (const auto& [height, row] : counts) {
        map_.heights.push_back(ValueText(height));
        std::vector<long long>& line = map_.people.emplace_back();
        for (const double c : chests) line.push_back(row.contains(c) ? row.at(c) : 0);
    }
    platform::Page page;
    results::DrawHeatMap(map_, 0, 0, 190, 124, page);
    heatMap_->SetPage(page, 190, 124);
}

void SurveyDialog::OnSizes() {
    static constexpr platform::AnsiText kCount(u8"Число размеров — от 1 до 200.");
    static constexpr platform::AnsiText kStream(u8"Файл обмеров прочитан второй раз не так, как первый: размеры не подобраны.");
    if (!pass_) {
        Host().ShowMessage(kRunFirst, "");
        return;
    }
    const std::string text = count_->GetText();
    int k = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), k);
    if (error != std::errc() || end != text.data() + text.size() || k < 1 || k > 200) {
        Host().ShowMessage(kCount, "");
        return;
    }
    bool cancelled = false;
    const bool measured = figures::ChooseAndMeasureSizes(
        platform::NativePath(path_), *pass_, k, made_, frequent_, [&](std::int64_t done, std::int64_t total) {
            cancelled = !Host().ShowCancellableProgress(kMeasuring, static_cast<int>(done >> 20),
                                                        static_cast<int>(std::max(total, done) >> 20));
            return !cancelled;
        });
    Host().EndProgress();
    if (!measured) {
        static constexpr platform::AnsiText kStopped(u8"Подбор размеров прерван.");
        made_.clear();
        frequent_.clear();
        if (cancelled) status_->SetText(kStopped);
        else Host().ShowMessage(kStream, "");
        return;
    }
    Fill(*sizes_, made_, pass_->tally.read - pass_->tally.beyond, true);
    const auto total = [](const std::vector<results::SurveyRow>& set) {
        double sum = 0;
        for (const auto& row : set) sum += row.distance;
        return sum;
    };
    status_->SetText(platform::Utf8ToAnsi("Суммарное расстояние " + Fixed(total(made_), 1) + " шагов сетки; у " +
                                          std::to_string(k) + " самых частых фигур — " + Fixed(total(frequent_), 1) + "."));
}

std::string SurveyDialog::Summary() const {
    std::string text = results::SurveySummaryCsv(figures::SurveyRows(*pass_),
                                                 {pass_->tally.read, pass_->tally.beyond, pass_->tally.bad},
                                                 results::CsvDialect::Spreadsheet);
    if (!made_.empty()) text += "\r\n" + results::SurveySizesCsv(made_, frequent_, pass_->tally.read - pass_->tally.beyond,
                                                            results::CsvDialect::Spreadsheet);
    return text;
}

void SurveyDialog::OnSaveCsv() {
    static constexpr platform::AnsiText kTitle(u8"Сохранить сводку обмеров");
    static constexpr platform::AnsiText kName(u8"Ассортимент");
    static constexpr platform::AnsiText kWritten(u8"Сводка записана: ");
    if (!pass_) {
        Host().ShowMessage(kRunFirst, "");
        return;
    }
    std::string path = dataDirectory_ + "\\" + platform::PathFromText(std::string(kName.view()) + ".csv");
    if (!Host().AskSaveFileName(kTitle, kCsvFilter, path)) return;
    std::string message;
    if (!results::WriteWholeFile(path, Summary(), message)) {
        Host().ShowMessage(message, "");
        return;
    }
    status_->SetText(std::string(kWritten.view()) + platform::PathText(path));
}

void SurveyDialog::OnSavePdf() {
    static constexpr platform::AnsiText kTitle(u8"Сохранить отчёт в PDF");
    static constexpr platform::AnsiText kFilter(u8"Документ PDF (*.pdf)|*.pdf|");
    static constexpr platform::AnsiText kName(u8"Ассортимент");
    static constexpr platform::AnsiText kNoPdf(
        u8"PDF здесь не записать: напечатайте страницы на принтер PDF системы.");
    static constexpr platform::AnsiText kWritten(u8"Отчёт записан: ");
    if (!pass_) {
        Host().ShowMessage(kRunFirst, "");
        return;
    }
    const results::PrintHeading heading =
        results::SurveyHeading(group_.caption, platform::PathText(path_), platform::PathText(dataDirectory_),
                               results::DateText(std::time(nullptr)));
    const std::vector<results::SurveyRow> rows = figures::SurveyRows(*pass_);
    const results::SurveyCounts counts{pass_->tally.read, pass_->tally.beyond, pass_->tally.bad};
    std::string bytes, message;
    if (!Host().RenderPdf([&](platform::TextMeasure& measure) {
            return results::LayOutSurveyReport(rows, counts, map_, heading, measure);
        }, bytes)) {
        Host().ShowMessage(kNoPdf, "");
        return;
    }
    std::string path = dataDirectory_ + "\\" + platform::PathFromText(std::string(kName.view()) + ".pdf");
    if (!Host().AskSaveFileName(kTitle, kFilter, path)) return;
    if (!results::WriteWholeFile(path, bytes, message)) {
        Host().ShowMessage(message, "");
        return;
    }
    status_->SetText(std::string(kWritten.view()) + platform::PathText(path));
}

}  // namespace kelvo::app
