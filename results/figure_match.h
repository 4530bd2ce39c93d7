#pragma once
// A typical figure found near a person's measurements: where the lists offer it, how far
// the person lies from it, and how the person differs from it feature by feature.

#include <string>
#include <vector>

namespace kelvo::results {

struct FeatureDifference {
    int feature;       // the feature's number: 1, 16, 18 or 19 for a leading dimension
    bool leading;      // height, chest or third girth, whose figure value the lists show
    double person;     // the measurement given
    double figure;     // the figure's value
    double Difference() const { return person - figure; }
};

struct FigureMatch {
    int age = -1;  // age group; -1 for groups without
    int heightIndex = 0, chestIndex = 0, thirdIndex = -1;  // entries of the lists; -1: no third list
    std::string height, chest, third;                       // the entries' texts
    double distance = 0;                                    // in grid steps
    // The leading dimensions given, then the further features in the order given.
    std::vector<FeatureDifference> differences;
};

}  // namespace kelvo::results
