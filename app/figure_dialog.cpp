#include "app/figure_dialog.h"

#include "platform/ansi_text.h"
#include "figures/children.h"
#include "app/data_directory.h"
#include "results/export.h"
#include "res/figure_dialog_template.h"
#include "figures/men.h"
#include "figures/nursery.h"
#include "res/resource.h"
#include "figures/size_chart_walk.h"
#include "figures/women.h"

namespace kelvo::app {

using platform::Event;
using Entry = platform::EventEntry<FigureDialog>;
using Step = void (FigureDialog::*)();

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
    // Enter in the value edit stores the value instead of reaching the default button
    // "Выход", which would end the run and lose every edited value.
    {Event::EditReturn, res::kIdValueEdit, &FigureDialog::OnChangeValue},
    {Event::ListCopy, res::kIdResultList, &FigureDialog::OnCopyRows},
    {Event::ListContextMenu, res::kIdResultList, &FigureDialog::OnSaveSizeChart},
};

// The dispatch table: the step each handler runs, by the group list's selection.
constexpr Step kLoadSteps[5] = {&FigureDialog::LoadNursery, &FigureDialog::LoadGirls,
                                &FigureDialog::LoadBoys, &FigureDialog::LoadWomen,
                                &FigureDialog::LoadMen};
constexpr Step kAgeSteps[5] = {nullptr, &FigureDialog::FillGirlsLists, &FigureDialog::FillBoysLists,
                               nullptr, nullptr};
constexpr Step kHeightSteps[5] = {&FigureDialog::FillNurseryChestList, &FigureDialog::ComputeGirls,
                                  &FigureDialog::ComputeBoys, &FigureDialog::ComputeWomen,
                                  &FigureDialog::ComputeMen};
constexpr Step kChestSteps[5] = {&FigureDialog::ComputeNursery, &FigureDialog::FillGirlsWaistList,
                                 &FigureDialog::FillBoysWaistList, &FigureDialog::FillWomenHipList,
                                 &FigureDialog::FillMenWaistList};
constexpr Step kThirdSteps[5] = {nullptr, &FigureDialog::ComputeGirls, &FigureDialog::ComputeBoys,
                                 &FigureDialog::ComputeWomen, &FigureDialog::ComputeMen};

struct ColumnHeading {
    std::string_view caption;
    int width;
};
constexpr platform::AnsiText kNumber(u8"Номер");
constexpr platform::AnsiText kName(u8"Наименование размерного признака");
constexpr platform::AnsiText kValue(u8"Значение");
constexpr platform::AnsiText kPerHeight(u8"М/Рост");
constexpr platform::AnsiText kPerSize(u8"М/Размер");
constexpr ColumnHeading kColumns[] = {
    {kNumber, 50}, {kName, 340}, {kValue, 67}, {kPerHeight, 64}, {kPerSize, 67}};

}  // namespace

std::span<const Entry> FigureDialog::EventTable() { return kEventTable; }

FigureDialog::FigureDialog() : Dialog(res::FigureDialogTemplate()), icon_(res::kIconMain) {}

bool FigureDialog::OnEvent(Event event, int id) {
    return platform::DispatchEvent<FigureDialog>(EventTable(), *this, event, id);
}

void FigureDialog::DoDataExchange() {
    valueEdit_ = &Bind<platform::Edit>(res::kIdValueEdit);
    thirdLabel_ = &Bind<platform::StaticText>(res::kIdThirdLabel);
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
    dataDirectory_ = dataDirectoryOverride_ ? *dataDirectoryOverride_ : ReadDataDirectory();
    if (initialGroup_ >= 0 && initialGroup_ <= 4) groupList_->SetCurSel(initialGroup_);
    int index = 0;
    for (const ColumnHeading& column : kColumns) resultList_->InsertColumn(index++, column.caption, column.width);
    computed_ = false;
    OnGroupChange();
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
            table_,    keys_,        results_,    computed_,   selectedRow_, dataDirectory_};
}

void FigureDialog::OnGroupChange() {
    computed_ = false;
    selectedRow_ = -1;
    resultList_->DeleteAllItems();
    const int group = groupList_->GetCurSel();
    if (group < 0 || group > 4) {
        NoGroup();
        return;
    }
    (this->*kLoadSteps[group])();
}

void FigureDialog::NoGroup() {
    ageList_->Enable(false);
    heightList_->Enable(false);
    chestList_->Enable(false);
    thirdList_->Enable(false);
    thirdLabel_->SetText("T18/T19");
    heightList_->ResetContent();
    chestList_->ResetContent();
    thirdList_->ResetContent();
}

void FigureDialog::DispatchChange(const Step (&steps)[5]) {
    results_.SetSize(0);
    selectedRow_ = -1;
    const int group = groupList_->GetCurSel();
    if (group >= 0 && group <= 4 && steps[group]) (this->*steps[group])();
}

void FigureDialog::OnAgeGroupChange() { DispatchChange(kAgeSteps); }
void FigureDialog::OnHeightChange() { DispatchChange(kHeightSteps); }
void FigureDialog::OnChestChange() { DispatchChange(kChestSteps); }
void FigureDialog::OnThirdChange() { DispatchChange(kThirdSteps); }

void FigureDialog::LoadNursery() { auto w = Work(); figures::LoadNursery(w); }
void FigureDialog::FillNurseryChestList() { auto w = Work(); figures::FillNurseryChestList(w); }
void FigureDialog::ComputeNursery() { auto w = Work(); figures::ComputeNursery(w); }
void FigureDialog::LoadGirls() { auto w = Work(); figures::LoadChild(w, figures::kGirls); }
void FigureDialog::FillGirlsLists() { auto w = Work(); figures::FillChildLists(w, figures::kGirls); }
void FigureDialog::FillGirlsWaistList() { auto w = Work(); figures::FillChildWaistList(w, figures::kGirls); }
void FigureDialog::ComputeGirls() { auto w = Work(); figures::ComputeChild(w, figures::kGirls); }
void FigureDialog::LoadBoys() { auto w = Work(); figures::LoadChild(w, figures::kBoys); }
void FigureDialog::FillBoysLists() { auto w = Work(); figures::FillChildLists(w, figures::kBoys); }
void FigureDialog::FillBoysWaistList() { auto w = Work(); figures::FillChildWaistList(w, figures::kBoys); }
void FigureDialog::ComputeBoys() { auto w = Work(); figures::ComputeChild(w, figures::kBoys); }
void FigureDialog::LoadWomen() { auto w = Work(); figures::LoadWomen(w); }
void FigureDialog::FillWomenHipList() { auto w = Work(); figures::FillWomenHipList(w); }
void FigureDialog::ComputeWomen() { auto w = Work(); figures::ComputeWomen(w); }
void FigureDialog::LoadMen() { auto w = Work(); figures::LoadMen(w); }
void FigureDialog::FillMenWaistList() { auto w = Work(); figures::FillMenWaistList(w); }
void FigureDialog::ComputeMen() { auto w = Work(); figures::ComputeMen(w); }

void FigureDialog::RefreshList() { results::ShowRows(*resultList_, results_); }

void FigureDialog::OnListClick() {
    const int item = resultList_->GetNextSelected(-1);
    if (item < 0 || item >= results_.GetSize()) return;
    selectedRow_ = item;
    valueEdit_->SetText(results_[item].cells[2]);
}

void FigureDialog::OnChangeValue() {
    // The row must still exist: a table emptied since the click has none to change.
    if (selectedRow_ < 0 || selectedRow_ >= results_.GetSize() || !computed_) return;
    results_[selectedRow_].cells[2] = valueEdit_->GetText();
    RefreshList();
}

void FigureDialog::OnWriteTable() {
    if (!computed_) {
        Host().ShowMessage("no table", "");
        return;
    }
    std::string message;
    if (!results::WriteTableText(dataDirectory_ + "\\table.txt", results_, message))
        Host().ShowMessage(message, "");
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

// The result list's context menu: the size chart of the group in force, every figure its
// lists offer (girls and boys: of the age group chosen), saved as CSV for a spreadsheet.
void FigureDialog::OnSaveSizeChart() {
    static constexpr platform::AnsiText kSaveChart(u8"Сохранить таблицу размеров…");
    static constexpr platform::AnsiText kNoTable(
        u8"Таблица признаков выбранной группы не открыта: таблицу размеров составить не из чего.");
    static constexpr platform::AnsiText kTitle(u8"Сохранить таблицу размеров");
    static constexpr platform::AnsiText kFilter(u8"Таблица CSV (*.csv)|*.csv|");
    static constexpr platform::AnsiText kChartName(u8"Таблица размеров");
    static constexpr platform::AnsiText kProgress(u8"Расчёт всех типовых фигур группы…");
    static constexpr platform::AnsiText kCannotBuild(
        u8"Таблицу размеров составить не удалось: таблица признаков группы не читается.");

    const std::string_view items[] = {kSaveChart};
    if (Host().TrackPopupMenu(items) != 0) return;
    const int group = groupList_->GetCurSel();
    // A group whose table failed to open shows an empty list: its chart would be a surprise.
    if (group < 0 || group > 4 || !table_.IsOpen()) {
        Host().ShowMessage(kNoTable, "");
        return;
    }
    const bool child = group == 1 || group == 2;
    const int age = ageList_->GetCurSel();
    std::string name = std::string(kChartName.view()) + " (" + groupList_->GetItemText(group);
    if (child) name += ", " + ageList_->GetItemText(age);
    std::string path = dataDirectory_ + "\\" + name + ").csv";
    if (!Host().AskSaveFileName(kTitle, kFilter, path)) return;

    results::SizeChart chart;
    const auto showProgress = [this](int done, int total) { Host().ShowProgress(kProgress, done, total); };
    const bool built =
        figures::BuildSizeChart(dataDirectory_, static_cast<figures::FigureGroup>(group), age, chart, showProgress);
    Host().EndProgress();
    std::string message;
    if (!built) message = kCannotBuild.view();
    else if (results::WriteSizeChart(path, chart, results::CsvDialect::Spreadsheet, message)) return;
    Host().ShowMessage(message, "");
}

}  // namespace kelvo::app
