#pragma once
// A survey's figures as CSV for a spreadsheet, in the size chart's dialects: the figures the
// people take with their shares, and the sizes chosen to make.

#include <string>
#include <vector>

#include "results/csv_writer.h"

namespace kelvo::results {

// One figure and the people it serves.
struct SurveyRow {
    std::string figure;  // "164-96-104", Windows-1251
    long long people = 0;
    double distance = 0;     // summed
    long long withinStep = 0;  // people no farther than one grid step
};

struct SurveyCounts {
    long long read = 0, beyond = 0, bad = 0;
};

// The figures anybody takes, most people first (as given where equal): figure, people, share
// of the people within the grid in %, mean distance; then the counts.
std::string SurveySummaryCsv(std::vector<SurveyRow> rows, const SurveyCounts& counts, CsvDialect dialect);

// The sizes chosen, each with its people, share of the `within` people within the grid, mean
// distance and share within one step, and their totals; then the same totals for `compared`
// (the K most frequent figures). People no size serves (children of an age group none of
// them has) are counted on a line of their own.
std::string SurveySizesCsv(const std::vector<SurveyRow>& sizes, const std::vector<SurveyRow>& compared,
                           long long within, CsvDialect dialect);

// "164-96-104" or, beyond the grid, "вне сетки"; the distance with two decimals. A line of the
// file --assign writes, in the dialect's separators.
std::string AssignLine(long long line, const std::string& figure, double distance, bool beyond, CsvDialect dialect);

}  // namespace kelvo::results
