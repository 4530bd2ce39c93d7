// A size chart as the user gets it: the CSV bytes of both dialects, the window's context
// menu and kelvo-cli --chart, and what happens when the file cannot be written.

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "figures/size_chart_walk.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using figures::FigureGroup;
using platform::Utf8ToAnsi;
using results::CsvDialect;

TEST(ChartCsv, BothDialectsByteForByte) {
    results::SizeChart chart;
    chart.headings = {"134-84-76", "140-84-76"};
    chart.numbers = {"       1", "      16", "       2"};
    chart.names = {Utf8ToAnsi("Рост    "), Utf8ToAnsi("Обхват; \"груди\", см"), "=1+1"};
    chart.values = {{"134.0", "-0.5"}, {"12.1", "0.0"}, {"7.0", "8.0"}};
    EXPECT_EQ(results::BuildSizeChartCsv(chart, CsvDialect::Spreadsheet),
              "\xEF\xBB\xBFНомер;Наименование размерного признака;134-84-76;140-84-76\r\n"
              "1;Рост;134,0;-0,5\r\n"
              "16;\"Обхват; \"\"груди\"\", см\";12,1;0,0\r\n"
              "2;'=1+1;7,0;8,0\r\n");
    EXPECT_EQ(results::BuildSizeChartCsv(chart, CsvDialect::Rfc4180),
              "\xEF\xBB\xBFНомер,Наименование размерного признака,134-84-76,140-84-76\r\n"
              "1,Рост,134.0,-0.5\r\n"
              "16,\"Обхват; \"\"груди\"\", см\",12.1,0.0\r\n"
              "2,'=1+1,7.0,8.0\r\n");
    chart.sources = {"G", "G, illustrative"};
    EXPECT_TRUE(results::BuildSizeChartCsv(chart, CsvDialect::Rfc4180)
                    .starts_with("\xEF\xBB\xBFНомер,Наименование размерного признака,Источник,134-84-76,140-84-76\r\n"
                                 "1,Рост,G,134.0,-0.5\r\n"
                                 "16,\"Обхват; \"\"груди\"\", см\",\"G, illustrative\",12.1,0.0\r\n"
                                 "2,'=1+1,,7.0,8.0\r\n"));
}

class ChartOutput : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }
    std::string Expected(FigureGroup group, int age, CsvDialect dialect) {
        results::SizeChart chart;
        EXPECT_TRUE(figures::BuildSizeChart(dir.DataDirectory(), group, age, chart));
        return results::BuildSizeChartCsv(chart, dialect);
    }
    // The window, its context menu answered with the one entry and the file dialog with `target`.
    platform::headless::HeadlessWindow& Open(int group, const std::filesystem::path& target) {
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dir.DataDirectory());
        window.emplace(dialog);
        window->menuAnswer = [this](std::span<const std::string_view> items) {
            menu.assign(items.begin(), items.end());
            return 0;
        };
        window->saveFileAnswer = [this, target](std::string& path) {
            suggested = path;
            path = target.string();
            return true;
        };
        return *window;
    }
    // kelvo-cli with `args` in the temp dir; its exit code, its stderr in `err`.
    int Cli(const std::string& args) {
        const std::string command = "cd '" + dir.DataDirectory() + "' && " + KELVO_CLI + " --data . " + args +
                                    " >out 2>err";
        const int status = std::system(command.c_str());
        err = test::ReadFileBytes(dir / "err");
        EXPECT_EQ(test::ReadFileBytes(dir / "out"), "") << args;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir dir;
    app::FigureDialog dialog;
    std::optional<platform::headless::HeadlessWindow> window;
    std::vector<std::string_view> menu;
    std::string suggested, err;
};

TEST_F(ChartOutput, ContextMenuSavesTheChartOfTheAgeGroupInForceAndLeavesTheWindowAlone) {
    auto& w = Open(2, dir / "chart.csv");
    ASSERT_TRUE(w.Choose(res::kIdAgeList, 2));
    ASSERT_TRUE(w.Choose(res::kIdHeightList, 3));
    const std::string shown = w.ItemText(res::kIdResultList, 2, 2);
    ASSERT_TRUE(w.ContextMenu(res::kIdResultList));
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu[0], Utf8ToAnsi("Сохранить таблицу размеров…"));
    EXPECT_EQ(suggested, dir.DataDirectory() + "\\Таблица размеров (Мальчики, Старшая школьная).csv");
    EXPECT_EQ(test::ReadFileBytes(dir / "chart.csv"), Expected(FigureGroup::Boys, 2, CsvDialect::Spreadsheet));
    // Five heights in the senior school: told before each and at the end, then hidden.
    EXPECT_EQ(w.progress, (std::vector<std::pair<int, int>>{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
    EXPECT_EQ(w.progressEnded, 1);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.Selection(res::kIdHeightList), 3);
    EXPECT_EQ(w.ItemText(res::kIdResultList, 2, 2), shown);
}

TEST_F(ChartOutput, ContextMenuPrintsAndSavesTheSheetWithTheEditedValueAndTheChartOnPages) {
    auto& w = Open(3, dir / "sheet.pdf");
    const auto choose = [&](std::string_view caption) {
        w.menuAnswer = [caption](std::span<const std::string_view> items) {
            return static_cast<int>(std::find(items.begin(), items.end(), Utf8ToAnsi(caption)) - items.begin());
        };
        return w.ContextMenu(res::kIdResultList);
    };
    ASSERT_TRUE(w.ClickRow(res::kIdResultList, 1));
    ASSERT_TRUE(w.Type(res::kIdValueEdit, "160"));
    ASSERT_TRUE(w.Press(res::kIdChangeValue));
    ASSERT_TRUE(choose("Сохранить лист измерений в PDF…"));
    EXPECT_TRUE(suggested.ends_with("\\Лист измерений.pdf")) << suggested;
    // The headless front end's "PDF" is the pages' texts, a line each.
    const std::string sheet = test::ReadFileBytes(dir / "sheet.pdf");
    EXPECT_NE(sheet.find("\n160\n*\n"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find(Utf8ToAnsi("* значение изменено пользователем")), std::string::npos);
    EXPECT_EQ(w.Text(res::kIdStatusLine), Utf8ToAnsi("PDF записан: ") + platform::PathText((dir / "sheet.pdf").string()));

    // The range asked first: closing that dialog, or the print dialog after it, prints nothing.
    ASSERT_TRUE(choose("Печать таблицы размеров…"));
    std::string counted;
    w.modalUser = [&counted](platform::headless::HeadlessWindow& range) {
        range.ChooseText(res::kIdRangeHeightFrom, "158");
        range.ChooseText(res::kIdRangeHeightTo, "170");
        range.ChooseText(res::kIdRangeChestFrom, "96");
        range.ChooseText(res::kIdRangeChestTo, "96");
        counted = range.Text(res::kIdRangeCount);
        range.Press(platform::kIdOk);
    };
    ASSERT_TRUE(choose("Печать таблицы размеров…"));
    EXPECT_TRUE(w.printed.empty());
    w.printAnswer = true;
    ASSERT_TRUE(choose("Печать таблицы размеров…"));
    ASSERT_EQ(w.printed.size(), 1u);
    const platform::PageSet& pages = w.printed[0];
    EXPECT_EQ(pages.orientation, platform::PageOrientation::Landscape);
    EXPECT_TRUE(w.messages.empty());

    // Exactly the figures of the range head the pages, the range is named, and the dialog
    // counted them and the pages as printed.
    results::SizeChart chart;
    ASSERT_TRUE(figures::BuildSizeChart(dir.DataDirectory(), FigureGroup::Women, 0,
                                        {figures::ListSpan{158, 170}, figures::ListSpan{96, 96}, {}}, chart));
    std::vector<std::string> headings;
    bool named = false;
    for (const platform::Page& page : pages.pages) {
        for (const platform::PageText& text : page.texts) {
            named = named || text.text == "T1 158-170, T16 96-96";
            // Every block of rows repeats its figures' headings.
            const bool heading = text.font == platform::PageFont::Bold && text.text.find('-') != std::string::npos;
            if (heading && std::find(headings.begin(), headings.end(), text.text) == headings.end())
                headings.push_back(text.text);
        }
    }
    EXPECT_TRUE(named);
    EXPECT_EQ(headings, chart.headings);
    EXPECT_EQ(counted, Utf8ToAnsi("Фигур: ") + std::to_string(chart.headings.size()) +
                           Utf8ToAnsi(", страниц A4: около ") + std::to_string(pages.pages.size()));
}

TEST_F(ChartOutput, WindowSaysWhyNothingWasWritten) {
    auto& w = Open(3, dir / "missing" / "chart.csv");
    ASSERT_TRUE(w.ContextMenu(res::kIdResultList));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_TRUE(w.messages[0].starts_with(Utf8ToAnsi("Не удалось записать файл"))) << w.messages[0];
    EXPECT_EQ(w.progressEnded, 1);
    // A group whose table is missing: the entry is greyed, no file asked for.
    std::filesystem::remove(dir / "BD" / "girls.dbf");
    ASSERT_TRUE(w.Choose(res::kIdGroupList, 1));
    suggested.clear();
    ASSERT_TRUE(w.ContextMenu(res::kIdResultList));
    ASSERT_FALSE(w.popup.empty());
    EXPECT_FALSE(w.popup[0].enabled);
    EXPECT_TRUE(suggested.empty());
    EXPECT_EQ(w.messages.size(), 1u);
}

TEST_F(ChartOutput, CliWritesEitherDialectOrRefusesAndWritesNothing) {
    EXPECT_EQ(Cli("--group 2 --age 1 --chart chart.csv"), 0) << err;
    EXPECT_EQ(err, "");  // no progress line where stderr is no terminal
    EXPECT_EQ(test::ReadFileBytes(dir / "chart.csv"), Expected(FigureGroup::Boys, 1, CsvDialect::Spreadsheet));
    EXPECT_EQ(Cli("--group Женщины --chart=chart.csv --chart-format rfc4180"), 0) << err;
    EXPECT_EQ(test::ReadFileBytes(dir / "chart.csv"), Expected(FigureGroup::Women, 0, CsvDialect::Rfc4180));
    std::filesystem::remove(dir / "chart.csv");

    EXPECT_EQ(Cli("--group 4 --chart missing/c.csv"), 1);
    EXPECT_NE(err.find("Не удалось записать файл"), std::string::npos) << err;
    std::filesystem::remove(dir / "BD" / "male.dbf");
    EXPECT_EQ(Cli("--group 4 --chart c.csv"), 1);
    EXPECT_NE(err.find("male.dbf"), std::string::npos) << err;
    // A name with signs Windows-1251 lacks is written under that very name.
    EXPECT_EQ(Cli("--group 3 --chart 'таблица\xC3\xBC.csv'"), 0) << err;
    EXPECT_TRUE(std::filesystem::remove(dir / "таблица\xC3\xBC.csv"));
    for (const char* args : {"--chart c.csv --height 134", "--chart c.csv --format csv", "--chart c.csv --export",
                             "--chart c.csv --chart-format xml", "--chart-format rfc4180", "--chart 'a\\b.csv'"})
        EXPECT_EQ(Cli(args), 2) << args;
    EXPECT_EQ(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(dir.Path()), {}).size(), 3u)
        << "BD, out and err only";
}

// The sources come from the side file beside the table: kelvo-cli's chart has their column
// only with --sources and is otherwise byte for byte what it was; the window's always has it.
TEST_F(ChartOutput, SourceColumnFromTheSideFileOnlyWithSourcesAndAlwaysFromTheWindow) {
    const std::string plain = Expected(FigureGroup::Men, 0, CsvDialect::Spreadsheet);
    // Feature 2's fifth base column (waist position 4) is derived; feature 16's source is not known.
    test::WriteFileBytes(dir / "BD" / "male.src", "1 M\n2 M 9=illustrative\n18 M\n");
    EXPECT_EQ(Cli("--group 4 --chart c.csv"), 0) << err;
    EXPECT_EQ(test::ReadFileBytes(dir / "c.csv"), plain);
    EXPECT_EQ(Cli("--group 4 --chart c.csv --sources"), 0) << err;
    const std::string withSources = test::ReadFileBytes(dir / "c.csv");
    EXPECT_TRUE(withSources.starts_with("\xEF\xBB\xBFНомер;Наименование размерного признака;Источник;146-84-66;"))
        << withSources;
    EXPECT_NE(withSources.find("\r\n2;Обхват шеи;M, illustrative;"), std::string::npos) << withSources;
    EXPECT_NE(withSources.find("\r\n16;Обхват груди;;"), std::string::npos) << withSources;
    auto& w = Open(4, dir / "window.csv");
    ASSERT_TRUE(w.ContextMenu(res::kIdResultList));
    EXPECT_EQ(test::ReadFileBytes(dir / "window.csv"), withSources);
}

}  // namespace
}  // namespace kelvo
