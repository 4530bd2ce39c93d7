#pragma once
// The figure shown, for the pattern-making programs: individual measurements (.vit), a
// multisize table around the figure (.vst), and JSON for scripts. The XML and the JSON are
// UTF-8; everything handed in is Windows-1251, as the list shows it.

#include <string>
#include <utility>
#include <vector>

#include "results/result_table.h"

namespace kelvo::results {

enum class MeasurementFormat { Vit, Vst, Json };

// A leading dimension as its selection list offers it, in cm: the figure's entry and the
// list's range. A list of one entry has min = max and step 0.
struct FigureDimension {
    int base = 0, min = 0, max = 0, step = 0;
};

// What the files tell of the figure besides its rows.
struct MeasuredFigure {
    std::string groupKey;  // the group's column in the name table: nursery, girls, boys, women, men
    std::string group;     // the group list's caption
    std::string ageGroup;  // the age list's caption; empty for groups without age groups
    std::string gender;    // male, female or unknown
    std::vector<std::pair<std::string, int>> leading;  // ("T1", 176), ("T16", 100), ("T18", 78)
    FigureDimension height;
    FigureDimension size;  // the chest girth, or half of it (the size) where halfChest
    bool halfChest = false;
};

// The file's bytes in `bytes`; false with a message for the user (Windows-1251) when a value
// is not a number, which none of the three formats could carry.
bool BuildMeasurementFile(MeasurementFormat format, const MeasuredFigure& figure, const ResultTable& table,
                          std::string& bytes, std::string& message);

// Builds the file and writes it to `path` as a whole or not at all; false with a message.
bool WriteMeasurementFile(const std::string& path, MeasurementFormat format, const MeasuredFigure& figure,
                          const ResultTable& table, std::string& message);

// A number as the list shows it, as the files write it: blanks around it dropped, a decimal
// comma made a point, "+", leading zeros and a bare trailing point dropped ("0160,5" gives
// "160.5"). Empty when the text is not a plain decimal number.
std::string DecimalText(std::string_view text);

}  // namespace kelvo::results
