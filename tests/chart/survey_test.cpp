// Many people's nearest figures at once: the grid's search, which looks at a few figures
// only, equals the full search's first figure for every person of random populations, at
// the grid's edges and beyond them, with ties between figures and with further features.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "app/survey_dialog.h"
#include "figures/figure_grid.h"
#include "figures/group_registry.h"
#include "figures/nearest_figure.h"
#include "figures/survey.h"
#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using figures::FigureGrid;
using figures::PersonMeasurements;

struct Population {
    figures::FigureGroup group;
    int age;
    std::vector<int> features;
    bool bundled = false;  // the bundled tables' grids, of hundreds of figures, else the fixtures'
    int people = 400;
};

// A person near the grid, on it (ties between neighbours: a value halfway between two
// entries), at its edges or beyond them, some measurements left out.
PersonMeasurements RandomPerson(std::mt19937& random, const FigureGrid& grid, const std::vector<int>& features) {
    const auto& all = grid.Figures();
    const auto& figure = all[std::uniform_int_distribution<std::size_t>(0, all.size() - 1)(random)];
    const double steps[3] = {6, 4, grid.HasThird() ? 4.0 : 0.0};
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_real_distribution<double> spread(-1.5, 1.5);
    const auto value = [&](int d) -> std::optional<double> {
        switch (kind(random)) {
            case 0: return std::nullopt;
            case 1: return figure.leading[d];                             // on an entry
            case 2: return figure.leading[d] + steps[d] / 2;              // halfway: a tie
            case 3: return figure.leading[d] + 2.5 * steps[d];            // beyond the edge, perhaps
            default: return std::round((figure.leading[d] + spread(random) * steps[d]) * 10) / 10;
        }
    };
    PersonMeasurements person;
    person.height = value(0);
    person.chest = value(1);
    if (grid.HasThird()) person.third = value(2);
    if (!person.height && !person.chest && !person.third) person.height = figure.leading[0];
    for (std::size_t i = 0; i < features.size(); ++i)
        if (kind(random) < 7)
            person.features.push_back({features[i], std::round((figure.values[i] + spread(random) * 3) * 10) / 10});
    return person;
}

class Survey : public ::testing::TestWithParam<Population> {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }
    test::TempDir dir;
};

TEST_P(Survey, TheGridsNearestFigureIsTheFullSearchsFirstForEveryPerson) {
    const Population& population = GetParam();
    FigureGrid grid;
    std::string message;
    const std::string data = population.bundled ? std::string(KELVO_BUNDLED_DATA) : dir.DataDirectory();
    ASSERT_TRUE(grid.Load(data, population.group, population.age, population.features, message)) << message;
    std::mt19937 random(20261209u + static_cast<unsigned>(population.group) * 7 + static_cast<unsigned>(population.age + 1));
    int beyond = 0, ties = 0;
    for (int n = 0; n < population.people; ++n) {
        const PersonMeasurements person = RandomPerson(random, grid, population.features);
        const std::optional<double> leading[3] = {person.height, person.chest, person.third};
        std::vector<std::optional<double>> features(population.features.size());
        for (const figures::Measurement& m : person.features)
            for (std::size_t i = 0; i < population.features.size(); ++i)
                if (population.features[i] == m.feature) features[i] = m.value;
        const FigureGrid::Nearest nearest = grid.Find(leading, features);
        std::vector<results::FigureMatch> full;
        const bool found = figures::FindNearestFigures(data, population.group, population.age, person, full, message);
        if (!found) {
            // Only a measurement beyond every figure is refused; the grid gives none then.
            EXPECT_EQ(nearest.figure, -1) << message;
            ++beyond;
            continue;
        }
        ASSERT_GE(nearest.figure, 0);
        const FigureGrid::Figure& chosen = grid.Figures()[static_cast<std::size_t>(nearest.figure)];
        EXPECT_EQ(nearest.distance, full[0].distance) << n;
        EXPECT_EQ(chosen.height, full[0].height) << n;
        EXPECT_EQ(chosen.chest, full[0].chest) << n;
        EXPECT_EQ(chosen.third, full[0].third) << n;
        EXPECT_EQ(chosen.age, population.age == figures::kAnyAge ? full[0].age : chosen.age) << n;
        ties += full.size() > 1 && full[1].distance == full[0].distance;
        // A girl or boy whose age puts them in one age group: the grid of all of them, held to
        // that one, finds what the search over that age group alone finds.
        if (population.age == figures::kAnyAge && chosen.age >= 0) {
            const int age = n % 4;
            const FigureGrid::Nearest within = grid.Find(leading, features, age);
            std::vector<results::FigureMatch> alone;
            if (!figures::FindNearestFigures(data, population.group, age, person, alone, message)) {
                EXPECT_EQ(within.figure, -1) << n;
                continue;
            }
            ASSERT_GE(within.figure, 0) << n;
            const FigureGrid::Figure& held = grid.Figures()[static_cast<std::size_t>(within.figure)];
            EXPECT_EQ(held.age, age);
            EXPECT_EQ(within.distance, alone[0].distance) << n;
            EXPECT_EQ(held.height + held.chest + held.third, alone[0].height + alone[0].chest + alone[0].third) << n;
        }
    }
    // The population reaches beyond the grid and holds ties, or the test proves less.
    EXPECT_GT(beyond, 0);
    EXPECT_GT(ties, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, Survey,
                         ::testing::Values(Population{figures::FigureGroup::Nursery, -1, {}},
                                           Population{figures::FigureGroup::Girls, 1, {}},
                                           Population{figures::FigureGroup::Boys, figures::kAnyAge, {2}},
                                           Population{figures::FigureGroup::Women, -1, {2}},
                                           Population{figures::FigureGroup::Men, -1, {}},
                                           Population{figures::FigureGroup::Women, -1, {13, 15}, true, 120},
                                           Population{figures::FigureGroup::Men, -1, {}, true, 120},
                                           Population{figures::FigureGroup::Girls, figures::kAnyAge, {}, true, 120}));

// kelvo-cli --survey over files the test writes: each dialect and code page, mm, the people's
// figures in --assign equal to --nearest's first figure, bad rows named and counted, the
// exit codes, and --sizes never worse than the most frequent figures.
class SurveyCli : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }
    int Cli(const std::string& args) {
        const std::string command = std::string(KELVO_CLI) + " --data '" + dir.DataDirectory() + "' " + args + " >'" +
                                    (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        const int status = std::system(command.c_str());
        out = test::ReadFileBytes(dir / "out");
        err = test::ReadFileBytes(dir / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    test::TempDir dir;
    std::string out, err;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST_F(SurveyCli, EachDialectAndCodePageGivesEveryPersonTheNearestFigure) {
    FigureGrid grid;
    std::string message;
    ASSERT_TRUE(grid.Load(dir.DataDirectory(), figures::FigureGroup::Women, -1, {}, message));
    std::mt19937 random(7);
    std::vector<PersonMeasurements> people;
    for (int n = 0; n < 150; ++n) {
        PersonMeasurements p = RandomPerson(random, grid, {});
        if (!p.height) p.height = 164;
        if (!p.chest) p.chest = 90;
        if (!p.third) p.third = 98;
        people.push_back(p);
    }
    struct Dialect {
        const char* name;
        std::string header;  // as the file's code page has it
        char separator;
        bool decimalComma, mm;
        std::string lineEnd;
    };
    const Dialect dialects[] = {
        {"semicolon, decimal comma, UTF-8 with a byte-order mark", "\xEF\xBB\xBFT1;T16;T19", ';', true, false, "\r\n"},
        {"comma, point, Russian names in UTF-8, mm", "\xD0\xA0\xD0\xBE\xD1\x81\xD1\x82,\xD0\x9E\xD0\xB1\xD1\x85\xD0\xB2\xD0\xB0\xD1\x82 "
                                                    "\xD0\xB3\xD1\x80\xD1\x83\xD0\xB4\xD0\xB8,hip", ',', false, true, "\n"},
        {"tab, Windows-1251 names, CR line ends", "\xD0\xEE\xF1\xF2\t\xCE\xE1\xF5\xE2\xE0\xF2 \xE3\xF0\xF3\xE4\xE8\t"
                                                  "\xCE\xE1\xF5\xE2\xE0\xF2 \xE1\xE5\xE4\xE5\xF0", '\t', false, false, "\r"},
    };
    for (const Dialect& d : dialects) {
        SCOPED_TRACE(d.name);
        std::string file = d.header + d.lineEnd;
        for (const PersonMeasurements& p : people) {
            const double scale = d.mm ? 10 : 1;
            std::string line;
            for (const double v : {*p.height, *p.chest, *p.third}) {
                char cell[32];
                std::snprintf(cell, sizeof cell, "%.1f", v * scale);
                std::string text = cell;
                if (d.decimalComma) std::replace(text.begin(), text.end(), '.', ',');
                line += (line.empty() ? "" : std::string(1, d.separator)) + text;
            }
            file += line + d.lineEnd;
        }
        test::WriteFileBytes(dir / "survey.csv", file);
        ASSERT_EQ(Cli("--group women --survey '" + (dir / "survey.csv").string() + "' --assign '" +
                      (dir / "assign.csv").string() + "' --chart-format rfc4180" + (d.mm ? " --units mm" : "")), 0) << err;
        const std::vector<std::string> assigned = Lines(test::ReadFileBytes(dir / "assign.csv"));
        ASSERT_EQ(assigned.size(), people.size());
        for (std::size_t i = 0; i < people.size(); ++i) {
            std::vector<results::FigureMatch> full;
            const bool found = figures::FindNearestFigures(dir.DataDirectory(), figures::FigureGroup::Women, 0, people[i],
                                                           full, message);
            const std::string expected = found ? full[0].height + "-" + full[0].chest + "-" + full[0].third
                                               : platform::Utf8ToAnsi("вне сетки");
            EXPECT_EQ(assigned[i].substr(0, assigned[i].find(',', assigned[i].find(',') + 1)),
                      std::to_string(i + 2) + "," + platform::AnsiToUtf8(expected)) << i;
        }
        EXPECT_NE(out.find("Прочитано людей,150"), std::string::npos) << out;
    }
}

TEST_F(SurveyCli, BadRowsAreNamedAndCountedAndTheExitCodesSayWhatFailed) {
    std::string file = "T1;T16;T19\n";
    for (int i = 0; i < 30; ++i) file += i % 3 == 0 ? "164;;100\n" : i % 3 == 1 ? "164;abc;100\n" : "-164;96;100\n";
    file += "164;96;104\n";
    test::WriteFileBytes(dir / "bad.csv", file);
    ASSERT_EQ(Cli("--group women --survey '" + (dir / "bad.csv").string() + "'"), 0) << err;
    EXPECT_NE(err.find("строка 2, столбец 2: нет значения"), std::string::npos) << err;
    EXPECT_NE(err.find("строка 3, столбец 2: не число «abc»"), std::string::npos) << err;
    EXPECT_NE(err.find("строка 4, столбец 1: не больше нуля"), std::string::npos) << err;
    EXPECT_NE(err.find("и ещё строк с ошибками: 10"), std::string::npos) << err;
    EXPECT_NE(out.find("Строк не прочитано;30"), std::string::npos) << out;
    EXPECT_NE(out.find("164-96-104;1;100,00;0,000"), std::string::npos) << out;

    test::WriteFileBytes(dir / "none.csv", "T1;T16;T19\n164;x;100\n");
    EXPECT_EQ(Cli("--group women --survey '" + (dir / "none.csv").string() + "'"), 1);
    EXPECT_EQ(Cli("--group women --survey '" + (dir / "bad.csv").string() + "' --columns T1=stature"), 2);
    EXPECT_NE(err.find("stature"), std::string::npos) << err;
    EXPECT_EQ(Cli("--group women --survey '" + (dir / "missing.csv").string() + "'"), 1);
    EXPECT_EQ(Cli("--group women --survey '" + (dir / "bad.csv").string() + "' --sizes 0"), 2);
    EXPECT_EQ(Cli("--group women --survey '" + (dir / "bad.csv").string() + "' --units furlong"), 2);
    // From a pipe: read to its end; --sizes, which reads the file twice, wants a file.
    const std::string pipe = "cat '" + (dir / "bad.csv").string() + "' | " + KELVO_CLI + " --data '" + dir.DataDirectory() +
                             "' --group women --survey /dev/stdin";
    EXPECT_EQ(WEXITSTATUS(std::system((pipe + " >/dev/null 2>&1").c_str())), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((pipe + " --sizes 2 >/dev/null 2>&1").c_str())), 1);
}

// Without --age a girl's age in years puts her in her age group; an age no group has is a bad
// row; --age overrides the column, and the sizes chosen serve each age group present.
TEST_F(SurveyCli, AnAgeColumnPutsEachChildInTheirAgeGroup) {
    std::string file = "Возраст;T1;T16;T18\n";
    const char* const rows[] = {"5;110;56;51", "9,5;134;64;57", "13;152;76;60", "17;164;88;68", "18;164;88;68",
                                "2;92;52;48", "19;164;88;68", "x;110;56;51"};
    for (const char* row : rows) file += std::string(row) + "\n";
    test::WriteFileBytes(dir / "girls.csv", file);
    ASSERT_EQ(Cli("--group girls --survey '" + (dir / "girls.csv").string() + "' --assign '" +
                  (dir / "assign.csv").string() + "' --sizes 2"), 0) << err;
    EXPECT_NE(err.find("возраст: «Возраст»"), std::string::npos) << err;
    const std::vector<std::string> assigned = Lines(test::ReadFileBytes(dir / "assign.csv"));
    ASSERT_EQ(assigned.size(), 5u);
    const char* const groups[] = {"Дошкольная", "Младшая школьная", "Старшая школьная", "Подростковая", "Подростковая"};
    for (std::size_t i = 0; i < 5; ++i) {
        PersonMeasurements person;
        std::vector<std::string> cells;
        figures::SplitCsvLine(rows[i], ';', cells);
        person.height = std::stod(cells[1]);
        person.chest = std::stod(cells[2]);
        person.third = std::stod(cells[3]);
        std::vector<results::FigureMatch> full;
        std::string message;
        ASSERT_TRUE(figures::FindNearestFigures(dir.DataDirectory(), figures::FigureGroup::Girls,
                                                static_cast<int>(std::min<std::size_t>(i, 3)), person, full, message));
        EXPECT_EQ(assigned[i].substr(0, assigned[i].find(';', assigned[i].find(';') + 1)),
                  std::to_string(i + 2) + ";" + platform::AnsiToUtf8(full[0].height + "-" + full[0].chest + "-" +
                                                                     full[0].third) + " " + groups[i]) << i;
    }
    EXPECT_NE(err.find("строка 7, столбец 1: возраст вне возрастных групп (от 3 до 18 лет): 2"), std::string::npos) << err;
    EXPECT_NE(err.find("строка 8, столбец 1: возраст вне"), std::string::npos) << err;
    EXPECT_NE(err.find("строка 9, столбец 1: не число «x»"), std::string::npos) << err;
    // Four age groups and two sizes: nobody is served by a size of another age group.
    EXPECT_NE(out.find("Без размера своей возрастной группы;2;40,00"), std::string::npos) << out;

    ASSERT_EQ(Cli("--group girls --age 0 --survey '" + (dir / "girls.csv").string() + "'"), 0) << err;
    EXPECT_EQ(err.find("возраст вне"), std::string::npos) << err;
    EXPECT_EQ(Cli("--group girls --survey '" + (dir / "girls.csv").string() + "' --columns age=years"), 2);
}

TEST_F(SurveyCli, TheSizesChosenServeNoWorseThanTheMostFrequentFigures) {
    FigureGrid grid;
    std::string message;
    ASSERT_TRUE(grid.Load(dir.DataDirectory(), figures::FigureGroup::Men, -1, {}, message));
    std::mt19937 random(11);
    std::string file = "height,chest,waist\n";
    for (int n = 0; n < 2000; ++n) {
        PersonMeasurements p = RandomPerson(random, grid, {});
        char line[96];
        std::snprintf(line, sizeof line, "%.1f,%.1f,%.1f\n", p.height.value_or(176), p.chest.value_or(96),
                      p.third.value_or(80));
        file += line;
    }
    test::WriteFileBytes(dir / "men.csv", file);
    for (const int k : {1, 3, 8}) {
        ASSERT_EQ(Cli("--group men --survey '" + (dir / "men.csv").string() + "' --sizes " + std::to_string(k) +
                      " --chart-format rfc4180"), 0) << err;
        const std::vector<std::string> lines = Lines(out);
        const auto total = [&](const std::string& caption) {
            for (const std::string& line : lines)
                if (line.find(caption) != std::string::npos) {
                    std::vector<std::string> cells;
                    figures::SplitCsvLine(line, ',', cells);
                    return std::stod(cells.at(2));
                }
            return -1.0;
        };
        const double made = total("Итого"), frequent = total("Для сравнения");
        ASSERT_GE(made, 0) << out;
        EXPECT_LE(made, frequent) << k;
    }
}

// The window's "Размерно-ростовочный ассортимент": the file chosen, its columns guessed from the
// header, the figures and the heat map as kelvo-cli counts them, one third alone, the sizes,
// the summary as CSV equal to kelvo-cli's, and the PDF report's pages.
TEST_F(SurveyCli, TheWindowsSurveyDialogCountsAsKelvoCliDoes) {
    FigureGrid grid;
    std::string message;
    ASSERT_TRUE(grid.Load(dir.DataDirectory(), figures::FigureGroup::Women, -1, {}, message));
    std::mt19937 random(5);
    std::string file = "id;Рост;Обхват груди;Обхват бедер\n";
    for (int n = 0; n < 300; ++n) {
        const PersonMeasurements p = RandomPerson(random, grid, {});
        char line[96];
        std::snprintf(line, sizeof line, "%d;%.1f;%.1f;%.1f\n", n, p.height.value_or(164), p.chest.value_or(90),
                      p.third.value_or(98));
        file += line;
    }
    test::WriteFileBytes(dir / "people.csv", file);
    ASSERT_EQ(Cli("--group women --survey '" + (dir / "people.csv").string() + "' --sizes 2"), 0) << err;
    const std::string cli = out;

    app::FigureDialog window;
    window.SetInitialGroup(3);
    window.SetDataDirectory(dir.DataDirectory());
    platform::headless::HeadlessWindow main(window);
    ASSERT_TRUE(main.IsCommandEnabled(res::kCmdSurvey));
    bool ran = false;
    main.modalUser = [&](platform::headless::HeadlessWindow& survey) {
        ran = true;
        survey.openAnswer = (dir / "people.csv").string();
        ASSERT_TRUE(survey.Press(res::kIdSurveyFile));
        // Guessed from the header: the first entry is "(нет)", then the header's cells.
        EXPECT_EQ(survey.Selection(res::kIdSurveyHeightColumn), 2);
        EXPECT_EQ(survey.Selection(res::kIdSurveyChestColumn), 3);
        EXPECT_EQ(survey.Selection(res::kIdSurveyThirdColumn), 4);
        ASSERT_TRUE(survey.Press(res::kIdSurveyRun));
        EXPECT_TRUE(survey.messages.empty()) << survey.messages.front();
        ASSERT_GT(survey.ItemCount(res::kIdSurveyFigures), 0);
        // The first row as kelvo-cli's summary has it.
        const std::string first = survey.ItemText(res::kIdSurveyFigures, 0, 0) + ";" +
                                  survey.ItemText(res::kIdSurveyFigures, 0, 1) + ";";
        EXPECT_NE(cli.find("\r\n" + first), std::string::npos) << first << "\n" << cli;
        // The heat map: every height by every chest, the cells adding up to the people within the grid.
        const auto& shown = dynamic_cast<platform::ModelPicture&>(*survey.GetItem(res::kIdSurveyHeatMap)).Shown();
        EXPECT_FALSE(shown.boxes.empty());
        const auto sum = [&] {
            long long total = 0;
            for (const auto& row : dynamic_cast<const app::SurveyDialog*>(&survey.Shown())->HeatMap().people)
                for (const long long n : row) total += n;
            return total;
        };
        const long long all = sum();
        EXPECT_GT(all, 0);
        ASSERT_GT(survey.Entries(res::kIdSurveyThirdFilter).size(), 1u);
        ASSERT_TRUE(survey.Choose(res::kIdSurveyThirdFilter, 1));  // one third girth alone
        EXPECT_LT(sum(), all);
        ASSERT_TRUE(survey.Type(res::kIdSurveyCount, "2"));
        ASSERT_TRUE(survey.Press(res::kIdSurveySizes));
        EXPECT_EQ(survey.ItemCount(res::kIdSurveySizesList), 2);
        survey.saveFileAnswer = [&](std::string& path) {
            path = (dir / "summary.csv").string();
            return true;
        };
        ASSERT_TRUE(survey.Press(res::kIdSurveySaveCsv));
        survey.saveFileAnswer = [&](std::string& path) {
            path = (dir / "report.pdf").string();
            return true;
        };
        ASSERT_TRUE(survey.Press(res::kIdSurveySavePdf));
        ASSERT_EQ(survey.pdfs.size(), 1u);
        ASSERT_FALSE(survey.pdfs[0].pages.empty());
        EXPECT_FALSE(survey.pdfs[0].pages[0].boxes.empty());  // the heat map on the page
        EXPECT_TRUE(survey.messages.empty()) << survey.messages.front();
        // "Отмена" in the progress: the reading stops, said on the status line, nothing shown.
        survey.cancelProgress = true;
        ASSERT_TRUE(survey.Press(res::kIdSurveyRun));
        EXPECT_NE(platform::AnsiToUtf8(survey.Text(res::kIdSurveyStatus)).find("прервано"), std::string::npos);
        EXPECT_EQ(survey.ItemCount(res::kIdSurveySizesList), 2);  // what was shown before stays
        EXPECT_TRUE(survey.messages.empty());
    };
    ASSERT_TRUE(main.ChooseMenuItem(res::kCmdSurvey));
    ASSERT_TRUE(ran);
    // The summary, the sizes included, as kelvo-cli writes it for the same file.
    EXPECT_EQ(test::ReadFileBytes(dir / "summary.csv"), cli);
}

}  // namespace
}  // namespace kelvo
