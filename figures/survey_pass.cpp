#include "figures/survey_pass.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/codepage.h"
#include "platform/file.h"

namespace kelvo::figures {

bool ForEachSurveyLine(const std::string& native, const std::function<void(std::string_view, long long)>& line,
                       const SurveyProgress& progress) {
    platform::InputFile file;
    if (!file.Open(native, true)) return false;  // a pipe too: its lines as they come
    std::int64_t size = 0, done = 0;
    if (!file.Size(size)) size = 0;
    std::string buffer, carry;
    buffer.resize(1 << 20);
    long long number = 0;
    bool cr = false;  // the last piece ended in CR: an LF first in the next is its pair
    for (;;) {
        const std::int64_t got = file.Read(buffer.data(), static_cast<std::int64_t>(buffer.size()));
        if (got < 0) return false;
        if (got == 0) break;
        done += got;
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
        if (progress && !progress(done, size)) return false;
    }
    if (!carry.empty()) line(carry, ++number);
    return true;
}

bool ReadSurveyHeader(const std::string& native, std::string& header) {
    bool got = false;
    ForEachSurveyLine(native, [&](std::string_view line, long long) {
        if (!got) header = line, got = true;
    }, [&](std::int64_t, std::int64_t) { return !got; });
    return got;
}

bool ReadSurvey(const std::string& native, const std::string& dataDirectory, const GroupEntry& group, int age,
                const SurveyColumns& columns, SurveyUnit unit, std::size_t sampleSize, SurveyPass& pass,
                SurveyFailure& failure, std::string& message, const PersonSeen& seen, const BadRow& bad,
                const SurveyProgress& progress) {
    failure = SurveyFailure::None;
    pass = {};
    bool haveHeader = false, cancelled = false;
    std::vector<std::optional<double>> features;
    std::optional<double> leading[3];
    std::mt19937_64 random(20261209u);
    const auto onLine = [&](std::string_view line, long long number) {
        if (failure != SurveyFailure::None) return;
        // The header first: it says which cells to read, and which further features to load.
        if (!haveHeader) {
            haveHeader = true;
            bool named = false;
            if (!pass.layout.Read(line, group, columns, unit, age == kAgeFromColumn, message, named)) {
                failure = named ? SurveyFailure::NamedColumn : SurveyFailure::NoLeading;
                return;
            }
            if (!pass.grid.Load(dataDirectory, group.group, std::max(age, kAnyAge), pass.layout.Features(), message)) {
                message = platform::AnsiToUtf8(message);
                failure = SurveyFailure::Table;
                return;
            }
            pass.tally.people.assign(pass.grid.Figures().size(), 0);
            pass.tally.distances.assign(pass.grid.Figures().size(), 0);
            return;
        }
        if (line.find_first_not_of(" \t;,") == std::string_view::npos) return;
        int column = 0, personAge = kAnyAge;
        std::string why;
        if (!pass.layout.Person(line, leading, features, personAge, column, why)) {
            ++pass.tally.bad;
            if (bad) bad(number, column, why);
            return;
        }
        const FigureGrid::Nearest nearest = pass.grid.Find(leading, features, personAge);
        pass.tally.Add(nearest);
        if (seen) seen(number, nearest);
        // A uniform sample of the people within the grid, as many as it holds at most.
        if (sampleSize > 0 && nearest.figure >= 0) {
            const long long within = pass.tally.read - pass.tally.beyond;
            SampledPerson person{{leading[0], leading[1], leading[2]}, features, personAge};
            if (pass.sample.size() < sampleSize) pass.sample.push_back(std::move(person));
            else if (const auto slot = std::uniform_int_distribution<long long>(0, within - 1)(random);
                     slot < static_cast<long long>(sampleSize))
                pass.sample[static_cast<std::size_t>(slot)] = std::move(person);
        }
    };
    const auto watched = [&](std::int64_t done, std::int64_t total) {
        cancelled = progress && !progress(done, total);
        return !cancelled;
    };
    const bool read = ForEachSurveyLine(native, onLine, watched);
    if (failure != SurveyFailure::None) return false;
    if (cancelled) return failure = SurveyFailure::Cancelled, message = "прервано", false;
    if (!read) return failure = SurveyFailure::Unreadable, message = "файл не читается", false;
    if (!haveHeader) return failure = SurveyFailure::Empty, message = "файл пуст", false;
    if (pass.tally.read == 0) return failure = SurveyFailure::NoRow, message = "ни одной строки обмеров не прочитано", false;
    return true;
}

std::vector<results::SurveyRow> SurveyRows(const SurveyPass& pass) {
    std::vector<results::SurveyRow> rows;
    for (std::size_t f = 0; f < pass.grid.Figures().size(); ++f)
        rows.push_back({pass.grid.Heading(static_cast<int>(f)), pass.tally.people[f], pass.tally.distances[f], 0});
    return rows;
}

bool MeasureSizes(const std::string& native, const SurveyPass& pass, const std::vector<int>& set,
                  std::vector<results::SurveyRow>& served, const SurveyProgress& progress) {
    served.clear();
    for (const int f : set) served.push_back({pass.grid.Heading(f), 0, 0, 0});
    std::vector<std::optional<double>> features;
    std::optional<double> leading[3];
    bool first = true;
    long long measured = 0;
    const bool read = ForEachSurveyLine(native, [&](std::string_view line, long long) {
        if (first) return void(first = false);
        int column = 0, age = kAnyAge;
        std::string why;
        if (line.find_first_not_of(" \t;,") == std::string_view::npos ||
            !pass.layout.Person(line, leading, features, age, column, why) ||
            pass.grid.Find(leading, features, age).figure < 0)
            return;
        std::size_t best = 0;
        double distance = HUGE_VAL;
        for (std::size_t i = 0; i < set.size(); ++i) {
            const double d = pass.grid.Distance(leading, features, set[i], age);
            if (d < distance) best = i, distance = d;
        }
        ++measured;
        // No size of the person's age group among them: measured, and served by none.
        if (!std::isfinite(distance)) return;
        served[best].people += 1;
        served[best].distance += distance;
        served[best].withinStep += distance <= 1.0;
    }, progress);
    // A pipe gives its lines once: the second pass would measure nobody.
    return read && measured == pass.tally.read - pass.tally.beyond;
}

bool ChooseAndMeasureSizes(const std::string& native, const SurveyPass& pass, int k,
                           std::vector<results::SurveyRow>& made, std::vector<results::SurveyRow>& frequent,
                           const SurveyProgress& progress) {
    // The candidates: every figure somebody took; the seed, the K most frequent of them.
    std::vector<int> candidates;
    for (std::size_t f = 0; f < pass.tally.people.size(); ++f)
        if (pass.tally.people[f] > 0) candidates.push_back(static_cast<int>(f));
    std::vector<int> seed = candidates;
    std::stable_sort(seed.begin(), seed.end(), [&](int a, int b) {
        return pass.tally.people[static_cast<std::size_t>(a)] > pass.tally.people[static_cast<std::size_t>(b)];
    });
    seed.resize(std::min<std::size_t>(seed.size(), static_cast<std::size_t>(k)));
    const std::vector<int> chosen = ChooseSizes(pass.grid, pass.sample, candidates, k, seed);
    if (!MeasureSizes(native, pass, chosen, made, progress) || !MeasureSizes(native, pass, seed, frequent, progress))
        return false;
    const auto total = [](const std::vector<results::SurveyRow>& set) {
        double sum = 0;
        for (const auto& row : set) sum += row.distance;
        return sum;
    };
    // Chosen on a sample: on every person the most frequent may still do better; then they are the choice.
    if (total(frequent) < total(made)) made = frequent;
    return true;
}

}  // namespace kelvo::figures
