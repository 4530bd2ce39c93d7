#include "app/chart_range_dialog.h"

#include "platform/ansi_text.h"
#include "res/chart_range_template.h"
#include "res/resource.h"

namespace kelvo::app {

using platform::Event;
using Entry = platform::EventEntry<ChartRangeDialog>;

namespace {

constexpr Entry kEventTable[] = {
    {Event::SelChange, res::kIdRangeHeightFrom, &ChartRangeDialog::OnRangeChange},
    {Event::SelChange, res::kIdRangeHeightTo, &ChartRangeDialog::OnRangeChange},
    {Event::SelChange, res::kIdRangeChestFrom, &ChartRangeDialog::OnRangeChange},
    {Event::SelChange, res::kIdRangeChestTo, &ChartRangeDialog::OnRangeChange},
    {Event::SelChange, res::kIdRangeThirdFrom, &ChartRangeDialog::OnRangeChange},
    {Event::SelChange, res::kIdRangeThirdTo, &ChartRangeDialog::OnRangeChange},
    // Enter comes as the OK command even where the button is disabled: it is checked here.
    {Event::Clicked, platform::kIdOk, &ChartRangeDialog::OnOk},
};

constexpr platform::AnsiText kFigures(u8"Фигур: ");
constexpr platform::AnsiText kPages(u8", страниц A4: около ");
constexpr platform::AnsiText kNothing(u8"Печатать нечего: ");

}  // namespace

std::span<const Entry> ChartRangeDialog::EventTable() { return kEventTable; }

ChartRangeDialog::ChartRangeDialog(const figures::FigureLists& lists, std::string_view third, PageCount pages)
    : Dialog(res::ChartRangeTemplate()), lists_(lists), third_(third), pages_(std::move(pages)) {}

bool ChartRangeDialog::OnEvent(Event event, int id) {
    return platform::DispatchEvent<ChartRangeDialog>(EventTable(), *this, event, id);
}

void ChartRangeDialog::DoDataExchange() {
    heights_.from = &Bind<platform::ComboBox>(res::kIdRangeHeightFrom);
    heights_.to = &Bind<platform::ComboBox>(res::kIdRangeHeightTo);
    chests_.from = &Bind<platform::ComboBox>(res::kIdRangeChestFrom);
    chests_.to = &Bind<platform::ComboBox>(res::kIdRangeChestTo);
    thirds_.from = &Bind<platform::ComboBox>(res::kIdRangeThirdFrom);
    thirds_.to = &Bind<platform::ComboBox>(res::kIdRangeThirdTo);
    thirdLabel_ = &Bind<platform::StaticText>(res::kIdRangeThirdLabel);
    count_ = &Bind<platform::StaticText>(res::kIdRangeCount);
    ok_ = &Bind<platform::Button>(platform::kIdOk);
}

bool ChartRangeDialog::OnInitDialog() {
    Host().SetIcon(res::kIconMain, true);
    Host().SetIcon(res::kIconMain, false);
    heights_.values = lists_.Heights();
    chests_.values = lists_.Chests();
    if (lists_.hasThirdList) thirds_.values = lists_.Thirds();
    if (!third_.empty()) thirdLabel_->SetText(third_);
    for (Bounds* bounds : {&heights_, &chests_, &thirds_}) {
        for (const double value : bounds->values) {
            bounds->from->AddString(figures::ValueText(value));
            bounds->to->AddString(figures::ValueText(value));
        }
        // The whole list at first.
        const int last = static_cast<int>(bounds->values.size()) - 1;
        bounds->from->SetCurSel(last >= 0 ? 0 : -1);
        bounds->to->SetCurSel(last);
        bounds->from->Enable(last >= 0);
        bounds->to->Enable(last >= 0);
    }
    OnRangeChange();
    return true;
}

std::optional<figures::ListSpan> ChartRangeDialog::SpanOf(const Bounds& bounds) const {
    const int from = bounds.from->GetCurSel(), to = bounds.to->GetCurSel();
    const int count = static_cast<int>(bounds.values.size());
    if (from < 0 || to < 0 || from >= count || to >= count) return std::nullopt;
    // The whole list leaves the span unset: the heading then says the chart is whole.
    if (from == 0 && to == count - 1) return std::nullopt;
    return figures::ListSpan{bounds.values[static_cast<std::size_t>(from)], bounds.values[static_cast<std::size_t>(to)]};
}

void ChartRangeDialog::OnRangeChange() {
    range_ = {SpanOf(heights_), SpanOf(chests_), SpanOf(thirds_)};
    const std::string fault = figures::RangeFault(lists_, range_);
    ok_->Enable(fault.empty());
    if (!fault.empty()) {
        count_->SetText(std::string(kNothing.view()) + fault);
        return;
    }
    std::string text = std::string(kFigures.view()) + std::to_string(lists_.Count(range_));
    if (pages_) text += std::string(kPages.view()) + std::to_string(pages_(range_));
    count_->SetText(text);
}

void ChartRangeDialog::OnOk() {
    OnRangeChange();
    if (!ok_->IsEnabled()) {
        Host().ShowMessage(count_->GetText(), "");
        return;
    }
    Host().EndDialog(platform::kIdOk);
}

}  // namespace kelvo::app
