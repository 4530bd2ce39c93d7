// --survey: a body survey's people each given the nearest typical figure, in one pass over
// the file whatever its size; the figures with their people and shares; with --assign each
// person's figure, with --sizes K the K figures to make.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "figures/nearest_figure.h"
#include "figures/size_choice.h"
#include "figures/survey.h"
#include "platform/file.h"
#include "programs/cli_command.h"
#include "res/resource.h"
#include "results/export.h"
#include "results/survey_report.h"

namespace kelvo::cli {
namespace {

constexpr std::size_t kSample = 6000;   // people --sizes chooses on, whatever the survey's size
constexpr int kNamedBadRows = 20;

// Every line of the file in turn, CR, LF and CR LF alike; false when the file failed.
bool ForEachLine(const std::string& native, const std::function<void(std::string_view, long long)>& line,
                 std::string& error) {
    platform::InputFile file;
    if (!file.Open(native)) return error = std::strerror(errno), false;
    std::string buffer, carry;
    buffer.resize(1 << 20);
    long long number = 0;
    bool cr = false;  // the last chunk ended in CR: an LF first in the next is its pair
    for (;;) {
        const std::int64_t got = file.Read(buffer.data(), static_cast<std::int64_t>(buffer.size()));
        if (got < 0) return error = std::strerror(errno), false;
        if (got == 0) break;
        std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
        if (cr && !chunk.empty() && chunk.front() == '\n') chunk.remove_prefix(1);
        cr = false;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = chunk.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                carry.append(chunk.substr(start));
                break;
            }
            std::string_view text = chunk.substr(start, end - start);
            if (!carry.empty()) {
                carry.append(text);
                text = carry;
            }
            line(text, ++number);
            carry.clear();
            start = end + 1;
            if (chunk[end] == '\r') {
                if (start < chunk.size() && chunk[start] == '\n') ++start;
                else if (start == chunk.size()) cr = true;
            }
        }
    }
    if (!carry.empty()) line(carry, ++number);
    return true;
}

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
    int age = figures::kAnyAge;
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

    std::string error;
    bool stopped = false;
    {
        platform::InputFile file;
        if (!file.Open(native)) return Fail(1, "файл обмеров «" + *options.survey + "» не открыть: " + std::strerror(errno));
    }
    figures::SurveyLayout layout;
    bool named = false, haveHeader = false;
    figures::FigureGrid grid;
    figures::SurveyTally tally;
    std::vector<std::optional<double>> features;
    std::optional<double> leading[3];
    std::vector<figures::SampledPerson> sample;
    std::mt19937_64 random(20261209u);
    long long namedBad = 0;
    AssignFile assign;
    if (options.assign) {
        std::string assignPath;
        if (!CommandLinePath(*options.assign, assignPath)) return UnusablePath(*options.assign);
        if (!assign.Open(platform::NativePath(assignPath))) return Fail(1, "--assign: файл не создать: " + std::string(std::strerror(errno)));
    }
    int code = 0;
    // The header first: it says which cells to read, and which further features to load.
    const auto onLine = [&](std::string_view line, long long number) {
        if (stopped) return;
        if (!haveHeader) {
            haveHeader = true;
            if (!layout.Read(line, group, columns, UnitNamed(options.units), message, named)) {
                code = Fail(named ? 2 : 1, *options.survey + ": " + message);
                stopped = true;
                return;
            }
            if (!grid.Load(dialog.DataDirectory(), group.group, age, layout.Features(), message)) {
                code = Fail(1, AnsiToUtf8(message));
                stopped = true;
                return;
            }
            tally.people.assign(grid.Figures().size(), 0);
            tally.distances.assign(grid.Figures().size(), 0);
            std::fprintf(stderr, "kelvo-cli: столбцы: %s\n", layout.Found().c_str());
            return;
        }
        if (line.find_first_not_of(" \t;,") == std::string_view::npos) return;
        int column = 0;
        std::string why;
        if (!layout.Person(line, leading, features, column, why)) {
            ++tally.bad;
            if (++namedBad <= kNamedBadRows)
                std::fprintf(stderr, "kelvo-cli: строка %lld, столбец %d: %s\n", number, column, why.c_str());
            return;
        }
        const figures::FigureGrid::Nearest nearest = grid.Find(leading, features);
        tally.Add(nearest);
        if (options.assign)
            assign.Write(results::AssignLine(number, nearest.figure >= 0 ? grid.Heading(nearest.figure) : "",
                                             nearest.distance, nearest.figure < 0, dialect));
        // A uniform sample of the people within the grid, as many as it holds at most.
        if (sizes > 0 && nearest.figure >= 0) {
            const long long seen = tally.read - tally.beyond;
            figures::SampledPerson person{{leading[0], leading[1], leading[2]}, features};
            if (sample.size() < kSample) sample.push_back(std::move(person));
            else if (const auto slot = std::uniform_int_distribution<long long>(0, seen - 1)(random);
                     slot < static_cast<long long>(kSample))
                sample[static_cast<std::size_t>(slot)] = std::move(person);
        }
    };
    if (!ForEachLine(native, onLine, error)) return Fail(1, "файл обмеров «" + *options.survey + "» не прочитан: " + error);
    if (stopped) return code;
    if (!haveHeader) return Fail(1, "файл обмеров «" + *options.survey + "» пуст");
    if (namedBad > kNamedBadRows)
        std::fprintf(stderr, "kelvo-cli: и ещё строк с ошибками: %lld\n", namedBad - kNamedBadRows);
    if (tally.read == 0) return Fail(1, "ни одной строки обмеров не прочитано");
    if (options.assign && !assign.Close()) return Fail(1, "--assign: файл не записан");

    std::vector<results::SurveyRow> rows;
    for (std::size_t f = 0; f < grid.Figures().size(); ++f)
        rows.push_back({grid.Heading(static_cast<int>(f)), tally.people[f], tally.distances[f], 0});
    std::string text = results::SurveySummaryCsv(rows, {tally.read, tally.beyond, tally.bad}, dialect);

    if (sizes > 0) {
        // The candidates: every figure somebody took; the seed, the K most frequent of them.
        std::vector<int> candidates;
        for (std::size_t f = 0; f < tally.people.size(); ++f)
            if (tally.people[f] > 0) candidates.push_back(static_cast<int>(f));
        std::vector<int> frequent = candidates;
        std::stable_sort(frequent.begin(), frequent.end(), [&](int a, int b) {
            return tally.people[static_cast<std::size_t>(a)] > tally.people[static_cast<std::size_t>(b)];
        });
        frequent.resize(std::min<std::size_t>(frequent.size(), static_cast<std::size_t>(sizes)));
        std::vector<int> chosen = figures::ChooseSizes(grid, sample, candidates, sizes, frequent);
        // Both measured on every person: a second pass, the same lines.
        const auto measure = [&](const std::vector<int>& set) {
            std::vector<results::SurveyRow> served;
            for (const int f : set) served.push_back({grid.Heading(f), 0, 0, 0});
            bool first = true;
            ForEachLine(native, [&](std::string_view line, long long) {
                if (first) return void(first = false);
                int column = 0;
                std::string why;
                if (line.find_first_not_of(" \t;,") == std::string_view::npos ||
                    !layout.Person(line, leading, features, column, why) || grid.Find(leading, features).figure < 0)
                    return;
                std::size_t best = 0;
                double distance = 0;
                for (std::size_t i = 0; i < set.size(); ++i) {
                    const double d = grid.Distance(leading, features, set[i]);
                    if (i == 0 || d < distance) best = i, distance = d;
                }
                served[best].people += 1;
                served[best].distance += distance;
                served[best].withinStep += distance <= 1.0;
            }, error);
            return served;
        };
        std::vector<results::SurveyRow> made = measure(chosen), compared = measure(frequent);
        const auto total = [](const std::vector<results::SurveyRow>& set) {
            double sum = 0;
            for (const auto& row : set) sum += row.distance;
            return sum;
        };
        long long measured = 0;
        for (const auto& row : made) measured += row.people;
        // A pipe gives its lines once: the second pass would measure nobody.
        if (measured != tally.read - tally.beyond)
            return Fail(1, "--sizes: файл обмеров читается дважды, а второй раз прочитан не так, как первый "
                           "(поток?): нужен обычный файл");
        // Chosen on a sample: on every person the most frequent may still do better; then they are the choice.
        if (total(compared) < total(made)) made = compared;
        text += "\r\n" + results::SurveySizesCsv(made, compared, dialect);
    }
    if (!options.output) return Emit(text);
    std::string output;
    if (!CommandLinePath(*options.output, output)) return UnusablePath(*options.output);
    return results::WriteWholeFile(output, text, message) ? 0 : Fail(1, AnsiToUtf8(message));
}

}  // namespace kelvo::cli
