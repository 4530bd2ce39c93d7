// --survey: a body survey's people each given the nearest typical figure, in one pass over
// the file whatever its size; the figures with their people and shares; with --assign each
// person's figure, with --sizes K the K figures to make.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "figures/nearest_figure.h"
#include "figures/survey_pass.h"
#include "platform/file.h"
#include "programs/cli_command.h"
#include "res/resource.h"
#include "results/export.h"
#include "results/survey_report.h"

namespace kelvo::cli {
namespace {

constexpr std::size_t kSample = 6000;   // people --sizes chooses on, whatever the survey's size
constexpr int kNamedBadRows = 20;

// Lines of --assign, written as they come, through a file beside the target that replaces
// it at the end: a failed run leaves the old file.
class AssignFile {
public:
    bool Open(const std::string& native) {
        target_ = native;
        part_ = native + ".part";
        file_ = std::fopen(part_.c_str(), "wb");
        return file_ != nullptr;
    }
    void Write(const std::string& text) {
        pending_ += text;
        if (pending_.size() > (1 << 20)) Flush();
    }
    bool Close() {
        Flush();
        const bool written = file_ && std::fclose(file_) == 0 && ok_;
        file_ = nullptr;
        if (written && std::rename(part_.c_str(), target_.c_str()) == 0) return true;
        std::remove(part_.c_str());
        return false;
    }
    ~AssignFile() {
        if (file_) {
            std::fclose(file_);
            std::remove(part_.c_str());
        }
    }

private:
    void Flush() {
        if (file_ && !pending_.empty()) ok_ = std::fwrite(pending_.data(), 1, pending_.size(), file_) == pending_.size() && ok_;
        pending_.clear();
    }
    std::string target_, part_, pending_;
    std::FILE* file_ = nullptr;
    bool ok_ = true;
};

figures::SurveyUnit UnitNamed(const std::optional<std::string>& unit) {
    if (unit == "mm") return figures::SurveyUnit::Mm;
    if (unit == "inch") return figures::SurveyUnit::Inch;
    return figures::SurveyUnit::Cm;
}

}  // namespace

int RunSurvey(HeadlessWindow& window, const app::FigureDialog& dialog, const figures::GroupEntry& group,
              const Options& options) {
    std::string path;
    if (!CommandLinePath(*options.survey, path)) return UnusablePath(*options.survey);
    const std::string native = platform::NativePath(path);
    // No --age: each girl's or boy's own, when the survey has an age column; "any" opens
    // every age group to everybody.
    int age = options.age ? figures::kAnyAge : figures::kAgeFromColumn;
    if (group.hasAgeGroups && options.age && AnsiLower(*options.age) != "any") {
        const auto index = EntryIndex(*options.age, window.Entries(res::kIdAgeList));
        if (!index) return Fail(2, "в списке «Возрастная группа» нет значения «" + *options.age + "»");
        age = *index;
    }
    int sizes = 0;
    if (options.sizes) {
        const auto [end, code] = std::from_chars(options.sizes->data(), options.sizes->data() + options.sizes->size(), sizes);
        if (code != std::errc() || end != options.sizes->data() + options.sizes->size() || sizes < 1 || sizes > 200)
            return Fail(2, "--sizes: нужно число размеров от 1 до 200, а не «" + *options.sizes + "»");
    }
    figures::SurveyColumns columns;
    std::string message;
    if (options.columns && !figures::ParseSurveyColumns(*options.columns, group.third, columns, message))
        return Fail(2, "--columns: " + message);
    const auto dialect = options.chartFormat == "rfc4180" ? results::CsvDialect::Rfc4180 : results::CsvDialect::Spreadsheet;

    AssignFile assign;
    if (options.assign) {
        std::string assignPath;
        if (!CommandLinePath(*options.assign, assignPath)) return UnusablePath(*options.assign);
        if (!assign.Open(platform::NativePath(assignPath)))
            return Fail(1, "--assign: файл не создать: " + std::string(std::strerror(errno)));
    }
    figures::SurveyPass pass;
    figures::SurveyFailure failure = figures::SurveyFailure::None;
    long long namedBad = 0;
    bool announced = false;
    const auto seen = [&](long long line, const figures::FigureGrid::Nearest& nearest) {
        if (!announced) {
            announced = true;
            std::fprintf(stderr, "kelvo-cli: столбцы: %s\n", pass.layout.Found().c_str());
        }
        if (options.assign)
            assign.Write(results::AssignLine(line, nearest.figure >= 0 ? pass.grid.Heading(nearest.figure) : "",
                                             nearest.distance, nearest.figure < 0, dialect));
    };
    const auto bad = [&](long long line, int column, const std::string& why) {
        if (++namedBad <= kNamedBadRows) std::fprintf(stderr, "kelvo-cli: строка %lld, столбец %d: %s\n", line, column, why.c_str());
    };
    if (!figures::ReadSurvey(native, dialog.DataDirectory(), group, age, columns, UnitNamed(options.units),
                             sizes > 0 ? kSample : 0, pass, failure, message, seen, bad)) {
        const bool wrongOption = failure == figures::SurveyFailure::NamedColumn;
        if (failure == figures::SurveyFailure::Unreadable)
            return Fail(1, "файл обмеров «" + *options.survey + "» не прочитан: " + std::strerror(errno));
        return Fail(wrongOption ? 2 : 1, *options.survey + ": " + message);
    }
    if (namedBad > kNamedBadRows) std::fprintf(stderr, "kelvo-cli: и ещё строк с ошибками: %lld\n", namedBad - kNamedBadRows);
    if (options.assign && !assign.Close()) return Fail(1, "--assign: файл не записан");
    std::string text = results::SurveySummaryCsv(figures::SurveyRows(pass),
                                                 {pass.tally.read, pass.tally.beyond, pass.tally.bad}, dialect);
    if (sizes > 0) {
        std::vector<results::SurveyRow> made, frequent;
        if (!figures::ChooseAndMeasureSizes(native, pass, sizes, made, frequent))
            return Fail(1, "--sizes: файл обмеров читается дважды, а второй раз прочитан не так, как первый "
                           "(поток?): нужен обычный файл");
        text += "\r\n" + results::SurveySizesCsv(made, frequent, pass.tally.read - pass.tally.beyond, dialect);
    }
    if (!options.output) return Emit(text);
    std::string output;
    if (!CommandLinePath(*options.output, output)) return UnusablePath(*options.output);
    return WriteOutputFile(output, text, message) ? 0 : Fail(1, AnsiToUtf8(message));
}

}  // namespace kelvo::cli
