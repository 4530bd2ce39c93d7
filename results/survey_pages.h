#pragma once
// A survey on paper and in the window: the heat map of its people over heights and chest
// girths, and the report of A4 pages with the heat map and the figures the people take.

#include <string>
#include <vector>

#include "platform/page_canvas.h"
#include "results/print_pages.h"
#include "results/survey_report.h"

namespace kelvo::results {

// People by height (rows) and chest girth (columns), the captions ascending (Windows-1251).
struct SurveyHeatMap {
    std::vector<std::string> heights, chests;
    std::vector<std::vector<long long>> people;  // [height][chest]
};

// The heat map drawn into `page` within `width` × `height` mm from (x, y): a cell per height
// and chest, the darker the more people, its count in it; heights down the left, chests along
// the top.
void DrawHeatMap(const SurveyHeatMap& map, double x, double y, double width, double height, platform::Page& page);

// "Размерно-ростовочный ассортимент: Женщины", the file, the data folder and the date.
PrintHeading SurveyHeading(std::string_view group, std::string_view file, std::string_view folder, std::string_view date);

// A4 portrait: the heading and the heat map, then the figures with their people, share and
// mean distance, most people first, as many pages as they take; the counts at the end.
platform::PageSet LayOutSurveyReport(std::vector<SurveyRow> rows, const SurveyCounts& counts, const SurveyHeatMap& map,
                                     const PrintHeading& heading, platform::TextMeasure& measure);

}  // namespace kelvo::results
