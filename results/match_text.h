#pragma once
// Figures found near a person's measurements as text: the lines kelvo-cli prints and the
// cells the window's search list shows.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "results/figure_match.h"

namespace kelvo::results {

// "T7": the name a feature number goes by.
std::string FeatureLabel(int feature);
// A distance in grid steps, "%.2f".
std::string FormatDistance(double distance);
// Person minus figure with its sign, "%+.1f".
std::string FormatDifference(double difference);
// Every difference on one line: "T1 +2.0; T16 -1.5; T7 +0.8".
std::string DifferencesText(const FigureMatch& match);

// A heading line and one line per figure, Windows-1251, for FormatList: the rank, the age
// group where `ageCaptions` is not empty, the leading dimensions (the third where
// `thirdCaption` is not empty), the distance, then per leading dimension given its
// difference, per further feature the figure's value and the difference.
std::vector<std::vector<std::string>> MatchLines(const std::vector<FigureMatch>& matches,
                                                 std::span<const std::string> ageCaptions,
                                                 std::string_view thirdCaption);

}  // namespace kelvo::results
