#include "figures/size_chart_walk.h"

#include "figures/children.h"
#include "platform/model_controls.h"
#include "figures/men.h"
#include "figures/nursery.h"
#include "figures/women.h"

namespace kelvo::figures {
namespace {

using Step = void (*)(Workspace&);

template <const ChildGroup& G>
bool LoadChildGroup(Workspace& w) { return LoadChild(w, G); }
template <const ChildGroup& G>
void FillChildGroupLists(Workspace& w) { FillChildLists(w, G); }
template <const ChildGroup& G>
void FillChildGroupWaistList(Workspace& w) { FillChildWaistList(w, G); }
template <const ChildGroup& G>
void ComputeChildGroup(Workspace& w) { ComputeChild(w, G); }

// The steps the window's dispatch runs for each group: its load step and, for a change of
// the age, height, chest and third list, the first step that depends on that list. None
// where the change runs nothing: the nursery has no age group and no third list.
struct GroupSteps {
    bool (*load)(Workspace&);
    Step age, height, chest, third;
};

template <const ChildGroup& G>
constexpr GroupSteps kChildSteps{LoadChildGroup<G>, FillChildGroupLists<G>, ComputeChildGroup<G>,
                                 FillChildGroupWaistList<G>, ComputeChildGroup<G>};

constexpr GroupSteps kSteps[kGroupCount] = {
    {LoadNursery, nullptr, FillNurseryChestList, ComputeNursery, nullptr},
    kChildSteps<kGirls>,
    kChildSteps<kBoys>,
    {LoadWomen, nullptr, ComputeWomen, FillWomenHipList, ComputeWomen},
    {LoadMen, nullptr, ComputeMen, FillMenWaistList, ComputeMen},
};

// What the steps work on, as the window holds it, but plain state of its own.
class PrivateWindow {
public:
    explicit PrivateWindow(const std::string& dataDirectory) : dataDirectory_(dataDirectory) {
        // The steps read the age list's selected index only, never its texts.
        for (int age = 0; age < kAgeGroupCount; ++age) ageList.AddString(std::to_string(age));
    }

    Workspace Work() {
        return {ageList,   heightList, chestList, thirdList, thirdLabel_, resultList_, valueEdit_,
                table_,    keys_,      results,   computed,  selectedRow_, dataDirectory_};
    }

    // Picks entry `index` of `list` as a user does: an entry already selected raises
    // nothing; another runs what the window runs for a change of that list.
    void Choose(platform::ComboBox& list, int index, Step step) {
        if (list.GetCurSel() == index) return;
        list.SetCurSel(index);
        results.SetSize(0);
        selectedRow_ = -1;
        if (!step) return;
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
    KeyFeatureRows keys_{};
    std::int32_t selectedRow_ = -1;
    std::string dataDirectory_;
};

std::string SelectedText(const platform::ComboBox& list) { return list.GetItemText(list.GetCurSel()); }

// Adds the figure the lists show as the chart's next column; the first one gives the rows.
bool AddFigure(const PrivateWindow& window, bool withThird, results::SizeChart& chart) {
    if (!window.computed) return false;
    std::string heading = SelectedText(window.heightList) + "-" + SelectedText(window.chestList);
    // Appended in two steps: GCC 12 at -O3 takes "-" + string for an overlapping copy
    // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
    if (withThird) {
        heading += '-';
        heading += SelectedText(window.thirdList);
    }
    const results::ResultTable& rows = window.results;
    if (chart.headings.empty()) {
        for (std::int32_t row = 0; row < rows.GetSize(); ++row) {
            chart.numbers.push_back(rows[row].cells[0]);
            chart.names.push_back(rows[row].cells[1]);
        }
        chart.values.resize(chart.numbers.size());
    }
    if (static_cast<std::size_t>(rows.GetSize()) != chart.numbers.size()) return false;
    chart.headings.push_back(std::move(heading));
    for (std::int32_t row = 0; row < rows.GetSize(); ++row)
        chart.values[static_cast<std::size_t>(row)].push_back(rows[row].cells[2]);
    return true;
}

}  // namespace

bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, results::SizeChart& chart,
                    const ChartProgress& progress) {
    chart = {};
    const int index = static_cast<int>(group);
    if (index < 0 || index >= kGroupCount) return false;
    const GroupSteps& steps = kSteps[index];
    if (steps.age && (age < 0 || age >= kAgeGroupCount)) return false;

    PrivateWindow window(dataDirectory);
    {
        Workspace w = window.Work();
        if (!steps.load(w)) return false;
    }
    if (steps.age) window.Choose(window.ageList, age, steps.age);

    const int heights = window.heightList.GetCount();
    for (int h = 0; h < heights; ++h) {
        if (progress) progress(h, heights);
        window.Choose(window.heightList, h, steps.height);
        // The chest list may change with the height (nursery), the third list with the chest.
        for (int c = 0; c < window.chestList.GetCount(); ++c) {
            window.Choose(window.chestList, c, steps.chest);
            const int thirds = steps.third ? window.thirdList.GetCount() : 1;
            for (int t = 0; t < thirds; ++t) {
                if (steps.third) window.Choose(window.thirdList, t, steps.third);
                if (!AddFigure(window, steps.third != nullptr, chart)) return false;
            }
        }
    }
    if (progress) progress(heights, heights);
    return !chart.headings.empty();
}

}  // namespace kelvo::figures
