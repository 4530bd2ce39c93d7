#include "results/print_pages.h"

#include <algorithm>
#include <string_view>

#include "platform/ansi_text.h"
#include "results/column_captions.h"
#include "results/csv_writer.h"

namespace kelvo::results {
namespace {

using platform::Page;
using platform::PageFont;
using platform::PageLine;
using platform::PageSet;
using platform::PageText;
using platform::TextMeasure;

constexpr platform::AnsiText kPage(u8"Стр. ");
constexpr platform::AnsiText kOf(u8" из ");
constexpr platform::AnsiText kEditedLegend(u8"* значение изменено пользователем");
constexpr platform::AnsiText kIllustrativeLegend(
    u8"+ иллюстративное значение: выведено для правдоподобия, ни из какого стандарта не взято");

constexpr double kMargin = 12.0;
constexpr double kLine = 4.6;      // one line of 9 pt text
constexpr double kAscent = 3.3;    // from the top of a line to its baseline
constexpr double kPad = 1.5;       // between a cell's text and its column's edge
constexpr double kFooter = 2 * kLine + 4.0;  // two legend lines, the page number below them

// The page's width and height for its orientation.
struct PageSize {
    double width, height;
};
PageSize SizeOf(platform::PageOrientation orientation) {
    return orientation == platform::PageOrientation::Portrait ? PageSize{platform::kA4Short, platform::kA4Long}
                                                              : PageSize{platform::kA4Long, platform::kA4Short};
}

// `text` broken into lines no wider than `width`: at blanks, and inside a word only where
// the word alone is wider. A text without signs gives one empty line.
std::vector<std::string> Wrap(TextMeasure& measure, PageFont font, std::string_view text, double width) {
    std::vector<std::string> lines(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t blank = text.find(' ', at);
        const std::size_t end = blank == std::string_view::npos ? text.size() : blank;
        std::string word(text.substr(at, end - at));
        at = end == text.size() ? end : end + 1;
        if (word.empty()) continue;
        std::string joined = lines.back().empty() ? word : lines.back() + ' ' + word;
        if (measure.TextWidth(font, joined) <= width) {
            lines.back() = std::move(joined);
            continue;
        }
        if (!lines.back().empty()) lines.emplace_back();
        // A word wider than the column is cut where it stops fitting.
        while (measure.TextWidth(font, word) > width && word.size() > 1) {
            std::size_t fits = 1;
            while (fits < word.size() && measure.TextWidth(font, word.substr(0, fits + 1)) <= width) ++fits;
            lines.back() = word.substr(0, fits);
            lines.emplace_back();
            word.erase(0, fits);
        }
        lines.back() = word;
    }
    return lines;
}

// Places texts on one page.
class PageWriter {
public:
    PageWriter(Page& page, TextMeasure& measure) : page_(page), measure_(measure) {}

    // The table pads its cells with blanks: only the signs are placed.
    void Left(double x, double baseline, PageFont font, std::string_view text) {
        text = Unpadded(text);
        if (!text.empty()) page_.texts.push_back({x, baseline, font, std::string(text)});
    }
    // Ends at `right`.
    void Right(double right, double baseline, PageFont font, std::string_view text) {
        text = Unpadded(text);
        Left(right - measure_.TextWidth(font, text), baseline, font, text);
    }
    void Rule(double x1, double x2, double y) { page_.lines.push_back(PageLine{x1, y, x2, y}); }

private:
    Page& page_;
    TextMeasure& measure_;
};

// The heading every page repeats; the y where the page's own content starts.
double PlaceHeading(PageWriter& writer, const PrintHeading& heading) {
    double y = kMargin;
    writer.Left(kMargin, y + 4.5, PageFont::Title, heading.title);
    y += 7.0;
    for (const std::string& line : heading.lines) {
        writer.Left(kMargin, y + kAscent, PageFont::Body, line);
        y += kLine;
    }
    return y + 2.0;
}

// "Стр. N из M" at the right of every page's foot, once the number of pages is known.
void NumberPages(PageSet& set, TextMeasure& measure) {
    const PageSize size = SizeOf(set.orientation);
    const std::string total = std::to_string(set.pages.size());
    for (std::size_t i = 0; i < set.pages.size(); ++i) {
        PageWriter writer(set.pages[i], measure);
        const std::string text = std::string(kPage.view()) + std::to_string(i + 1) + std::string(kOf.view()) + total;
        writer.Right(size.width - kMargin, size.height - kMargin, PageFont::Body, text);
    }
}

// A left block (number, name) and value columns after it: the columns' right edges.
struct Columns {
    double numberX, nameX, nameWidth;
    std::vector<double> rights;
};

PrintHeading WithFolderAndDate(PrintHeading heading, std::string_view folder, std::string_view date) {
    static constexpr platform::AnsiText kFolder(u8"Папка данных: ");
    static constexpr platform::AnsiText kDate(u8"Дата: ");
    heading.lines.push_back(std::string(kFolder.view()) + std::string(folder));
    heading.lines.push_back(std::string(kDate.view()) + std::string(date));
    return heading;
}

}  // namespace

PrintHeading SheetHeading(const MeasuredFigure& figure, std::string_view folder, std::string_view date) {
    static constexpr platform::AnsiText kFigure(u8"Типовая фигура: ");
    std::string values, captions;
    for (const auto& [caption, value] : figure.leading) {
        values += (values.empty() ? "" : "-") + std::to_string(value);
        captions += (captions.empty() ? "" : "-") + caption;
    }
    PrintHeading heading;
    heading.title = std::string(kFigure.view()) + figure.group + (figure.ageGroup.empty() ? "" : ", " + figure.ageGroup) +
                    ", " + values + " (" + captions + ")";
    return WithFolderAndDate(std::move(heading), folder, date);
}

PrintHeading ChartHeading(std::string_view group, std::string_view ageGroup, std::string_view range,
                          std::string_view folder, std::string_view date) {
    static constexpr platform::AnsiText kChart(u8"Таблица размеров: ");
    PrintHeading heading;
    heading.title = std::string(kChart.view()) + std::string(group);
    if (!ageGroup.empty()) heading.title += ", " + std::string(ageGroup);
    if (!range.empty()) heading.lines.emplace_back(range);
    return WithFolderAndDate(std::move(heading), folder, date);
}

std::string DateText(std::time_t time) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%d.%m.%Y", &local);
    return text;
}

PageSet LayOutSheet(const ResultTable& rows, const PrintHeading& heading, TextMeasure& measure) {
    PageSet set;
    set.orientation = platform::PageOrientation::Portrait;
    set.title = heading.title;
    const PageSize size = SizeOf(set.orientation);

    const std::string_view valueHeadings[] = {kValueCaption.view(), kPerHeightCaption.view(), kPerSizeCaption.view()};
    Columns columns;
    columns.numberX = kMargin;
    double numberWidth = measure.TextWidth(PageFont::Bold, kNumberCaption);
    double valueWidth = 0;
    for (const std::string_view text : valueHeadings) valueWidth = std::max(valueWidth, measure.TextWidth(PageFont::Bold, text));
    for (std::int32_t i = 0; i < rows.GetSize(); ++i) {
        numberWidth = std::max(numberWidth, measure.TextWidth(PageFont::Body, Unpadded(rows[i].cells[0])));
        for (int cell = 2; cell <= 4; ++cell)
            valueWidth = std::max(valueWidth, measure.TextWidth(PageFont::Bold, Unpadded(rows[i].cells[static_cast<std::size_t>(cell)])));
    }
    // Room after a value for its mark.
    valueWidth += measure.TextWidth(PageFont::Bold, "*") + 2 * kPad;
    numberWidth += 2 * kPad;
    const double right = size.width - kMargin;
    columns.nameX = kMargin + numberWidth;
    // A value wider than the page leaves the name a third of it: the values overlap one
    // another before the names vanish.
    columns.nameWidth = std::max(right - 3 * valueWidth - columns.nameX, (right - kMargin) / 3) - 2 * kPad;
    for (int c = 1; c <= 3; ++c) columns.rights.push_back(right - (3 - c) * valueWidth - kPad - measure.TextWidth(PageFont::Bold, "*"));

    bool edited = false, illustrative = false;
    for (std::int32_t i = 0; i < rows.GetSize(); ++i) {
        edited = edited || rows[i].edited;
        illustrative = illustrative || rows[i].illustrative;
    }

    const double bottom = size.height - kMargin - kFooter;
    double y = 0;
    int rowsOnPage = 0;
    const auto startPage = [&] {
        rowsOnPage = 0;
        PageWriter writer(set.pages.emplace_back(), measure);
        y = PlaceHeading(writer, heading);
        writer.Left(columns.numberX + kPad, y + kAscent, PageFont::Bold, kNumberCaption);
        writer.Left(columns.nameX + kPad, y + kAscent, PageFont::Bold, kNameCaption);
        for (int c = 0; c < 3; ++c) writer.Right(columns.rights[static_cast<std::size_t>(c)], y + kAscent, PageFont::Bold, valueHeadings[c]);
        y += kLine + 1.0;
        writer.Rule(kMargin, right, y - 0.5);
        const double legend = size.height - kMargin - 2 * kLine - 1.0;
        if (edited) writer.Left(kMargin, legend, PageFont::Body, kEditedLegend);
        if (illustrative) writer.Left(kMargin, legend + (edited ? kLine : 0), PageFont::Body, kIllustrativeLegend);
    };
    startPage();
    for (std::int32_t i = 0; i < rows.GetSize(); ++i) {
        const ResultRow& row = rows[i];
        const auto names = Wrap(measure, PageFont::Body, row.cells[1], columns.nameWidth);
        const double height = static_cast<double>(names.size()) * kLine;
        // A row taller than a whole page stays on the page it starts, cut at the foot.
        if (y + height > bottom && rowsOnPage > 0) startPage();
        ++rowsOnPage;
        PageWriter writer(set.pages.back(), measure);
        const double baseline = y + kAscent;
        writer.Left(columns.numberX + kPad, baseline, PageFont::Body, row.cells[0]);
        for (std::size_t line = 0; line < names.size(); ++line)
            writer.Left(columns.nameX + kPad, baseline + static_cast<double>(line) * kLine, PageFont::Body, names[line]);
        for (int c = 0; c < 3; ++c) {
            const PageFont font = c == 0 && row.edited ? PageFont::Bold : PageFont::Body;
            const double valueRight = columns.rights[static_cast<std::size_t>(c)];
            writer.Right(valueRight, baseline, font, row.cells[static_cast<std::size_t>(c + 2)]);
            if (c != 0) continue;
            if (row.edited) writer.Left(valueRight + 0.3, baseline, PageFont::Bold, "*");
            else if (row.illustrative) writer.Left(valueRight + 0.3, baseline, PageFont::Body, "+");
        }
        y += height;
    }
    NumberPages(set, measure);
    return set;
}

PageSet LayOutChart(const SizeChart& chart, const PrintHeading& heading, TextMeasure& measure) {
    PageSet set;
    set.orientation = platform::PageOrientation::Landscape;
    set.title = heading.title;
    const PageSize size = SizeOf(set.orientation);
    const double right = size.width - kMargin;

    double numberWidth = measure.TextWidth(PageFont::Bold, kNumberCaption);
    for (const std::string& number : chart.numbers) numberWidth = std::max(numberWidth, measure.TextWidth(PageFont::Body, Unpadded(number)));
    numberWidth += 2 * kPad;
    // The name column takes a quarter of the page; longer names wrap.
    const double nameWidth = (right - kMargin) / 4;
    const double nameX = kMargin + numberWidth;
    const double figuresX = nameX + nameWidth;
    double figureWidth = measure.TextWidth(PageFont::Body, "000.0");
    for (const std::string& text : chart.headings) figureWidth = std::max(figureWidth, measure.TextWidth(PageFont::Bold, text));
    for (const auto& values : chart.values)
        for (const std::string& value : values) figureWidth = std::max(figureWidth, measure.TextWidth(PageFont::Body, Unpadded(value)));
    figureWidth += 2 * kPad;
    const std::size_t perPage = std::max<std::size_t>(1, static_cast<std::size_t>((right - figuresX) / figureWidth));

    // Rows in blocks that fit a page below the heading; the same blocks on every column block.
    std::vector<std::vector<std::string>> names;
    for (std::size_t row = 0; row < chart.numbers.size(); ++row)
        names.push_back(Wrap(measure, PageFont::Body, row < chart.names.size() ? chart.names[row] : "", nameWidth - 2 * kPad));
    Page probe;
    PageWriter probeWriter(probe, measure);
    const double top = PlaceHeading(probeWriter, heading) + kLine + 1.0;
    const double room = size.height - kMargin - kFooter - top;
    std::vector<std::pair<std::size_t, std::size_t>> rowBlocks;  // [first, end)
    for (std::size_t row = 0; row < names.size();) {
        std::size_t end = row;
        double used = 0;
        while (end < names.size() && (end == row || used + static_cast<double>(names[end].size()) * kLine <= room))
            used += static_cast<double>(names[end++].size()) * kLine;
        rowBlocks.emplace_back(row, end);
        row = end;
    }
    if (rowBlocks.empty()) rowBlocks.emplace_back(0, 0);

    const std::size_t figures = chart.headings.size();
    for (std::size_t first = 0; first < figures || (first == 0 && figures == 0); first += perPage) {
        const std::size_t last = std::min(figures, first + perPage);
        for (const auto& [rowFirst, rowEnd] : rowBlocks) {
            PageWriter writer(set.pages.emplace_back(), measure);
            double y = PlaceHeading(writer, heading);
            writer.Left(kMargin + kPad, y + kAscent, PageFont::Bold, kNumberCaption);
            writer.Left(nameX + kPad, y + kAscent, PageFont::Bold, kNameCaption);
            for (std::size_t f = first; f < last; ++f)
                writer.Right(figuresX + static_cast<double>(f - first + 1) * figureWidth - kPad, y + kAscent, PageFont::Bold,
                             chart.headings[f]);
            y += kLine + 1.0;
            const double tableRight = figuresX + static_cast<double>(last - first) * figureWidth;
            writer.Rule(kMargin, tableRight, y - 0.5);
            for (std::size_t row = rowFirst; row < rowEnd; ++row) {
                const double baseline = y + kAscent;
                writer.Left(kMargin + kPad, baseline, PageFont::Body, chart.numbers[row]);
                for (std::size_t line = 0; line < names[row].size(); ++line)
                    writer.Left(nameX + kPad, baseline + static_cast<double>(line) * kLine, PageFont::Body, names[row][line]);
                for (std::size_t f = first; f < last; ++f) {
                    const bool held = row < chart.values.size() && f < chart.values[row].size();
                    writer.Right(figuresX + static_cast<double>(f - first + 1) * figureWidth - kPad, baseline, PageFont::Body,
                                 held ? chart.values[row][f] : std::string());
                }
                y += static_cast<double>(names[row].size()) * kLine;
                // Thin rules every five rows keep a long row readable across the figures.
                if ((row + 1 - rowFirst) % 5 == 0 && row + 1 < rowEnd) writer.Rule(kMargin, tableRight, y);
            }
        }
        if (figures == 0) break;
    }
    NumberPages(set, measure);
    return set;
}

}  // namespace kelvo::results
