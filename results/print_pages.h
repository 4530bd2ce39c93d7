#pragma once
// The measurement sheet of a figure (A4 portrait) and a size chart (A4 landscape) laid out
// on pages, once for every device: the device only measures texts and draws what is placed.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/page_canvas.h"
#include "results/measurement_files.h"
#include "results/result_table.h"
#include "results/size_chart.h"

namespace kelvo::results {

// What heads every page: the title in bold, then lines of plain text (the range of a chart,
// the data folder and the date). Windows-1251.
struct PrintHeading {
    std::string title;
    std::vector<std::string> lines;
};

// "Типовая фигура: Женщины, 164-96-104 (T1-T16-T19)", then the data folder and the date.
PrintHeading SheetHeading(const MeasuredFigure& figure, std::string_view folder, std::string_view date);
// "Таблица размеров: Девочки, <age group>", then `range` (what part of the chart), the data
// folder and the date. An empty age group or range leaves it out.
PrintHeading ChartHeading(std::string_view group, std::string_view ageGroup, std::string_view range,
                          std::string_view folder, std::string_view date);
// The local date as "dd.mm.yyyy".
std::string DateText(std::time_t time);

// Every row's number, name, value and both increments, as the list shows them; an edited
// value bold and marked "*", an illustrative one marked "+", with a legend on every page
// that has a mark. Long names wrap within their column.
platform::PageSet LayOutSheet(const ResultTable& rows, const PrintHeading& heading, platform::TextMeasure& measure);

// The chart in blocks of whole rows and whole figures: feature number and name at the left
// of every page, the figures' headings at the top; down the rows first, then across.
platform::PageSet LayOutChart(const SizeChart& chart, const PrintHeading& heading, platform::TextMeasure& measure);

}  // namespace kelvo::results
