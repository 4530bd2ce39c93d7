#pragma once
// The figure the lists show, as the measurement files describe it: group, age group,
// leading dimensions and the ranges of the height and chest lists.

#include "platform/controls.h"
#include "results/measurement_files.h"

namespace kelvo::app {

struct FigureLists {
    const platform::ComboBox& group;
    const platform::ComboBox& age;
    const platform::ComboBox& height;  // T1
    const platform::ComboBox& chest;   // T16
    const platform::ComboBox& third;   // T18 or T19
};

// The figure of the lists' selections. Only meaningful while the lists hold a computed figure.
results::MeasuredFigure DescribeFigure(const FigureLists& lists);

}  // namespace kelvo::app
