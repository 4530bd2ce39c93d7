#include "results/survey_pages.h"

#include <algorithm>
#include <cstdio>

#include "platform/ansi_text.h"

namespace kelvo::results {
namespace {

using platform::Page;
using platform::PageFont;
using platform::PageText;

constexpr double kMargin = 15;                 // mm on every side
constexpr double kLine = 5;                    // mm from one line of text to the next
constexpr double kWidth = platform::kA4Short, kHeight = platform::kA4Long;

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

void DrawHeatMap(const SurveyHeatMap& map, double x, double y, double width, double height, Page& page) {
    if (map.heights.empty() || map.chests.empty()) return;
    long long most = 1;
    for (const auto& row : map.people)
        for (const long long n : row) most = std::max(most, n);
    const double left = 12, top = 6;  // room for the captions
    const double cellW = (width - left) / static_cast<double>(map.chests.size());
    const double cellH = (height - top) / static_cast<double>(map.heights.size());
    for (std::size_t c = 0; c < map.chests.size(); ++c)
        page.texts.push_back({x + left + cellW * static_cast<double>(c) + 0.5, y + top - 1.5, PageFont::Body, map.chests[c]});
    for (std::size_t h = 0; h < map.heights.size(); ++h) {
        const double rowY = y + top + cellH * static_cast<double>(h);
        page.texts.push_back({x, rowY + cellH / 2 + 1.2, PageFont::Body, map.heights[h]});
        for (std::size_t c = 0; c < map.chests.size(); ++c) {
            const long long n = map.people[h][c];
            const double cellX = x + left + cellW * static_cast<double>(c);
            // Up to 0.85: the fullest cell dark enough to see, its white count still readable.
            const double shade = n == 0 ? 0 : 0.08 + 0.77 * static_cast<double>(n) / static_cast<double>(most);
            page.boxes.push_back({cellX, rowY, cellW, cellH, shade});
            if (n > 0 && cellW > 4) page.texts.push_back({cellX + 0.5, rowY + cellH / 2 + 1.2, PageFont::Body, std::to_string(n)});
        }
    }
    for (std::size_t c = 0; c <= map.chests.size(); ++c) {
        const double lineX = x + left + cellW * static_cast<double>(c);
        page.lines.push_back({lineX, y + top, lineX, y + height});
    }
    for (std::size_t h = 0; h <= map.heights.size(); ++h) {
        const double lineY = y + top + cellH * static_cast<double>(h);
        page.lines.push_back({x + left, lineY, x + width, lineY});
    }
}

PrintHeading SurveyHeading(std::string_view group, std::string_view file, std::string_view folder, std::string_view date) {
    static constexpr platform::AnsiText kTitle(u8"Размерно-ростовочный ассортимент: ");
    static constexpr platform::AnsiText kFile(u8"Файл обмеров: ");
    static constexpr platform::AnsiText kFolder(u8"Папка данных: ");
    static constexpr platform::AnsiText kDate(u8"Дата: ");
    return {std::string(kTitle.view()) + std::string(group),
            {std::string(kFile.view()) + std::string(file), std::string(kFolder.view()) + std::string(folder),
             std::string(kDate.view()) + std::string(date)}};
}

platform::PageSet LayOutSurveyReport(std::vector<SurveyRow> rows, const SurveyCounts& counts, const SurveyHeatMap& map,
                                     const PrintHeading& heading, platform::TextMeasure& measure) {
    static constexpr platform::AnsiText kMap(u8"Люди по росту (строки) и обхвату груди (столбцы):");
    static constexpr platform::AnsiText kFigure(u8"Фигура");
    static constexpr platform::AnsiText kPeople(u8"Людей");
    static constexpr platform::AnsiText kShare(u8"Доля, %");
    static constexpr platform::AnsiText kMean(u8"Среднее расстояние");
    static constexpr platform::AnsiText kCounts(u8"Прочитано людей: ");
    static constexpr platform::AnsiText kBeyond(u8", вне сетки: ");
    static constexpr platform::AnsiText kBad(u8", строк не прочитано: ");
    platform::PageSet pages;
    pages.orientation = platform::PageOrientation::Portrait;
    pages.title = heading.title;
    std::stable_sort(rows.begin(), rows.end(), [](const SurveyRow& a, const SurveyRow& b) { return a.people > b.people; });
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](const SurveyRow& r) { return r.people == 0; }), rows.end());
    const long long within = counts.read - counts.beyond;
    double y = kMargin;
    const auto newPage = [&] {
        pages.pages.emplace_back();
        Page& page = pages.pages.back();
        y = kMargin + 5;
        page.texts.push_back({kMargin, y, PageFont::Title, heading.title});
        for (const std::string& line : heading.lines) page.texts.push_back({kMargin, y += kLine, PageFont::Body, line});
        y += kLine * 2;
    };
    newPage();
    pages.pages.back().texts.push_back({kMargin, y, PageFont::Bold, std::string(kMap.view())});
    const double mapHeight = std::min(120.0, 8.0 * static_cast<double>(map.heights.size()) + 6);
    DrawHeatMap(map, kMargin, y + 2, kWidth - 2 * kMargin, mapHeight, pages.pages.back());
    y += mapHeight + kLine * 2;
    // The table's columns from the widest figure heading the device measures.
    double figureWidth = measure.TextWidth(PageFont::Bold, kFigure);
    for (const SurveyRow& row : rows) figureWidth = std::max(figureWidth, measure.TextWidth(PageFont::Body, row.figure));
    const double columns[] = {kMargin, kMargin + figureWidth + 6, kMargin + figureWidth + 30, kMargin + figureWidth + 54};
    const auto tableHead = [&] {
        const std::string_view captions[] = {kFigure, kPeople, kShare, kMean};
        for (int i = 0; i < 4; ++i) pages.pages.back().texts.push_back({columns[i], y, PageFont::Bold, std::string(captions[i])});
        pages.pages.back().lines.push_back({kMargin, y + 1.5, kWidth - kMargin, y + 1.5});
        y += kLine;
    };
    tableHead();
    for (const SurveyRow& row : rows) {
        if (y > kHeight - kMargin - kLine) {
            newPage();
            tableHead();
        }
        const std::string cells[] = {row.figure, std::to_string(row.people),
                                     Fixed(within > 0 ? 100.0 * static_cast<double>(row.people) / static_cast<double>(within) : 0, 2),
                                     Fixed(row.people > 0 ? row.distance / static_cast<double>(row.people) : 0, 3)};
        for (int i = 0; i < 4; ++i) pages.pages.back().texts.push_back({columns[i], y, PageFont::Body, cells[i]});
        y += kLine;
    }
    if (y > kHeight - kMargin - kLine) newPage();
    pages.pages.back().texts.push_back({kMargin, y + kLine, PageFont::Body,
                                        std::string(kCounts.view()) + std::to_string(counts.read) + std::string(kBeyond.view()) +
                                            std::to_string(counts.beyond) + std::string(kBad.view()) + std::to_string(counts.bad)});
    return pages;
}

}  // namespace kelvo::results
