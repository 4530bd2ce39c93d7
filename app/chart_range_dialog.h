#pragma once
// The figures of a size chart to print or save on pages: heights, chests and thirds
// from–to, the whole lists at first, with how many figures and pages the choice makes.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figures/size_chart_walk.h"
#include "platform/dialog.h"

namespace kelvo::app {

class ChartRangeDialog : public platform::Dialog {
public:
    // How many pages the chart of `range` makes.
    using PageCount = std::function<int(const figures::FigureRange&)>;

    // Offers the entries of `lists`; `third` is the third list's caption ("Обхват бёдер T19"),
    // empty where the group has none.
    ChartRangeDialog(const figures::FigureLists& lists, std::string_view third, PageCount pages);

    bool OnEvent(platform::Event event, int id) override;
    void OnRangeChange();
    void OnOk();

    // The range chosen: a list left whole has no span.
    const figures::FigureRange& Range() const { return range_; }

    static std::span<const platform::EventEntry<ChartRangeDialog>> EventTable();

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;

private:
    struct Bounds {
        platform::ComboBox* from = nullptr;
        platform::ComboBox* to = nullptr;
        std::vector<double> values;
    };
    std::optional<figures::ListSpan> SpanOf(const Bounds& bounds) const;

    const figures::FigureLists& lists_;
    std::string third_;
    PageCount pages_;
    Bounds heights_, chests_, thirds_;
    platform::StaticText* thirdLabel_ = nullptr;
    platform::StaticText* count_ = nullptr;
    platform::Button* ok_ = nullptr;
    figures::FigureRange range_;
};

}  // namespace kelvo::app
