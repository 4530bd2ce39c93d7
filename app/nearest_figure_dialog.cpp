#include "app/nearest_figure_dialog.h"

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
};

constexpr platform::AnsiText kAnyAge(u8"Любая");
constexpr platform::AnsiText kAgeGroup(u8"Возрастная группа");
constexpr platform::AnsiText kDistance(u8"Расстояние");
constexpr platform::AnsiText kDifferences(u8"Клиент - фигура");
constexpr platform::AnsiText kNotANumber(u8": не число «");
constexpr platform::AnsiText kQuoteEnd(u8"».");
constexpr platform::AnsiText kSearching(u8"Поиск ближайших типовых фигур…");
constexpr platform::AnsiText kChooseOne(u8"Выберите фигуру в списке.");

}  // namespace

std::span<const Entry> NearestFigureDialog::EventTable() { return kEventTable; }

NearestFigureDialog::NearestFigureDialog(std::string dataDirectory, const figures::GroupEntry& group, int age)
    : Dialog(res::NearestFigureTemplate()), dataDirectory_(std::move(dataDirectory)), group_(group), age_(age) {}

bool NearestFigureDialog::OnEvent(Event event, int id) {
    return platform::DispatchEvent<NearestFigureDialog>(EventTable(), *this, event, id);
}

void NearestFigureDialog::DoDataExchange() {
    height_ = &Bind<platform::Edit>(res::kIdNearestHeight);
    chest_ = &Bind<platform::Edit>(res::kIdNearestChest);
    third_ = &Bind<platform::Edit>(res::kIdNearestThird);
    thirdLabel_ = &Bind<platform::StaticText>(res::kIdNearestThirdLabel);
    ageList_ = &Bind<platform::ComboBox>(res::kIdNearestAgeList);
    features_ = &Bind<platform::Edit>(res::kIdNearestFeatures);
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
    return true;
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
    return figures::ParseFeatureList(features_->GetText(), person.features, message);
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
