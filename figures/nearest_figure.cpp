#include "figures/nearest_figure.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "figures/compute_frame.h"
#include "figures/group_registry.h"
#include "platform/decimal.h"
#include "platform/ansi_text.h"

namespace kelvo::figures {
namespace {

using results::FeatureDifference;
using results::FigureMatch;

constexpr platform::AnsiText kNoLeading(u8"Не задано ни одно из ведущих измерений: T1, T16, T18 или T19.");
constexpr platform::AnsiText kNoThird(u8"У группы нет третьего ведущего измерения (T18 или T19).");
constexpr platform::AnsiText kUnreadable(u8"Таблица признаков группы не читается.");
constexpr platform::AnsiText kFeature(u8"Признака ");
constexpr platform::AnsiText kNotInTable(u8" нет в таблице признаков группы.");
constexpr platform::AnsiText kFarOutside(u8" дальше двух шагов сетки от всех фигур группы: у них ");
constexpr platform::AnsiText kFrom(u8"от ");
constexpr platform::AnsiText kTo(u8" до ");

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// One leading dimension: the person's measurement, its grid step and the range the
// group's figures cover.
struct Leading {
    int feature;
    std::optional<double> person;
    int step;
    double low = HUGE_VAL, high = -HUGE_VAL;
};

class Search {
public:
    Search(const GroupEntry& group, const PersonMeasurements& person) : person_(person) {
        leading_[0] = {1, person.height, kHeightStep};
        leading_[1] = {16, person.chest, kChestStep};
        leading_[2] = {ThirdFeature(group.third), person.third, ThirdStep(group.third)};
        hasThird_ = group.hasThirdList;
    }

    bool Visit(const WalkedFigure& figure, int age) {
        if (!rowsFound_ && !FindFeatureRows(figure.rows)) return false;
        const double shown[3] = {ParseValue(figure.height), ParseValue(figure.chest), ParseValue(figure.third)};
        double sum = 0;
        for (int i = 0; i < (hasThird_ ? 3 : 2); ++i) {
            Leading& d = leading_[i];
            d.low = std::min(d.low, shown[i]);
            d.high = std::max(d.high, shown[i]);
            if (d.person) sum += std::pow((*d.person - shown[i]) / d.step, 2);
        }
        for (std::size_t f = 0; f < person_.features.size(); ++f) {
            const results::ResultRow& row = figure.rows[rows_[f]];
            const double value = ParseValue(row.cells[2]);
            // The size increment is the feature's change per chest step: a difference of one
            // increment weighs as much as one step of the chest girth.
            const double increment = std::abs(ParseValue(row.cells[4]));
            Further& range = further_[f];
            range.low = std::min(range.low, value);
            range.high = std::max(range.high, value);
            range.step = std::max(range.step, increment);
            if (increment != 0) sum += std::pow((person_.features[f].value - value) / increment, 2);
        }
        const double distance = std::sqrt(sum);
        // Only the figures reported are kept, nearest first, equal ones in list order: a
        // person with thousands of features costs no more than their differences from three.
        if (matches.size() == kNearestCount && !(distance < matches.back().distance)) return true;
        FigureMatch match{age, figure.heightIndex, figure.chestIndex, figure.thirdIndex,
                          figure.height, figure.chest, figure.third, distance, {}};
        for (int i = 0; i < (hasThird_ ? 3 : 2); ++i)
            if (leading_[i].person) match.differences.push_back({leading_[i].feature, true, *leading_[i].person, shown[i]});
        for (std::size_t f = 0; f < person_.features.size(); ++f)
            match.differences.push_back({person_.features[f].feature, false, person_.features[f].value,
                                         ParseValue(figure.rows[rows_[f]].cells[2])});
        const auto at = std::upper_bound(matches.begin(), matches.end(), distance,
                                         [](double d, const FigureMatch& m) { return d < m.distance; });
        matches.insert(at, std::move(match));
        if (matches.size() > kNearestCount) matches.pop_back();
        return true;
    }

    // A further feature more than two of its size steps beyond every figure: weighed by its
    // step it would outweigh every leading dimension. Its index, or -1.
    int FarFeature() const {
        for (std::size_t f = 0; f < further_.size(); ++f) {
            const Further& r = further_[f];
            const double v = person_.features[f].value;
            if (r.step > 0 && (v < r.low - 2 * r.step || v > r.high + 2 * r.step)) return static_cast<int>(f);
        }
        return -1;
    }
    struct Further {
        double low = HUGE_VAL, high = -HUGE_VAL, step = 0;
    };
    const Further& FurtherRange(int f) const { return further_[static_cast<std::size_t>(f)]; }

    // The first leading dimension given that lies more than two steps outside every figure.
    const Leading* FarOutside() const {
        for (int i = 0; i < (hasThird_ ? 3 : 2); ++i) {
            const Leading& d = leading_[i];
            if (d.person && (*d.person < d.low - 2 * d.step || *d.person > d.high + 2 * d.step)) return &d;
        }
        return nullptr;
    }

    std::vector<FigureMatch> matches;
    int unknownFeature = 0;

private:
    // Every figure of a group has the same rows in record order: found once.
    bool FindFeatureRows(const results::ResultTable& rows) {
        std::map<int, std::int32_t> rowOf;
        for (std::int32_t r = 0; r < rows.GetSize(); ++r) rowOf.emplace(ParseFeatureNumber(rows[r].cells[0]), r);
        for (const Measurement& m : person_.features) {
            const auto found = rowOf.find(m.feature);
            if (found == rowOf.end()) {
                unknownFeature = m.feature;
                return false;
            }
            rows_.push_back(found->second);
        }
        further_.resize(person_.features.size());
        rowsFound_ = true;
        return true;
    }

    const PersonMeasurements& person_;
    Leading leading_[3];
    bool hasThird_;
    bool rowsFound_ = false;
    std::vector<std::int32_t> rows_;  // each further feature's row
    std::vector<Further> further_;
};

}  // namespace

bool FindNearestFigures(const std::string& dataDirectory, FigureGroup group, int age,
                        const PersonMeasurements& person, std::vector<FigureMatch>& nearest, std::string& message,
                        const ChartProgress& progress) {
    nearest.clear();
    const GroupEntry& entry = Group(group);
    if (!person.height && !person.chest && !person.third) return message = kNoLeading.view(), false;
    if (person.third && !entry.hasThirdList) return message = kNoThird.view(), false;
    static constexpr platform::AnsiText kTwice(u8" задан дважды.");
    std::set<int> given;
    for (const Measurement& m : person.features)
        if (!given.insert(m.feature).second)
            return message = std::string(kFeature.view()) + std::to_string(m.feature) + std::string(kTwice.view()), false;

    std::vector<int> ages{-1};
    if (entry.hasAgeGroups) ages = age == kAnyAge ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{age};
    Search search(entry, person);
    for (std::size_t walk = 0; walk < ages.size(); ++walk) {
        const int a = ages[walk];
        const auto visit = [&search, a](const WalkedFigure& figure) { return search.Visit(figure, a); };
        // Each age group's walk takes its share of the progress shown.
        const auto share = [&](int done, int total) {
            if (progress && total > 0)
                progress(static_cast<int>(walk) * 100 + done * 100 / total, static_cast<int>(ages.size()) * 100);
        };
        if (!WalkFigures(dataDirectory, group, std::max(a, 0), visit, share)) {
            if (search.unknownFeature == 0) return message = kUnreadable.view(), false;
            message = std::string(kFeature.view()) + std::to_string(search.unknownFeature) + std::string(kNotInTable.view());
            return false;
        }
    }
    if (search.matches.empty()) return message = kUnreadable.view(), false;
    if (const Leading* d = search.FarOutside()) {
        const std::string name = "T" + std::to_string(d->feature);
        message = name + " = " + Number(*d->person) + std::string(kFarOutside.view()) + name + " " +
                  std::string(kFrom.view()) + Number(d->low) + std::string(kTo.view()) + Number(d->high) + ".";
        return false;
    }
    if (const int f = search.FarFeature(); f >= 0) {
        const auto& range = search.FurtherRange(f);
        const std::string name = "T" + std::to_string(person.features[static_cast<std::size_t>(f)].feature);
        message = name + " = " + Number(person.features[static_cast<std::size_t>(f)].value) + std::string(kFarOutside.view()) +
                  name + " " + std::string(kFrom.view()) + Number(range.low) + std::string(kTo.view()) + Number(range.high) + ".";
        return false;
    }
    nearest = std::move(search.matches);
    return true;
}

bool ParseMeasurement(std::string_view text, double& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    // A Russian keyboard's decimal key types a comma.
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    if (number.empty()) return false;
    const char* end = number.data() + number.size();
    const auto [stop, error] = platform::ReadDouble(number.data(), end, value, std::chars_format::fixed);
    return error == std::errc() && stop == end && std::isfinite(value);
}

bool ParseFeatureList(std::string_view text, std::vector<Measurement>& features, std::string& message) {
    static constexpr platform::AnsiText kNotPair(u8"Не разобрать «");
    static constexpr platform::AnsiText kExpected(u8"»: нужно номер=значение, например 7=103,5; 12=40.");
    features.clear();
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (part.find_first_not_of(" \t") == std::string_view::npos) continue;
        const std::size_t eq = part.find('=');
        double number = 0, value = 0;
        const bool parsed = eq != std::string_view::npos && ParseMeasurement(part.substr(0, eq), number) &&
                            ParseMeasurement(part.substr(eq + 1), value) && number == std::floor(number) &&
                            number > 0 && number < 10000;
        if (!parsed) {
            std::string shown(part.substr(part.find_first_not_of(" \t")));
            message = std::string(kNotPair.view()) + shown + std::string(kExpected.view());
            return false;
        }
        features.push_back({static_cast<int>(number), value});
    }
    return true;
}

}  // namespace kelvo::figures
