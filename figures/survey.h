#pragma once
// A body survey read for the figures its people take: a CSV of people, one a line after a
// header, its columns found by their names (or named by the user), its dialect and code page
// detected, read line by line so that its size does not matter. Each person goes to the
// nearest typical figure of a FigureGrid. Not a general CSV reader: a quoted cell may not
// hold a line break.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figures/figure_grid.h"
#include "figures/group_registry.h"
#include "figures/nearest_figure.h"

namespace kelvo::figures {

enum class SurveyUnit { Cm, Mm, Inch };

// The file's own names for the dimensions, as --columns gives them ("T1=stature,13=neck");
// an unnamed one is looked for under its usual names (T1, Рост, height, stature, …).
struct SurveyColumns {
    std::optional<std::string> height, chest, third;  // UTF-8
    std::optional<std::string> age;                    // the age in years, "age=Возраст"
    std::vector<std::pair<int, std::string>> features;
    bool omitted[3] = {false, false, false};  // a leading dimension the user leaves out
};

// "T1=stature,T16=chest,T19=hip,13=neck"; false with a message (UTF-8) naming the part.
bool ParseSurveyColumns(std::string_view text, ThirdDimension third, SurveyColumns& columns, std::string& message);

// The age group (0 Дошкольная to 3 Подростковая) of a girl or boy of `years`: 3 to 7, 7 to 12,
// 12 to 15, 15 to 18 years, an 18-year-old still a teenager; kAnyAge outside them (nursery
// children under 3, grown-ups from 19).
int AgeGroupOfYears(double years);

// The survey's header understood: which cell of a line holds which dimension.
class SurveyLayout {
public:
    // From the first line of the file (its byte-order mark, if any, still on it). False with a
    // message (UTF-8) when a column the user named is not there (`named` true then) or when no
    // leading dimension is found at all. With `ageFromColumn` (girls and boys, no age group
    // chosen) an age column is looked for too; without one every age group is open to all.
    bool Read(std::string_view header, const GroupEntry& group, const SurveyColumns& columns, SurveyUnit unit,
              bool ageFromColumn, std::string& message, bool& named);

    // One line of the file as a person and the age group the age column gives (kAnyAge
    // without one); false with the 1-based column and the reason when a cell it needs is
    // empty, no number, not positive, or an age outside the age groups.
    bool Person(std::string_view line, std::optional<double> (&leading)[3], std::vector<std::optional<double>>& features,
                int& age, int& badColumn, std::string& why) const;

    const std::vector<int>& Features() const { return featureNumbers_; }
    // The header's cells (UTF-8), and which holds each leading dimension (-1: none).
    const std::vector<std::string>& Names() const { return names_; }
    int Column(int dimension) const { return columns_[dimension]; }
    int AgeColumn() const { return ageColumn_; }
    char Separator() const { return separator_; }
    // The columns found, for the user: "T1: «Рост», T16: «Обхват груди»", UTF-8.
    std::string Found() const;

private:
    char separator_ = ',';
    bool decimalComma_ = false;
    double toCm_ = 1;
    int columns_[3] = {-1, -1, -1};       // leading dimensions' cells, -1 when absent
    int ageColumn_ = -1;
    std::vector<int> featureColumns_;
    std::vector<int> featureNumbers_;
    std::vector<std::string> names_;      // every header cell, UTF-8
};

// Splits a CSV line into its cells, quotes taken off; a cell's quotes doubled inside it are one.
void SplitCsvLine(std::string_view line, char separator, std::vector<std::string>& cells);

// How many people each figure takes, and how far they are from it.
struct SurveyTally {
    std::vector<long long> people;     // per figure of the grid
    std::vector<double> distances;     // summed, per figure
    long long read = 0, beyond = 0, bad = 0;

    void Add(const FigureGrid::Nearest& nearest);
};

}  // namespace kelvo::figures
