#include "figures/size_chart_walk.h"

#include <charconv>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "figures/group_registry.h"
#include "platform/ansi_text.h"
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

// An entry's value in cm; false when its text is not a number.
bool EntryValue(const std::string& entry, double& value) {
    const char* begin = entry.c_str();
    char* end = nullptr;
    value = std::strtod(begin, &end);
    return end != begin && *end == '\0';
}

// The group's window on its own lists, loaded and at age group `age`; null when the group
// is unknown or its table cannot be loaded.
const GroupEntry* OpenLists(PrivateWindow& window, FigureGroup group, int age) {
    const GroupEntry* entry = FindGroup(static_cast<int>(group));
    if (!entry) return nullptr;
    if (entry->hasAgeGroups && (age < 0 || age >= kAgeGroupCount)) return nullptr;
    Workspace w = window.Work();
    if (!entry->steps.load(w)) return nullptr;
    if (entry->hasAgeGroups) window.Choose(window.ageList, age, entry->steps.ageChange);
    return entry;
}

std::vector<double> Ascending(const std::set<double>& values) { return {values.begin(), values.end()}; }

}  // namespace

bool InSpan(const std::optional<ListSpan>& span, const std::string& entry) {
    double value = 0;
    return !span || (EntryValue(entry, value) && value >= span->from && value <= span->to);
}

std::vector<double> FigureLists::Heights() const {
    std::set<double> values;
    for (const Height& height : heights) values.insert(height.value);
    return Ascending(values);
}

std::vector<double> FigureLists::Chests() const {
    std::set<double> values;
    for (const Height& height : heights)
        for (const Chest& chest : height.chests) values.insert(chest.value);
    return Ascending(values);
}

std::vector<double> FigureLists::Thirds() const {
    std::set<double> values;
    for (const Height& height : heights)
        for (const Chest& chest : height.chests) values.insert(chest.thirds.begin(), chest.thirds.end());
    return Ascending(values);
}

std::vector<bool> FigureLists::Within(const FigureRange& range) const {
    const auto in = [](const std::optional<ListSpan>& span, double value) {
        return !span || (value >= span->from && value <= span->to);
    };
    std::vector<bool> within;
    for (const Height& height : heights) {
        for (const Chest& chest : height.chests) {
            const bool leading = in(range.heights, height.value) && in(range.chests, chest.value);
            if (!hasThirdList) within.push_back(leading);
            for (const double third : chest.thirds) within.push_back(leading && in(range.thirds, third));
        }
    }
    return within;
}

int FigureLists::Count(const FigureRange& range) const {
    const std::vector<bool> within = Within(range);
    return static_cast<int>(std::count(within.begin(), within.end(), true));
}

bool ListFigures(const std::string& dataDirectory, FigureGroup group, int age, FigureLists& lists) {
    lists = {};
    PrivateWindow window(dataDirectory);
    const GroupEntry* entry = OpenLists(window, group, age);
    if (!entry) return false;
    lists.hasThirdList = entry->hasThirdList;
    const auto value = [](const platform::ComboBox& list, int index, double& into) {
        return EntryValue(list.GetItemText(index), into);
    };
    for (int h = 0; h < window.heightList.GetCount(); ++h) {
        FigureLists::Height& height = lists.heights.emplace_back();
        if (!value(window.heightList, h, height.value)) return false;
        window.Choose(window.heightList, h, entry->steps.heightChange);
        for (int c = 0; c < window.chestList.GetCount(); ++c) {
            FigureLists::Chest& chest = height.chests.emplace_back();
            if (!value(window.chestList, c, chest.value)) return false;
            if (!entry->hasThirdList) continue;
            window.Choose(window.chestList, c, entry->steps.chestChange);
            for (int t = 0; t < window.thirdList.GetCount(); ++t)
                if (!value(window.thirdList, t, chest.thirds.emplace_back())) return false;
        }
    }
    return true;
}

std::string ValueText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string RangeText(const FigureRange& range, std::string_view third) {
    static constexpr platform::AnsiText kWhole(u8"все типовые фигуры группы");
    if (range.IsWhole()) return std::string(kWhole.view());
    std::string text;
    const auto add = [&text](std::string_view caption, const std::optional<ListSpan>& span) {
        if (!span) return;
        char part[64];
        std::snprintf(part, sizeof part, "%s%.*s %g-%g", text.empty() ? "" : ", ", static_cast<int>(caption.size()),
                      caption.data(), span->from, span->to);
        text += part;
    };
    add("T1", range.heights);
    add("T16", range.chests);
    add(third, range.thirds);
    return text;
}

bool ParseListSpan(std::string_view text, ListSpan& span) {
    // The lists' own numbers only: decimal whole numbers, as the lists show them, blanks
    // around each alike; no sign, exponent, hexadecimal or fraction.
    const auto number = [](std::string_view part, double& value) {
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (part.empty() || part.size() > 4 || part.find_first_not_of("0123456789") != std::string_view::npos) return false;
        int whole = 0;
        std::from_chars(part.data(), part.data() + part.size(), whole);
        value = whole;
        return true;
    };
    const auto dash = text.find('-');
    if (dash == std::string::npos) return number(text, span.from) && number(text, span.to);
    return number(text.substr(0, dash), span.from) && number(text.substr(dash + 1), span.to);
}

std::string RangeFault(const FigureLists& lists, const FigureRange& range) {
    static constexpr platform::AnsiText kNotOffered(u8"нет в списке ");
    static constexpr platform::AnsiText kReversed(u8"диапазон от большего к меньшему в списке ");
    static constexpr platform::AnsiText kEmpty(u8"в выбранном диапазоне нет ни одной типовой фигуры");
    static constexpr platform::AnsiText kNoThird(u8"T18/T19 (его у группы нет)");
    const auto check = [&](const std::optional<ListSpan>& span, const std::vector<double>& offered,
                           std::string_view list) -> std::string {
        if (!span) return {};
        for (const double bound : {span->from, span->to})
            if (std::find(offered.begin(), offered.end(), bound) == offered.end())
                return ValueText(bound) + " " + std::string(kNotOffered.view()) + std::string(list);
        if (span->from > span->to) return std::string(kReversed.view()) + std::string(list);
        return {};
    };
    for (std::string fault : {check(range.heights, lists.Heights(), "T1"), check(range.chests, lists.Chests(), "T16"),
                              check(range.thirds, lists.Thirds(), lists.hasThirdList ? std::string_view("T18/T19") : kNoThird.view())})
        if (!fault.empty()) return fault;
    return lists.Count(range) == 0 ? std::string(kEmpty.view()) : std::string();
}

bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureVisitor& visit,
                 const ChartProgress& progress) {
    return WalkFigures(dataDirectory, group, age, FigureRange{}, visit, progress);
}

bool WalkFigures(const std::string& dataDirectory, FigureGroup group, int age, const FigureRange& range,
                 const FigureVisitor& visit, const ChartProgress& progress) {
    PrivateWindow window(dataDirectory);
    const GroupEntry* entry = OpenLists(window, group, age);
    if (!entry) return false;
    const GroupSteps& steps = entry->steps;

    const int heights = window.heightList.GetCount();
    for (int h = 0; h < heights; ++h) {
        if (progress) progress(h, heights);
        // Entries outside the range are not chosen at all: their figures are never computed.
        if (!InSpan(range.heights, window.heightList.GetItemText(h))) continue;
        window.Choose(window.heightList, h, steps.heightChange);
        // The chest list may change with the height (nursery), the third list with the chest.
        for (int c = 0; c < window.chestList.GetCount(); ++c) {
            if (!InSpan(range.chests, window.chestList.GetItemText(c))) continue;
            window.Choose(window.chestList, c, steps.chestChange);
            const int thirds = entry->hasThirdList ? window.thirdList.GetCount() : 1;
            for (int t = 0; t < thirds; ++t) {
                if (entry->hasThirdList && !InSpan(range.thirds, window.thirdList.GetItemText(t))) continue;
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
    return BuildSizeChart(dataDirectory, group, age, FigureRange{}, chart, progress);
}

bool BuildSizeChart(const std::string& dataDirectory, FigureGroup group, int age, const FigureRange& range,
                    results::SizeChart& chart, const ChartProgress& progress) {
    chart = {};
    const auto add = [&chart](const WalkedFigure& figure) { return AddFigure(figure, chart); };
    if (!WalkFigures(dataDirectory, group, age, range, add, progress)) return false;
    // A table without a side file has no known sources: the chart gets no source column.
    if (std::all_of(chart.sources.begin(), chart.sources.end(), [](const std::string& s) { return s.empty(); }))
        chart.sources.clear();
    return !chart.headings.empty();
}

}  // namespace kelvo::figures
