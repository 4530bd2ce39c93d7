#pragma once
// The names the pattern-making programs know measurements by, per feature number and group:
// data/measurement_names.csv, compiled in.

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::results {

struct MeasurementNameRow {
    std::string number;               // Windows-1251, as the feature tables write it: "16", "34а"
    std::vector<std::string> groups;  // nursery, girls, boys, women, men
    std::string name;                 // "lowbust_circ"
    // A girth's other form under its own name: the half beside the full girth, or the whole
    // beside the half; empty where there is none.
    std::string otherName;
    bool otherIsHalf = false;  // the other form is half this one (else twice it)
};

// Every row of the table, in its order.
const std::vector<MeasurementNameRow>& MeasurementNameRows();

// The known name of feature `number` (blanks around it ignored) in `group`, or empty.
std::string_view KnownMeasurementName(std::string_view group, std::string_view number);
// The row that gives feature `number` its known name in `group`, or null.
const MeasurementNameRow* KnownMeasurement(std::string_view group, std::string_view number);

// The CSV text itself (UTF-8), generated into the build from the data folder.
std::string_view MeasurementNamesCsv();

}  // namespace kelvo::results
