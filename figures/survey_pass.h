#pragma once
// A survey file read from end to end: its header understood, its people given their figures
// as they come, a sample kept for choosing sizes; and the second pass that measures a set of
// sizes on every person. The window and kelvo-cli run the same passes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "figures/figure_grid.h"
#include "figures/size_choice.h"
#include "figures/survey.h"
#include "results/survey_report.h"

namespace kelvo::figures {

enum class SurveyFailure {
    None,
    Unreadable,   // the file cannot be opened or read
    Empty,        // no header
    NamedColumn,  // a column the user named is not in the header
    NoLeading,    // the header has no leading dimension
    Table,        // the group's table cannot be read or lacks a feature
    Cancelled,
    NoRow,        // not one person could be read
};

struct SurveyPass {
    SurveyLayout layout;
    FigureGrid grid;
    SurveyTally tally;
    std::vector<SampledPerson> sample;
};

// Told of the bytes read so far and the file's size (0 when unknown); false cancels.
using SurveyProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
using PersonSeen = std::function<void(long long line, const FigureGrid::Nearest& nearest)>;
using BadRow = std::function<void(long long line, int column, const std::string& why)>;

// Every line of the file at `native` in turn, CR, LF and CR LF alike, numbered from 1; false
// when it could not be read (errno says why) or `progress` cancelled.
bool ForEachSurveyLine(const std::string& native, const std::function<void(std::string_view, long long)>& line,
                       const SurveyProgress& progress = {});

// The first line of the file; false when it cannot be read or is empty.
bool ReadSurveyHeader(const std::string& native, std::string& header);

// ReadSurvey's age for girls and boys: each person's from the age column, every age group
// when the header has none.
inline constexpr int kAgeFromColumn = -2;

// The first pass; false with the failure and a message (UTF-8) for the user. `sampleSize`
// people within the grid are kept, uniformly drawn, for ChooseSizes. `age` is an age group,
// kAnyAge or kAgeFromColumn.
bool ReadSurvey(const std::string& native, const std::string& dataDirectory, const GroupEntry& group, int age,
                const SurveyColumns& columns, SurveyUnit unit, std::size_t sampleSize, SurveyPass& pass,
                SurveyFailure& failure, std::string& message, const PersonSeen& seen = {}, const BadRow& bad = {},
                const SurveyProgress& progress = {});

// The figures taken, as the summary lists them.
std::vector<results::SurveyRow> SurveyRows(const SurveyPass& pass);

// The sizes `set` measured on every person of the file: each takes the nearest of them.
// False when the file reads otherwise than the first time (a stream gives its lines once).
bool MeasureSizes(const std::string& native, const SurveyPass& pass, const std::vector<int>& set,
                  std::vector<results::SurveyRow>& served, const SurveyProgress& progress = {});

// The K sizes to make, and the K most frequent figures beside them, both measured on every
// person; the better is the choice. False as MeasureSizes.
bool ChooseAndMeasureSizes(const std::string& native, const SurveyPass& pass, int k,
                           std::vector<results::SurveyRow>& made, std::vector<results::SurveyRow>& frequent,
                           const SurveyProgress& progress = {});

}  // namespace kelvo::figures
