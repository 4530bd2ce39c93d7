#include "app/nearest_figure_dialog.h"

#include <charconv>
#include <cmath>

#include "figures/client_measurements.h"
#include "platform/decimal.h"
#include "platform/file.h"

#include "res/figure_dialog_template.h"
#include "res/nearest_figure_template.h"
#include "res/resource.h"
#include "results/match_text.h"

namespace kelvo::app {

using platform::Event;
using Entry = platform::EventEntry<NearestFigureDialog>;

namespace {

constexpr Entry kEventTable[] = {
    {Event::Clicked, res::kIdNearestSearch, &NearestFigureDialog::OnSearch},
    {Event::Clicked, res::kIdNearestChoose, &NearestFigureDialog::OnChoose},
    // Enter where no default button answers comes as the OK command: it searches too, and
    // never ends the dialog without a figure.
    {Event::Clicked, platform::kIdOk, &NearestFigureDialog::OnSearch},
    {Event::ListClick, res::kIdNearestFeatureList, &NearestFigureDialog::OnFeatureClick},
    {Event::ListKeySelect, res::kIdNearestFeatureList, &NearestFigureDialog::OnFeatureClick},
    {Event::Clicked, res::kIdNearestSetValue, &NearestFigureDialog::OnSetFeatureValue},
    {Event::Clicked, res::kIdNearestFromFile, &NearestFigureDialog::OnFromFile},
    // Enter in the value gives it to the feature, not to the default button's search.
    {Event::EditReturn, res::kIdNearestFeatureValue, &NearestFigureDialog::OnSetFeatureValue},
};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The number of a leading dimension as its caption gives it: "T19" is 19.
int FeatureNumber(std::string_view text) {
    while (!text.empty() && (text.front() < '0' || text.front() > '9')) text.remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() ? number : -1;
}

constexpr platform::AnsiText kAnyAge(u8"Любая");
constexpr platform::AnsiText kAgeGroup(u8"Возрастная группа");
constexpr platform::AnsiText kDistance(u8"Расстояние");
constexpr platform::AnsiText kDifferences(u8"Клиент - фигура");
constexpr platform::AnsiText kNotANumber(u8": не число «");
constexpr platform::AnsiText kQuoteEnd(u8"».");
constexpr platform::AnsiText kSearching(u8"Поиск ближайших типовых фигур…");
constexpr platform::AnsiText kChooseOne(u8"Выберите фигуру в списке.");
constexpr platform::AnsiText kChooseFeature(u8"Выберите признак в списке, затем задайте его значение.");
constexpr platform::AnsiText kNumber(u8"Номер");
constexpr platform::AnsiText kName(u8"Наименование");
constexpr platform::AnsiText kFigure(u8"Фигура");
constexpr platform::AnsiText kPerson(u8"Клиент");

}  // namespace

std::span<const Entry> NearestFigureDialog::EventTable() { return kEventTable; }

NearestFigureDialog::NearestFigureDialog(std::string dataDirectory, const figures::GroupEntry& group, int age,
                                         const results::ResultTable& shown)
    : Dialog(res::NearestFigureTemplate()), dataDirectory_(std::move(dataDirectory)), group_(group), age_(age) {
    // The leading dimensions have fields of their own above the list.
    const int third = group.hasThirdList ? FeatureNumber(figures::ThirdCaption(group.third)) : -1;
    for (int item = 0; item < shown.GetSize(); ++item) {
        const results::ResultRow& row = shown[item];
        const int number = FeatureNumber(Trimmed(row.cells[0]));
        if (number < 0 || number == 1 || number == 16 || number == third) continue;
        rows_.push_back({number, std::string(Trimmed(row.cells[0])), std::string(Trimmed(row.cells[1])),
                         std::string(Trimmed(row.cells[2])), {}});
    }
}

bool NearestFigureDialog::OnEvent(Event event, int id) {
    return platform::DispatchEvent<NearestFigureDialog>(EventTable(), *this, event, id);
}

void NearestFigureDialog::DoDataExchange() {
    height_ = &Bind<platform::Edit>(res::kIdNearestHeight);
    chest_ = &Bind<platform::Edit>(res::kIdNearestChest);
    third_ = &Bind<platform::Edit>(res::kIdNearestThird);
    thirdLabel_ = &Bind<platform::StaticText>(res::kIdNearestThirdLabel);
    ageList_ = &Bind<platform::ComboBox>(res::kIdNearestAgeList);
    features_ = &Bind<platform::ListView>(res::kIdNearestFeatureList);
    featureValue_ = &Bind<platform::Edit>(res::kIdNearestFeatureValue);
    results_ = &Bind<platform::ListView>(res::kIdNearestResults);
    choose_ = &Bind<platform::Button>(res::kIdNearestChoose);
}

bool NearestFigureDialog::OnInitDialog() {
    Host().SetIcon(res::kIconMain, true);
    Host().SetIcon(res::kIconMain, false);
    const std::string_view third = group_.hasThirdList ? figures::ThirdCaption(group_.third) : "";
    thirdLabel_->SetText(group_.hasThirdList ? third : "T18/T19");
    third_->Enable(group_.hasThirdList);
    // The age groups as the kelvo window's age list names them, after "any".
    ageList_->AddString(kAnyAge);
    for (const platform::InitialEntry& entry : res::FigureDialogTemplate().initialEntries) {
        if (entry.id != res::kIdAgeList) continue;
        ageCaptions_.emplace_back(entry.text);
        ageList_->AddString(entry.text);
    }
    const bool ages = group_.hasAgeGroups && age_ >= 0 && age_ < figures::kAgeGroupCount;
    ageList_->SetCurSel(ages ? age_ + 1 : 0);
    ageList_->Enable(group_.hasAgeGroups);

    results_->SetExtendedStyle(results_->GetExtendedStyle() | platform::ListView::kFullRowSelect);
    const std::pair<std::string_view, int> columns[] = {
        {kAgeGroup, 130}, {"T1", 40}, {"T16", 40}, {third, 40}, {kDistance, 75}, {kDifferences, 200}};
    int index = 0;
    for (const auto& [caption, width] : columns) results_->InsertColumn(index++, caption, width);
    choose_->Enable(false);

    features_->SetExtendedStyle(features_->GetExtendedStyle() | platform::ListView::kFullRowSelect);
    const std::pair<std::string_view, int> featureColumns[] = {
        {kNumber, 50}, {kName, 300}, {kFigure, 60}, {kPerson, 60}};
    index = 0;
    for (const auto& [caption, width] : featureColumns) features_->InsertColumn(index++, caption, width);
    for (int item = 0; item < static_cast<int>(rows_.size()); ++item) {
        const FeatureRow& row = rows_[static_cast<std::size_t>(item)];
        features_->InsertItem(item, row.numberText);
        features_->SetItemText(item, 1, row.name);
        features_->SetItemText(item, 2, row.figureValue);
    }
    return true;
}

void NearestFigureDialog::OnFeatureClick() {
    const int item = features_->GetNextSelected(-1);
    if (item < 0 || item >= static_cast<int>(rows_.size())) return;
    featureValue_->SetText(rows_[static_cast<std::size_t>(item)].personValue);
}

// A number as the person's fields show it: the shortest text, with a decimal point.
std::string MeasurementText(double value) {
    char buffer[32];
    const auto written = platform::WriteDouble(buffer, buffer + sizeof buffer, std::round(value * 1000) / 1000);
    return std::string(buffer, written.ptr);
}

// A client's measurements from their file fill the fields and the features the table holds;
// what the file lacks of the leading dimensions is said, to be typed in.
void NearestFigureDialog::OnFromFile() {
    static constexpr platform::AnsiText kTitle(u8"Файл мерок клиента");
    static constexpr platform::AnsiText kFilter(u8"Индивидуальные мерки (*.vit)|*.vit|");
    static constexpr platform::AnsiText kUnreadable(u8"Файл мерок не читается: ");
    static constexpr platform::AnsiText kLacking(u8"В файле мерок нет: ");
    static constexpr platform::AnsiText kTypeThem(u8". Введите их сами.");
    std::string path = dataDirectory_ + "\\";
    if (!Host().AskOpenFileName(kTitle, kFilter, path)) return;
    std::string bytes, message;
    figures::ClientMeasurements read;
    if (!platform::ReadWholeFile(path, bytes)) {
        Host().ShowMessage(std::string(kUnreadable.view()) + platform::PathText(path), "");
        return;
    }
    if (!figures::ReadClientMeasurements(bytes, group_, read, message)) {
        Host().ShowMessage(message, "");
        return;
    }
    const std::pair<platform::Edit*, const std::optional<double>*> leading[] = {
        {height_, &read.person.height}, {chest_, &read.person.chest}, {third_, &read.person.third}};
    for (const auto& [edit, value] : leading)
        if (*value && edit->IsEnabled()) edit->SetText(MeasurementText(**value));
    for (std::size_t item = 0; item < rows_.size(); ++item) {
        for (const figures::Measurement& m : read.person.features) {
            if (m.feature != rows_[item].number) continue;
            rows_[item].personValue = MeasurementText(m.value);
            features_->SetItemText(static_cast<int>(item), 3, rows_[item].personValue);
        }
    }
    if (read.lacking.empty()) return;
    std::string lacking;
    for (const std::string& name : read.lacking) lacking += (lacking.empty() ? "" : ", ") + name;
    Host().ShowMessage(std::string(kLacking.view()) + lacking + std::string(kTypeThem.view()), "");
}

void NearestFigureDialog::OnSetFeatureValue() {
    const int item = features_->GetNextSelected(-1);
    if (item < 0 || item >= static_cast<int>(rows_.size())) {
        Host().ShowMessage(kChooseFeature, "");
        return;
    }
    FeatureRow& row = rows_[static_cast<std::size_t>(item)];
    const std::string text = featureValue_->GetText();
    double value = 0;
    if (text.find_first_not_of(" \t") != std::string::npos && !figures::ParseMeasurement(text, value)) {
        Host().ShowMessage(row.numberText + std::string(kNotANumber.view()) + text + std::string(kQuoteEnd.view()), "");
        return;
    }
    row.personValue = std::string(Trimmed(text));
    features_->SetItemText(item, 3, row.personValue);
}

bool NearestFigureDialog::ReadPerson(figures::PersonMeasurements& person, std::string& message) {
    const std::pair<platform::Edit*, std::optional<double>*> leading[] = {
        {height_, &person.height}, {chest_, &person.chest}, {third_, &person.third}};
    const std::string names[] = {"T1", "T16", thirdLabel_->GetText()};
    for (std::size_t i = 0; i < std::size(leading); ++i) {
        const auto [edit, into] = leading[i];
        const std::string text = edit->IsEnabled() ? edit->GetText() : std::string();
        if (text.find_first_not_of(" \t") == std::string::npos) continue;
        double value = 0;
        if (!figures::ParseMeasurement(text, value))
            return message = names[i] + std::string(kNotANumber.view()) + text + std::string(kQuoteEnd.view()), false;
        *into = value;
    }
    for (const FeatureRow& row : rows_) {
        double value = 0;
        if (!row.personValue.empty() && figures::ParseMeasurement(row.personValue, value))
            person.features.push_back({row.number, value});
    }
    return true;
}

void NearestFigureDialog::OnSearch() {
    found_.clear();
    ShowFound();
    figures::PersonMeasurements person;
    std::string message;
    if (!ReadPerson(person, message)) {
        Host().ShowMessage(message, "");
        return;
    }
    const int age = group_.hasAgeGroups ? ageList_->GetCurSel() - 1 : 0;
    const auto progress = [this](int done, int total) { Host().ShowProgress(kSearching, done, total); };
    const bool found =
        figures::FindNearestFigures(dataDirectory_, group_.group, age, person, found_, message, progress);
    Host().EndProgress();
    if (!found) {
        Host().ShowMessage(message, "");
        return;
    }
    ShowFound();
}

void NearestFigureDialog::ShowFound() {
    results_->DeleteAllItems();
    for (int item = 0; item < static_cast<int>(found_.size()); ++item) {
        const results::FigureMatch& match = found_[static_cast<std::size_t>(item)];
        const bool aged = match.age >= 0 && static_cast<std::size_t>(match.age) < ageCaptions_.size();
        results_->InsertItem(item, aged ? ageCaptions_[static_cast<std::size_t>(match.age)] : std::string());
        results_->SetItemText(item, 1, match.height);
        results_->SetItemText(item, 2, match.chest);
        results_->SetItemText(item, 3, match.third);
        results_->SetItemText(item, 4, results::FormatDistance(match.distance));
        results_->SetItemText(item, 5, results::DifferencesText(match));
    }
    choose_->Enable(!found_.empty());
}

void NearestFigureDialog::OnChoose() {
    const int item = results_->GetNextSelected(-1);
    if (item < 0 || item >= static_cast<int>(found_.size())) {
        Host().ShowMessage(kChooseOne, "");
        return;
    }
    chosen_ = found_[static_cast<std::size_t>(item)];
    Host().EndDialog(platform::kIdOk);
}

}  // namespace kelvo::app
