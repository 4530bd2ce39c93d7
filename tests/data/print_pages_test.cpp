// The measurement sheet and the size charts on pages: the layout on a fixed-width measure
// (page counts and what every page repeats), and kelvo-cli's PDF read back by poppler.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "figures/size_chart_walk.h"
#include "platform/codepage.h"
#include "results/print_pages.h"
#include "tests/data/bundled_window.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

using platform::AnsiToUtf8;

const figures::FigureRange kRange{figures::ListSpan{158, 176}, figures::ListSpan{88, 100}, figures::ListSpan{92, 104}};

// Every text of a page, joined by line feeds, in UTF-8.
std::string PageText(const platform::Page& page) {
    std::string text;
    for (const platform::PageText& item : page.texts) text += AnsiToUtf8(item.text) + "\n";
    return text;
}

platform::PageSet ChartPages(const figures::FigureRange& range, std::size_t& figures) {
    results::SizeChart chart;
    EXPECT_TRUE(figures::BuildSizeChart(BundledDataDirectory(), figures::FigureGroup::Women, 0, range, chart));
    figures = chart.headings.size();
    platform::FixedTextMeasure measure;
    return results::LayOutChart(chart, results::ChartHeading("W", "", "R", "F", "D"), measure);
}

TEST(ChartPages, WomensWholeChartAndARangeRepeatHeadingNamesAndPageNumbers) {
    std::size_t figures = 0;
    const platform::PageSet whole = ChartPages({}, figures);
    EXPECT_EQ(figures, 1512u);
    EXPECT_EQ(whole.orientation, platform::PageOrientation::Landscape);
    EXPECT_EQ(whole.pages.size(), 189u);

    const platform::PageSet part = ChartPages(kRange, figures);
    figures::FigureLists lists;
    ASSERT_TRUE(figures::ListFigures(BundledDataDirectory(), figures::FigureGroup::Women, 0, lists));
    EXPECT_EQ(figures, static_cast<std::size_t>(lists.Count(kRange)));
    EXPECT_EQ(figures, 64u);
    EXPECT_EQ(part.pages.size(), 8u);
    for (std::size_t i = 0; i < part.pages.size(); ++i) {
        const std::string text = PageText(part.pages[i]);
        EXPECT_TRUE(text.starts_with("Таблица размеров: W\nR\n")) << i;
        EXPECT_NE(text.find("\n1\nРост\n"), std::string::npos) << i;  // feature number and name at the left
        EXPECT_TRUE(text.ends_with("Стр. " + std::to_string(i + 1) + " из 8\n")) << i;
    }
    EXPECT_NE(PageText(part.pages[0]).find("158-88-92"), std::string::npos);
    EXPECT_NE(PageText(part.pages.back()).find("176-100-104"), std::string::npos);
}

TEST(ChartPages, RangeBoundsNoListOffersAndEmptyRangesAreRefused) {
    figures::FigureLists lists;
    ASSERT_TRUE(figures::ListFigures(BundledDataDirectory(), figures::FigureGroup::Women, 0, lists));
    EXPECT_EQ(figures::RangeFault(lists, kRange), "");
    EXPECT_NE(figures::RangeFault(lists, {figures::ListSpan{158, 177}, {}, {}}), "");
    EXPECT_NE(figures::RangeFault(lists, {figures::ListSpan{176, 158}, {}, {}}), "");
    // Both bounds offered, but no chest of 84 goes with a hip of 112.
    EXPECT_NE(figures::RangeFault(lists, {{}, figures::ListSpan{84, 84}, figures::ListSpan{112, 112}}), "");
}

struct ShellRun {
    int exitCode;
    std::string out;
};

ShellRun Shell(const std::string& command) {
    ShellRun run{};
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Cli(const std::string& args) {
    return std::string(KELVO_CLI) + " --data '" + BundledDataDirectory() + "' " + args;
}

bool PopplerMissing() { return Shell("pdftotext -v").exitCode != 0; }

TEST(PdfPages, SheetHoldsEveryValueKelvoCliListsAndRangesLimitTheChart) {
    if (PopplerMissing()) GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) not installed";
    TempDir dir;
    const std::string figure = "--group men --height 176 --chest 100 --waist 88";
    const std::string sheet = (dir / "sheet.pdf").string(), chart = (dir / "chart.pdf").string();
    const ShellRun written = Shell(Cli(figure + " --pdf '" + sheet + "'"));
    if (written.exitCode == 2 && written.out.find("Qt") != std::string::npos) GTEST_SKIP() << written.out;
    ASSERT_EQ(written.exitCode, 0) << written.out;
    EXPECT_EQ(written.out, "");

    const std::string text = Shell("pdftotext -layout '" + sheet + "' -").out;
    EXPECT_NE(text.find("Типовая фигура: Мужчины, 176-100-88 (T1-T16-T18)"), std::string::npos) << text;
    const std::string list = Shell(Cli(figure + " --format csv")).out;
    int values = 0;
    // CSV lines: number, name, value, ...; every value must stand in the sheet.
    for (std::size_t at = list.find('\n') + 1; at < list.size(); at = list.find('\n', at) + 1) {
        const std::string line = list.substr(at, list.find('\n', at) - at);
        const std::size_t afterName = line.rfind(',', line.rfind(',', line.rfind(',') - 1) - 1);
        const std::string value = line.substr(afterName + 1, line.find(',', afterName + 1) - afterName - 1);
        // Right after the value: a blank, or the mark of an illustrative or edited value.
        bool found = false;
        for (std::size_t hit = text.find(" " + value); hit != std::string::npos && !found; hit = text.find(" " + value, hit + 1))
            found = std::string_view(" +*").find(text[hit + 1 + value.size()]) != std::string_view::npos;
        EXPECT_TRUE(found) << value;
        ++values;
    }
    EXPECT_GT(values, 60);

    ASSERT_EQ(Shell(Cli("--group women --pdf '" + chart + "' --chart-pages --heights 158-176 --chests 88-100 --thirds 92-104")).exitCode, 0);
    EXPECT_NE(Shell("pdfinfo '" + chart + "'").out.find("Pages:           10\n"), std::string::npos);
    EXPECT_NE(Shell("pdffonts '" + chart + "'").out.find("DejaVuSans"), std::string::npos);

    for (const char* range : {"--heights 158-177", "--heights 176-158", "--chests 84 --thirds 112", "--thirds 1-x"}) {
        const ShellRun refused = Shell(Cli("--group women --pdf '" + chart + "' --chart-pages " + range));
        EXPECT_EQ(refused.exitCode, 2) << range;
        EXPECT_NE(refused.out, "") << range;
        EXPECT_EQ(Shell(Cli("--group women --chart '" + chart + "' " + range)).exitCode, 2) << range;
    }
}

}  // namespace
}  // namespace kelvo::test
