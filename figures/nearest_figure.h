#pragma once
// The typical figures nearest to a person's measurements: every figure a group offers is
// walked as the size chart walks it, and each is scored by the grid steps between the
// person and the figure.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figures/figure_group.h"
#include "figures/size_chart_walk.h"
#include "results/figure_match.h"

namespace kelvo::figures {

// Girls and boys: search all four age groups.
inline constexpr int kAnyAge = -1;
inline constexpr std::size_t kNearestCount = 3;

struct Measurement {
    int feature;
    double value;
};

struct PersonMeasurements {
    std::optional<double> height, chest, third;  // T1, T16, and T18 or T19 as the group has it
    std::vector<Measurement> features;           // further features, by number
};

// The figures of `group` nearest to `person`, at most kNearestCount, nearest first and equal
// distances in list order; girls and boys in age group `age`, or in every one with kAnyAge.
// The distance is the root of the summed squares of the leading dimensions' differences in
// grid steps and the further features' differences in their size increments (a feature
// without one does not count). False with a message for the user (Windows-1251) when no
// leading dimension is given, one lies more than two grid steps outside every figure, a
// feature number is not in the table, or the table cannot be read.
bool FindNearestFigures(const std::string& dataDirectory, FigureGroup group, int age,
                        const PersonMeasurements& person, std::vector<results::FigureMatch>& nearest,
                        std::string& message, const ChartProgress& progress = {});

// A measurement as a person types it: a decimal number with '.' or ',' and blanks around.
bool ParseMeasurement(std::string_view text, double& value);

// Further features as "7=103.5; 12=40"; false with a message (Windows-1251) naming the part
// that is not number=value.
bool ParseFeatureList(std::string_view text, std::vector<Measurement>& features, std::string& message);

}  // namespace kelvo::figures
