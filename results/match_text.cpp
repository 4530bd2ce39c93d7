#include "results/match_text.h"

#include <cstdio>

#include "platform/ansi_text.h"

namespace kelvo::results {
namespace {

constexpr platform::AnsiText kRank(u8"Место");
constexpr platform::AnsiText kAge(u8"Возрастная группа");
constexpr platform::AnsiText kDistance(u8"Расстояние");
constexpr platform::AnsiText kDifference(u8": разница");

std::string Printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string FeatureLabel(int feature) {
    // Appended, not "T" + string: GCC 12 at -O3 takes that for an overlapping copy
    // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
    std::string label = "T";
    label += std::to_string(feature);
    return label;
}

std::string FormatDistance(double distance) { return Printed("%.2f", distance); }

std::string FormatDifference(double difference) { return Printed("%+.1f", difference); }

std::string DifferencesText(const FigureMatch& match) {
    std::string text;
    for (const FeatureDifference& d : match.differences)
        text += (text.empty() ? "" : "; ") + FeatureLabel(d.feature) + " " + FormatDifference(d.Difference());
    return text;
}

std::vector<std::vector<std::string>> MatchLines(const std::vector<FigureMatch>& matches,
                                                 std::span<const std::string> ageCaptions,
                                                 std::string_view thirdCaption) {
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> heading{std::string(kRank.view())};
    if (!ageCaptions.empty()) heading.emplace_back(kAge.view());
    heading.insert(heading.end(), {"T1", "T16"});
    if (!thirdCaption.empty()) heading.emplace_back(thirdCaption);
    heading.emplace_back(kDistance.view());
    if (!matches.empty()) {
        for (const FeatureDifference& d : matches.front().differences) {
            const std::string label = FeatureLabel(d.feature);
            if (!d.leading) heading.push_back(label);
            heading.push_back(label + std::string(kDifference.view()));
        }
    }
    lines.push_back(std::move(heading));

    int rank = 0;
    for (const FigureMatch& match : matches) {
        std::vector<std::string> line{std::to_string(++rank)};
        if (!ageCaptions.empty()) {
            const bool known = match.age >= 0 && static_cast<std::size_t>(match.age) < ageCaptions.size();
            line.push_back(known ? ageCaptions[static_cast<std::size_t>(match.age)] : std::string());
        }
        line.insert(line.end(), {match.height, match.chest});
        if (!thirdCaption.empty()) line.push_back(match.third);
        line.push_back(FormatDistance(match.distance));
        for (const FeatureDifference& d : match.differences) {
            if (!d.leading) line.push_back(Printed("%.1f", d.figure));
            line.push_back(FormatDifference(d.Difference()));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace kelvo::results
