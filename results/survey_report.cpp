#include "results/survey_report.h"

#include <algorithm>
#include <cstdio>

#include "platform/ansi_text.h"

namespace kelvo::results {
namespace {

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double Share(long long part, long long whole) { return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0; }
double Mean(double sum, long long count) { return count > 0 ? sum / static_cast<double>(count) : 0; }

void Totals(CsvWriter& csv, std::string_view caption, const std::vector<SurveyRow>& rows) {
    long long people = 0, within = 0;
    double distance = 0;
    for (const SurveyRow& row : rows) people += row.people, within += row.withinStep, distance += row.distance;
    csv.Field(caption);
    csv.Value(std::to_string(people));
    csv.Value(Fixed(distance, 2));
    csv.Value(Fixed(Mean(distance, people), 3));
    csv.Value(Fixed(Share(within, people), 1));
    csv.EndLine();
}

}  // namespace

std::string SurveySummaryCsv(std::vector<SurveyRow> rows, const SurveyCounts& counts, CsvDialect dialect) {
    static constexpr platform::AnsiText kFigure(u8"Фигура");
    static constexpr platform::AnsiText kPeople(u8"Людей");
    static constexpr platform::AnsiText kShare(u8"Доля, %");
    static constexpr platform::AnsiText kMean(u8"Среднее расстояние");
    const std::string_view kHeading[] = {kFigure, kPeople, kShare, kMean};
    static constexpr platform::AnsiText kRead(u8"Прочитано людей");
    static constexpr platform::AnsiText kWithin(u8"В сетке");
    static constexpr platform::AnsiText kBeyond(u8"Вне сетки");
    static constexpr platform::AnsiText kBad(u8"Строк не прочитано");
    std::stable_sort(rows.begin(), rows.end(), [](const SurveyRow& a, const SurveyRow& b) { return a.people > b.people; });
    const long long within = counts.read - counts.beyond;
    std::string out;
    CsvWriter csv(out, dialect);
    for (const auto& caption : kHeading) csv.Field(caption);
    csv.EndLine();
    for (const SurveyRow& row : rows) {
        if (row.people == 0) continue;
        csv.Field(row.figure);
        csv.Value(std::to_string(row.people));
        csv.Value(Fixed(Share(row.people, within), 2));
        csv.Value(Fixed(Mean(row.distance, row.people), 3));
        csv.EndLine();
    }
    csv.EndLine();
    const std::pair<std::string_view, long long> totals[] = {
        {kRead, counts.read}, {kWithin, within}, {kBeyond, counts.beyond}, {kBad, counts.bad}};
    for (const auto& [caption, count] : totals) {
        csv.Field(caption);
        csv.Value(std::to_string(count));
        csv.EndLine();
    }
    return out;
}

std::string SurveySizesCsv(const std::vector<SurveyRow>& sizes, const std::vector<SurveyRow>& compared,
                           long long within, CsvDialect dialect) {
    static constexpr platform::AnsiText kSize(u8"Размер");
    static constexpr platform::AnsiText kPeople(u8"Людей");
    static constexpr platform::AnsiText kShare(u8"Доля, %");
    static constexpr platform::AnsiText kMean(u8"Среднее расстояние");
    static constexpr platform::AnsiText kWithin(u8"В пределах шага, %");
    const std::string_view kHeading[] = {kSize, kPeople, kShare, kMean, kWithin};
    static constexpr platform::AnsiText kTotals(u8"Итого: людей, суммарное и среднее расстояние, в пределах шага, %");
    static constexpr platform::AnsiText kCompared(u8"Для сравнения: столько же самых частых фигур");
    static constexpr platform::AnsiText kUnserved(u8"Без размера своей возрастной группы");
    long long served = 0;
    for (const SurveyRow& row : sizes) served += row.people;
    std::string out;
    CsvWriter csv(out, dialect);
    for (const auto& caption : kHeading) csv.Field(caption);
    csv.EndLine();
    for (const SurveyRow& row : sizes) {
        csv.Field(row.figure);
        csv.Value(std::to_string(row.people));
        csv.Value(Fixed(Share(row.people, within), 2));
        csv.Value(Fixed(Mean(row.distance, row.people), 3));
        csv.Value(Fixed(Share(row.withinStep, row.people), 1));
        csv.EndLine();
    }
    if (within > served) {
        csv.Field(kUnserved);
        csv.Value(std::to_string(within - served));
        csv.Value(Fixed(Share(within - served, within), 2));
        csv.EndLine();
    }
    csv.EndLine();
    Totals(csv, kTotals, sizes);
    Totals(csv, kCompared, compared);
    return out;
}

std::string AssignLine(long long line, const std::string& figure, double distance, bool beyond, CsvDialect dialect) {
    static constexpr platform::AnsiText kBeyond(u8"вне сетки");
    std::string out;
    CsvWriter csv(out, dialect);
    csv.Value(std::to_string(line));
    csv.Field(beyond ? std::string(kBeyond.view()) : figure);
    if (beyond) csv.Field("");
    else csv.Value(Fixed(distance, 3));
    csv.EndLine();
    return out;
}

}  // namespace kelvo::results
