#pragma once
// Every figure of a group held for searching many people: the nearest figure of a person by
// the very metric, further features and ties of FindNearestFigures, found without looking at
// every figure. The figures lie on arithmetic lists (heights by 6 cm, chests by 4, the third
// girth by its step): the search starts where the person's measurements round into the
// lists and widens only while a figure could still be nearer, since each dimension's term
// only adds to the distance.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "figures/figure_group.h"
#include "figures/nearest_figure.h"

namespace kelvo::figures {

class FigureGrid {
public:
    struct Figure {
        int age;                        // -1 for groups without age groups
        std::string height, chest, third;  // the list entries, Windows-1251
        double leading[3];              // T1, T16 and the third girth, in cm
        std::vector<double> values, increments;  // the further features', in the order asked for
    };
    struct Nearest {
        int figure = -1;  // none: a measurement more than two grid steps beyond every figure
        double distance = 0;
    };

    // Walks every figure of `group` (girls and boys: of age group `age`, or every one with
    // kAnyAge) and keeps the further features `features`; false with a message (Windows-1251)
    // when the table cannot be read or lacks one of them.
    bool Load(const std::string& dataDirectory, FigureGroup group, int age, const std::vector<int>& features,
              std::string& message);

    // The nearest figure to `person`, whose further features are the ones loaded, in that
    // order (an unset one counts for nothing); ties go to the figure first in the lists. With
    // an age group only that age group's figures are looked at, as if only they were loaded.
    Nearest Find(const std::optional<double> (&leading)[3], const std::vector<std::optional<double>>& features,
                 int age = kAnyAge) const;

    // The distance of `person` from one figure, as Find measures it; HUGE_VAL for a figure of
    // another age group than `age`.
    double Distance(const std::optional<double> (&leading)[3], const std::vector<std::optional<double>>& features,
                    int figure, int age = kAnyAge) const;

    const std::vector<Figure>& Figures() const { return figures_; }
    bool HasThird() const { return hasThird_; }
    // "164-96-104", as a size chart heads the figure's column; girls and boys with their age
    // group after it, "134-64-60 Младшая школьная" (Windows-1251).
    std::string Heading(int figure) const;

private:
    double AddFeatures(double sum, const std::vector<std::optional<double>>& features, int figure) const;

    struct Third {
        double value;
        int figure;
    };
    struct Chest {
        double value;
        std::vector<Third> thirds;  // ascending
    };
    struct Height {
        double value;
        std::vector<Chest> chests;  // ascending
    };

    std::vector<Figure> figures_;  // in the order the lists offer them
    std::vector<Height> heights_;  // ascending
    double steps_[3] = {6, 4, 4};
    double low_[5][3] = {}, high_[5][3] = {};  // per age group, then [4] for them all
    struct FeatureBounds {
        double low = HUGE_VAL, high = -HUGE_VAL, step = 0;  // step: the largest increment
    };
    std::vector<FeatureBounds> featureBounds_[5];  // per age group as low_, per further feature
    bool hasThird_ = false;
};

}  // namespace kelvo::figures
