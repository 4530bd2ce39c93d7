#include "figures/size_chart_walk.h"

#include <algorithm>

#include "figures/group_registry.h"
#include "platform/model_controls.h"

namespace kelvo::figures {
namespace {

// What the steps work on, as the window holds it, but plain state of its own.
class PrivateWindow {
public:
    explicit PrivateWindow(const std::string& dataDirectory) : dataDirectory_(dataDirectory) {
        // The steps read the age list's selected index only, never its texts.
        for (int age = 0; age < kAgeGroupCount; ++age) ageList.AddString(std::to_string(age));
        // A chart reads every field of the table for each of up to 1,512 figures: from one
        // copy read at the load step, not by opening the file again for every field.
        table_.KeepInMemory(true);
    }

    Workspace Work() {
        return {ageList,   heightList, chestList, thirdList, thirdLabel_, resultList_, valueEdit_,
                table_,    sources_,   keys_,     results,   computed,  selectedRow_, dataDirectory_};
    }

    // Picks entry `index` of `list` as a user does: an entry already selected raises
    // nothing; another runs what the window runs for a change of that list.
    void Choose(platform::ComboBox& list, int index, Step step) {
        if (list.GetCurSel() == index) return;
        list.SetCurSel(index);
        results.SetSize(0);
        selectedRow_ = -1;
        Workspace w = Work();
        step(w);
    }

    platform::ModelComboBox ageList, heightList, chestList, thirdList;
    results::ResultTable results;
    bool computed = false;

private:
    platform::ModelStatic thirdLabel_;
    platform::ModelListView resultList_;
    platform::ModelEdit valueEdit_;
    tables::FeatureTable table_;
    tables::TableSources sources_;
    KeyFeatureRows keys_{};
    std::int32_t selectedRow_ = -1;
    std::string dataDirectory_;
};

std::string SelectedText(const platform::ComboBox& list) { return list.GetItemText(list.GetCurSel()); }

// Adds `figure` as the chart's next column; the first one gives the rows.
bool AddFigure(const WalkedFigure& figure, results::SizeChart& chart) {
    std::string heading = figure.height + "-" + figure.chest;
    // Appended in two steps: GCC 12 at -O3 takes "-" + string for an overlapping copy
    // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
    if (figure.thirdIndex >= 0) {
        heading += '-';
        heading += figure.third;
    }
    const results::ResultTable& rows = figure.rows;
    if (chart.headings.empty()) {
        for (std::int32_t row = 0; row < rows.GetSize(); ++row) {
            chart.numbers.push_back(rows[row].cells[0]);
            chart.names.push_back(rows[row].cells[1]);
        }
        chart.values.resize(chart.numbers.size());
        chart.sources.resize(chart.numbers.size());
    }
    if (static_cast<std::size_t>(rows.GetSize()) != chart.numbers.size()) return false;
    chart.headings.push_back(std::move(heading));
    for (std::int32_t row = 0; row < rows.GetSize(); ++row) {
        const auto at = static_cast<std::size_t>(row);
        chart.values[at].push_back(rows[row].cells[2]);
        // A feature's row in the chart names every source its figures' values came from.
        chart.sources[at] = tables::MergeCodes(std::move(chart.sources[at]), rows[row].source);
    }
    return true;
}

}  // namespace

bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureVisitor& visit,
                 const ChartProgress& progress) {
    const GroupEntry* entry = FindGroup(static_cast<int>(group));
    if (!entry) return false;
    const GroupSteps& steps = entry->steps;
    if (entry->hasAgeGroups && (age < 0 || age >= kAgeGroupCount)) return false;

    PrivateWindow window(dataDirectory);
    {
        Workspace w = window.Work();
        if (!steps.load(w)) return false;
    }
    if (entry->hasAgeGroups) window.Choose(window.ageList, age, steps.ageChange);

    const int heights = window.heightList.GetCount();
    for (int h = 0; h < heights; ++h) {
        if (progress) progress(h, heights);
        window.Choose(window.heightList, h, steps.heightChange);
        // The chest list may change with the height (nursery), the third list with the chest.
        for (int c = 0; c < window.chestList.GetCount(); ++c) {
            window.Choose(window.chestList, c, steps.chestChange);
            const int thirds = entry->hasThirdList ? window.thirdList.GetCount() : 1;
            for (int t = 0; t < thirds; ++t) {
                if (entry->hasThirdList) window.Choose(window.thirdList, t, steps.thirdChange);
                if (!window.computed) return false;
                const bool third = entry->hasThirdList;
                const WalkedFigure figure{h,
                                          c,
                                          third ? t : -1,
                                          SelectedText(window.heightList),
                                          SelectedText(window.chestList),
                                          third ? SelectedText(window.thirdList) : std::string(),
                                          window.results};
                if (!visit(figure)) return false;
            }
        }
    }
    if (progress) progress(heights, heights);
    return true;
}

bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, results::SizeChart& chart,
                    const ChartProgress& progress) {
    chart = {};
    const auto add = [&chart](const WalkedFigure& figure) { return AddFigure(figure, chart); };
    if (!WalkFigures(dataDirectory, group, age, add, progress)) return false;
    // A table without a side file has no known sources: the chart gets no source column.
    if (std::all_of(chart.sources.begin(), chart.sources.end(), [](const std::string& s) { return s.empty(); }))
        chart.sources.clear();
    return !chart.headings.empty();
}

}  // namespace kelvo::figures
