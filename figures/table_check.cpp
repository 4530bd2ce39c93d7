#include "figures/table_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "figures/children.h"
#include "figures/compute_frame.h"
#include "figures/group_registry.h"
#include "figures/men.h"
#include "figures/nursery.h"
#include "figures/women.h"

namespace kelvo::figures {
namespace {

using tables::TableFault;

constexpr int kHeight = 1, kChest = 16;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// "146, 152, ..., 212" as the lists offer them.
std::vector<int> Range(int first, int last, int step) {
    std::vector<int> values;
    for (int v = first; v <= last; v += step) values.push_back(v);
    return values;
}

std::string Listed(const std::vector<int>& values) {
    std::string text;
    for (const int v : values) text += (text.empty() ? "" : ", ") + std::to_string(v);
    return text;
}

class Checker {
public:
    Checker(const tables::TableSource& source, std::vector<TableFault>& faults) : source_(source), faults_(faults) {
        for (std::size_t r = 0; r < source.contents.records.size(); ++r)
            records_.emplace(ParseFeatureNumber(source.contents.records[r][1]), r);
    }

    // The key features the computation finds by number; false when one is missing.
    bool Present(std::initializer_list<int> numbers) {
        bool all = true;
        for (const int number : numbers) {
            if (records_.count(number)) continue;
            faults_.push_back({0, 2, "ни одной строки с номером " + std::to_string(number),
                               "одна строка признака " + std::to_string(number)});
            all = false;
        }
        return all;
    }

    // A key feature's increment (the grid's step, or 0 where it does not move) or third girth.
    void Expect(int number, int column, double expected, const std::string& why) {
        const double found = Value(number, column);
        if (std::fabs(found - expected) > 0.05)
            Fault(number, column, Number(expected) + " (" + why + ")");
    }

    // A base figure's height or chest: one the lists offer. The value when it is.
    std::optional<int> OneOf(int number, int column, const std::vector<int>& offered, const std::string& what) {
        const double found = Value(number, column);
        for (const int v : offered)
            if (std::fabs(found - v) <= 0.05) return v;
        Fault(number, column, what + ": " + Listed(offered));
        return std::nullopt;
    }

private:
    double Value(int number, int column) const {
        return ParseValue(source_.contents.records[records_.at(number)][static_cast<std::size_t>(column)]);
    }

    void Fault(int number, int column, std::string expected) {
        const std::size_t record = records_.at(number);
        // An empty cell is one the reader refused and has named already.
        if (source_.contents.records[record][static_cast<std::size_t>(column)].empty()) return;
        faults_.push_back({source_.lines[record], column + 1,
                           source_.contents.records[record][static_cast<std::size_t>(column)], std::move(expected)});
    }

    const tables::TableSource& source_;
    std::vector<TableFault>& faults_;
    std::map<int, std::size_t> records_;
};

void CheckNursery(Checker& check) {
    check.Expect(kHeight, 2, 6.0, "рост на шаг роста 6 см");
    check.Expect(kHeight, 3, 0.0, "рост не зависит от обхвата груди");
    check.Expect(kChest, 2, 0.0, "обхват груди не зависит от роста");
    check.Expect(kChest, 3, 4.0, "обхват груди на шаг 4 см");
    const auto& grid = kNurseryGrid;
    const std::vector<int> heights(std::begin(grid.heights), std::end(grid.heights));
    const auto height = check.OneOf(kHeight, 4, heights, "рост из списка T1");
    if (!height) return;
    const int row = static_cast<int>(std::find(heights.begin(), heights.end(), *height) - heights.begin());
    std::vector<int> chests(grid.chests[row], grid.chests[row] + grid.chestCounts[row]);
    check.OneOf(kChest, 4, chests, "обхват груди, который список T16 даёт при росте " + std::to_string(*height));
}

void CheckChild(Checker& check, const ChildGrid& grid) {
    for (int age = 0; age < kAgeGroupCount; ++age) {
        const ChildColumns c = ChildColumnsFor(age);
        const std::string group = " (возрастная группа " + std::to_string(age) + ")";
        check.Expect(kHeight, c.height, 6.0, "рост на шаг роста 6 см");
        check.Expect(kHeight, c.chest, 0.0, "рост не зависит от обхвата груди");
        check.Expect(kChest, c.height, 0.0, "обхват груди не зависит от роста");
        check.Expect(kChest, c.chest, 4.0, "обхват груди на шаг 4 см");
        check.Expect(18, c.height, 0.0, "обхват талии не зависит от роста");
        check.Expect(18, c.chest, 3.0, "талия растёт на 3 см с каждым шагом груди");
        // Preschool's waist column is its base column: one waist entry, never counted.
        if (age > 0) {
            check.Expect(kHeight, c.waist, 0.0, "рост не зависит от талии");
            check.Expect(kChest, c.waist, 0.0, "обхват груди не зависит от талии");
            check.Expect(18, c.waist, 3.0, "вторая талия на 6 см больше, прибавка берётся дважды");
        }
        check.OneOf(kHeight, c.base, Range(grid.t1Min[age], grid.t1Max[age], 6), "рост из списка T1" + group);
        const auto chest =
            check.OneOf(kChest, c.base, Range(grid.t16Min[age], grid.t16Max[age], 4), "обхват из списка T16" + group);
        if (chest)
            check.Expect(18, c.base, ChildWaist(grid, age, (*chest - grid.t16Min[age]) / 4, 0),
                         "первая талия списка T18 при обхвате груди " + std::to_string(*chest));
    }
}

void CheckWomen(Checker& check) {
    check.Expect(kHeight, 2, 6.0, "рост на шаг роста 6 см");
    check.Expect(kChest, 2, 0.0, "размер не зависит от роста");
    check.Expect(19, 2, 0.0, "полуобхват бедер не зависит от роста");
    for (int band = 0; band < 3; ++band) {
        check.Expect(kHeight, 3 + band, 0.0, "рост не зависит от размера");
        check.Expect(kChest, 3 + band, 2.0, "размер на шаг 2");
        check.Expect(19, 3 + band, 2.0, "полуобхват бедер растёт с размером на 2");
    }
    const auto heights = Range(kWomenHeightMin, kWomenHeightMax, 6);
    for (int column = 6; column < 18; ++column) {
        const int band = (column - 6) / 4, position = (column - 6) % 4 + 1;
        std::vector<int> sizes;
        for (int size = kWomenChestMin / 2; size <= kWomenChestMax / 2; size += 2)
            if (WomenSizeBand(size) == band) sizes.push_back(size);
        check.OneOf(kHeight, column, heights, "рост из списка T1");
        const auto size = check.OneOf(kChest, column, sizes, "размер группы размеров " + std::to_string(band));
        if (size)
            check.Expect(19, column, *size + 2.0 * position,
                         "размер + 2 × " + std::to_string(position) + ": бедра = грудь + 4 × " +
                             std::to_string(position));
    }
}

void CheckMen(Checker& check) {
    check.Expect(kHeight, 2, 6.0, "рост на шаг роста 6 см");
    check.Expect(kChest, 2, 0.0, "размер не зависит от роста");
    check.Expect(18, 2, 0.0, "обхват талии не зависит от роста");
    for (const int column : {3, 4}) {
        check.Expect(kHeight, column, 0.0, "рост не зависит от размера");
        check.Expect(kChest, column, 2.0, "размер на шаг 2");
        check.Expect(18, column, 4.0, "талия растёт на 4 см с каждым шагом груди");
    }
    const auto heights = Range(kMenHeightMin, kMenHeightMax, 6);
    const auto sizes = Range(kMenChestMin / 2, kMenChestMax / 2, 2);
    for (int position = 0; position < kMenWaistPositions; ++position) {
        const int column = MenBaseColumn(position);
        check.OneOf(kHeight, column, heights, "рост из списка T1");
        const auto size = check.OneOf(kChest, column, sizes, "размер из списка T16");
        if (size)
            check.Expect(18, column, 2.0 * *size - 18 + 6 * position,
                         "талия " + std::to_string(position + 1) + "-я в списке T18: грудь − 18 + 6 × " +
                             std::to_string(position));
    }
}

}  // namespace

int TableColumns(FigureGroup group) {
    switch (group) {
        case FigureGroup::Nursery: return 5;
        case FigureGroup::Girls:
        case FigureGroup::Boys: return 17;
        case FigureGroup::Women: return 18;
        case FigureGroup::Men: return 15;
    }
    return 0;
}

void CheckTable(FigureGroup group, const tables::TableSource& source, std::vector<tables::TableFault>& faults) {
    Checker check(source, faults);
    if (!check.Present({kHeight, kChest, ThirdFeature(Group(group).third)})) return;
    switch (group) {
        case FigureGroup::Nursery: CheckNursery(check); break;
        case FigureGroup::Girls: CheckChild(check, kGirlsGrid); break;
        case FigureGroup::Boys: CheckChild(check, kBoysGrid); break;
        case FigureGroup::Women: CheckWomen(check); break;
        case FigureGroup::Men: CheckMen(check); break;
    }
}

}  // namespace kelvo::figures
