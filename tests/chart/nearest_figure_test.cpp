// The figures nearest to a person's measurements: found by the same walk as the size chart,
// ranked by grid steps, with the further features weighed by their size increments.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/figure_dialog.h"
#include "app/nearest_figure_dialog.h"
#include "figures/client_measurements.h"
#include "figures/group_registry.h"
#include "figures/nearest_figure.h"
#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "results/measurement_files.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using figures::FigureGroup;
using figures::PersonMeasurements;
using results::FigureMatch;

class NearestFigure : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAllGroupTables(dir.Path()); }

    std::vector<FigureMatch> Find(FigureGroup group, int age, const PersonMeasurements& person) {
        std::vector<FigureMatch> nearest;
        std::string message;
        EXPECT_TRUE(figures::FindNearestFigures(dir.DataDirectory(), group, age, person, nearest, message)) << message;
        return nearest;
    }
    std::string Refused(FigureGroup group, const PersonMeasurements& person) {
        std::vector<FigureMatch> nearest;
        std::string message;
        EXPECT_FALSE(figures::FindNearestFigures(dir.DataDirectory(), group, 0, person, nearest, message));
        EXPECT_TRUE(nearest.empty());
        return message;
    }

    test::TempDir dir;
};

using Leading = std::tuple<std::string, std::string, std::string>;

Leading LeadingOf(const FigureMatch& match) { return {match.height, match.chest, match.third}; }

PersonMeasurements Person(const Leading& figure, double taller = 0) {
    PersonMeasurements person{std::stod(std::get<0>(figure)) + taller, std::stod(std::get<1>(figure)), {}, {}};
    if (!std::get<2>(figure).empty()) person.third = std::stod(std::get<2>(figure));
    return person;
}

// Every group and age group: a figure's own leading dimensions find it first at distance
// 0, and a person one height step taller finds the next height with the same girths.
TEST_F(NearestFigure, LeadingDimensionsFindTheirFigureAndOneStepTallerTheNextHeight) {
    for (const figures::GroupEntry& group : figures::Groups()) {
        for (int age = 0; age < (group.hasAgeGroups ? figures::kAgeGroupCount : 1); ++age) {
            SCOPED_TRACE(std::string(group.englishName) + " " + std::to_string(age));
            std::vector<Leading> walked;
            figures::WalkFigures(dir.DataDirectory(), group.group, age, [&](const figures::WalkedFigure& f) {
                walked.emplace_back(f.height, f.chest, f.third);
                return true;
            });
            ASSERT_FALSE(walked.empty());
            const std::set<Leading> offered(walked.begin(), walked.end());
            for (const std::size_t at : {std::size_t{0}, walked.size() / 2, walked.size() - 1}) {
                const Leading& figure = walked[at];
                const std::vector<FigureMatch> own = Find(group.group, age, Person(figure));
                ASSERT_EQ(own.size(), 3u);
                EXPECT_EQ(LeadingOf(own[0]), figure);
                EXPECT_EQ(own[0].distance, 0.0);
                EXPECT_EQ(own[0].age, group.hasAgeGroups ? age : -1);
                EXPECT_GT(own[1].distance, 0.0);
                EXPECT_LE(own[1].distance, own[2].distance);
                // The person's differences from the figure: none, for each dimension given.
                ASSERT_EQ(own[0].differences.size(), group.hasThirdList ? 3u : 2u);
                for (const auto& d : own[0].differences) EXPECT_EQ(d.Difference(), 0.0);

                Leading taller = figure;
                std::get<0>(taller) = std::to_string(std::stoi(std::get<0>(figure)) + figures::kHeightStep);
                if (!offered.contains(taller)) continue;
                const std::vector<FigureMatch> next = Find(group.group, age, Person(figure, 7));
                EXPECT_EQ(LeadingOf(next[0]), taller);
                EXPECT_EQ(next[0].differences[0].Difference(), 1.0);
            }
        }
    }
}

TEST_F(NearestFigure, AFurtherFeatureChangesTheWinnerAndEqualDistancesKeepListOrder) {
    // Hip 106 lies half a step from 104 and from 108: list order puts 104 first. Neck girth
    // (feature 2) of the 108 figure, 45.0 against 42.0, makes that one the nearest.
    PersonMeasurements person{164, 96, 106, {}};
    std::vector<FigureMatch> nearest = Find(FigureGroup::Women, 0, person);
    ASSERT_EQ(nearest.size(), 3u);
    EXPECT_EQ(LeadingOf(nearest[0]), (Leading{"164", "96", "104"}));
    EXPECT_EQ(LeadingOf(nearest[1]), (Leading{"164", "96", "108"}));
    EXPECT_EQ(nearest[0].distance, 0.5);

    person.features = {{2, 45.0}};
    nearest = Find(FigureGroup::Women, 0, person);
    EXPECT_EQ(LeadingOf(nearest[0]), (Leading{"164", "96", "108"}));
    EXPECT_EQ(nearest[0].distance, 0.5);
    const results::FeatureDifference& neck = nearest[0].differences.back();
    EXPECT_EQ(neck.feature, 2);
    EXPECT_FALSE(neck.leading);
    EXPECT_DOUBLE_EQ(neck.figure, 45.0);
}

TEST_F(NearestFigure, AnyAgeGroupSearchesAllFourInListOrder) {
    // 146 cm, chest 76, waist 63 is a boy's figure of JuniorSchool and of SeniorSchool.
    const std::vector<FigureMatch> nearest = Find(FigureGroup::Boys, figures::kAnyAge, {146, 76, 63, {}});
    ASSERT_EQ(nearest.size(), 3u);
    EXPECT_EQ(nearest[0].age, 1);
    EXPECT_EQ(nearest[1].age, 2);
    EXPECT_EQ(nearest[1].distance, 0.0);
    EXPECT_EQ(Find(FigureGroup::Boys, figures::kAnyAge, {100, {}, {}, {}})[0].age, 0);
}

TEST_F(NearestFigure, MeasurementsNoFigureComesNearAreRefusedByName) {
    // A child's height for women, a chest far beyond the largest men's figure.
    EXPECT_NE(Refused(FigureGroup::Women, {110, {}, {}, {}}).find("T1 = 110"), std::string::npos);
    EXPECT_NE(Refused(FigureGroup::Men, {{}, 150, {}, {}}).find("T16 = 150"), std::string::npos);
    // Two steps outside is still near enough.
    EXPECT_EQ(Find(FigureGroup::Men, 0, {{}, 144, {}, {}})[0].chest, "136");
    EXPECT_NE(Refused(FigureGroup::Men, {170, {}, {}, {{99, 1}}}).find("99"), std::string::npos);
    EXPECT_FALSE(Refused(FigureGroup::Men, {}).empty());
    EXPECT_FALSE(Refused(FigureGroup::Nursery, {{}, {}, 50, {}}).empty());
}

TEST_F(NearestFigure, FeatureListsAsPeopleTypeThem) {
    std::vector<figures::Measurement> features;
    std::string message;
    ASSERT_TRUE(figures::ParseFeatureList(" 7 = 103,5; 12=40 ;", features, message)) << message;
    ASSERT_EQ(features.size(), 2u);
    EXPECT_EQ(features[0].feature, 7);
    EXPECT_EQ(features[0].value, 103.5);
    EXPECT_EQ(features[1].feature, 12);
    for (const char* bad : {"7", "7=", "x=1", "7=1.2.3", "0=5", "7.5=1", "7=1e999"}) {
        EXPECT_FALSE(figures::ParseFeatureList(bad, features, message)) << bad;
        EXPECT_NE(message.find(bad), std::string::npos) << message;
    }
}

// The window's context menu opens the search; the figure chosen there is shown as if the user
// had chosen it in the lists: the same entries selected, the same rows computed.
TEST_F(NearestFigure, TheChosenFigureIsSelectedInTheWindowAsByHand) {
    using platform::headless::HeadlessWindow;
    const auto open = [this](app::FigureDialog& dialog, int group) {
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dir.DataDirectory());
        return std::make_unique<HeadlessWindow>(dialog);
    };
    app::FigureDialog searched;
    const auto window = open(searched, 2);
    window->menuAnswer = [](std::span<const std::string_view> items) {
        const auto at = std::find(items.begin(), items.end(), app::NearestFigureDialog::kMenuCaption.view());
        return at == items.end() ? -1 : static_cast<int>(at - items.begin());
    };
    int searches = 0;
    std::vector<std::string> row;  // the second figure found, as the search list shows it
    window->modalUser = [&searches, &row](HeadlessWindow& search) {
        ++searches;
        EXPECT_FALSE(search.IsEnabled(res::kIdNearestChoose));
        // The further feature from the list: its row, the value, "Задать".
        search.ClickRow(res::kIdNearestFeatureList, 0);
        search.Type(res::kIdNearestFeatureValue, "59");
        search.Press(res::kIdNearestSetValue);
        EXPECT_EQ(search.ItemText(res::kIdNearestFeatureList, 0, 3), "59");
        search.Type(res::kIdNearestHeight, "141");
        search.Type(res::kIdNearestChest, "70,5");
        // The window's age group, Preschool, has no figure near 141 cm: said, nothing found.
        EXPECT_EQ(search.Selection(res::kIdNearestAgeList), 1);
        search.PressEnter();
        EXPECT_EQ(search.ItemCount(res::kIdNearestResults), 0);
        ASSERT_EQ(search.messages.size(), 1u);
        EXPECT_NE(search.messages[0].find("T1 = 141"), std::string::npos);
        search.Choose(res::kIdNearestAgeList, 0);  // any age group
        search.Press(res::kIdNearestSearch);
        ASSERT_EQ(search.ItemCount(res::kIdNearestResults), 3);
        for (int column = 0; column < 4; ++column) row.push_back(search.ItemText(res::kIdNearestResults, 1, column));
        search.ClickRow(res::kIdNearestResults, 1);
        search.Press(res::kIdNearestChoose);
    };
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList));
    ASSERT_EQ(searches, 1);
    EXPECT_TRUE(window->messages.empty()) << window->messages.front();

    app::FigureDialog byHand;
    const auto hand = open(byHand, 2);
    for (const int list : {res::kIdAgeList, res::kIdHeightList, res::kIdChestList, res::kIdThirdList})
        ASSERT_TRUE(hand->Choose(list, window->Selection(list)));
    const auto shown = [&window](int list) {
        return window->Entries(list)[static_cast<std::size_t>(window->Selection(list))];
    };
    EXPECT_EQ(row, (std::vector<std::string>{shown(res::kIdAgeList), shown(res::kIdHeightList),
                                             shown(res::kIdChestList), shown(res::kIdThirdList)}));
    ASSERT_EQ(window->ItemCount(res::kIdResultList), hand->ItemCount(res::kIdResultList));
    for (int item = 0; item < window->ItemCount(res::kIdResultList); ++item)
        EXPECT_EQ(window->ItemText(res::kIdResultList, item, 2), hand->ItemText(res::kIdResultList, item, 2));
    EXPECT_TRUE(searched.IsComputed());

    // Closed without a choice, the window stays as it was.
    window->modalUser = [](HeadlessWindow& search) { search.PressEscape(); };
    const int height = window->Selection(res::kIdHeightList);
    ASSERT_TRUE(window->ContextMenu(res::kIdResultList));
    EXPECT_EQ(window->Selection(res::kIdHeightList), height);
}

// A client's measurements file: the programs' names to the group's features, a full or a
// half girth alike, in its unit; what is not measured (0), a formula, another program's own
// names and what the group lacks count for nothing; the leading girths come whole, as the
// lists give them.
TEST(ClientMeasurements, NamesUnitsAndFormsAsTheProgramsWriteThem) {
    const figures::GroupEntry& women = *figures::FindGroup(3);
    figures::ClientMeasurements read;
    std::string message;
    const std::string vit =
        "<?xml version='1.0' encoding='UTF-8'?>\n<vit>\n <version>0.3.3</version>\n <unit>mm</unit>\n"
        " <body-measurements>\n"
        "  <m name=\"height\" value=\"1640\"/>\n"
        "  <m value='1000' description=\"x &amp; y\" name='lowbust_circ'/>\n"   // whole: T16 100
        "  <m name=\"hip_with_abdomen_arc_f\" value=\"520\"/>\n"                 // half: T19 104
        "  <m name=\"neck_circ\" value=\"400\" full_name=\"\"/>\n"               // whole; women's 13 is the half
        "  <m name=\"neck_arc_f\" value=\"999\"/>\n"                             // the same feature again
        "  <m name=\"@T45\" value=\"181\"/>\n"                                   // kelvo's own custom name
        "  <m name=\"waist_circ\" value=\"0\"/>\n"                               // not measured
        "  <m name=\"bust_circ\" value=\"hip_circ/2\"/>\n"                       // a formula
        "  <m name=\"@Сг\" value=\"46\"/>\n"                                     // another program's own
        " </body-measurements>\n</vit>\n";
    ASSERT_TRUE(figures::ReadClientMeasurements(vit, women, read, message)) << message;
    EXPECT_DOUBLE_EQ(*read.person.height, 164);
    EXPECT_DOUBLE_EQ(*read.person.chest, 100);
    EXPECT_DOUBLE_EQ(*read.person.third, 104);
    ASSERT_EQ(read.person.features.size(), 2u);
    EXPECT_EQ(read.person.features[0].feature, 13);
    EXPECT_DOUBLE_EQ(read.person.features[0].value, 20);
    EXPECT_EQ(read.person.features[1].feature, 45);
    EXPECT_DOUBLE_EQ(read.person.features[1].value, 18.1);
    EXPECT_EQ(read.taken, 5);
    EXPECT_EQ(read.ignored, 3);
    EXPECT_TRUE(read.lacking.empty());

    // Inches; for men the chest's half and the waist whole; what is missing is named.
    const std::string inches = "<vit><unit>inch</unit><m name=\"lowbust_arc_f\" value=\"20\"/></vit>";
    ASSERT_TRUE(figures::ReadClientMeasurements(inches, *figures::FindGroup(4), read, message));
    EXPECT_DOUBLE_EQ(*read.person.chest, 101.6);
    EXPECT_EQ(read.lacking, (std::vector<std::string>{"T1", "T18"}));
    EXPECT_FALSE(figures::ReadClientMeasurements("<vst><unit>cm</unit></vst>", women, read, message));
    EXPECT_FALSE(figures::ReadClientMeasurements("<vit><unit>furlong</unit></vit>", women, read, message));
    EXPECT_NE(platform::AnsiToUtf8(message).find("furlong"), std::string::npos);
}

// kelvo's own file of a figure read back finds that figure, at no distance; Valentina's own
// clients' files are read as far as they go. Over the bundled tables, whose girths are in the
// forms the name table gives them (the fixtures' are not).
TEST(ClientMeasurements, AFiguresOwnFileFindsItAndTheProgramsExamplesAreRead) {
    for (const int group : {0, 1, 2, 3, 4}) {
        app::FigureDialog dialog;
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(KELVO_BUNDLED_DATA);
        platform::headless::HeadlessWindow window(dialog);
        ASSERT_TRUE(window.Choose(res::kIdHeightList, 1));
        std::string vit, message;
        ASSERT_TRUE(results::BuildMeasurementFile(results::MeasurementFormat::Vit, dialog.ShownFigure(), dialog.Results(),
                                                  vit, message));
        const figures::GroupEntry& entry = *figures::FindGroup(group);
        figures::ClientMeasurements read;
        ASSERT_TRUE(figures::ReadClientMeasurements(vit, entry, read, message)) << message;
        EXPECT_TRUE(read.lacking.empty()) << group;
        std::vector<FigureMatch> nearest;
        ASSERT_TRUE(figures::FindNearestFigures(KELVO_BUNDLED_DATA, entry.group, entry.hasAgeGroups ? 0 : figures::kAnyAge,
                                                read.person, nearest, message)) << message;
        ASSERT_FALSE(nearest.empty());
        EXPECT_EQ(nearest[0].distance, 0) << group;
        EXPECT_EQ(nearest[0].heightIndex, 1) << group;
    }
    const std::filesystem::path susan = "/usr/share/doc/valentina/examples/collection/Susan.vit";
    if (!std::filesystem::exists(susan)) GTEST_SKIP() << "Valentina's examples are not installed";
    figures::ClientMeasurements read;
    std::string message;
    ASSERT_TRUE(figures::ReadClientMeasurements(test::ReadFileBytes(susan), *figures::FindGroup(3), read, message));
    EXPECT_DOUBLE_EQ(*read.person.third, 114);  // hip_circ_with_abdomen, whole
    EXPECT_EQ(read.lacking, (std::vector<std::string>{"T1", "T16"}));  // no height, lowbust 0
    EXPECT_GT(read.taken, 5);
}

// The search's "Из файла мерок…" fills the person's fields and the features' column; kelvo-cli
// reads the same file, and an option given beside it counts instead of the file's value.
TEST(ClientMeasurements, TheDialogAndKelvoCliTakeAClientsFile) {
    test::TempDir dir;
    app::FigureDialog men;
    men.SetInitialGroup(4);
    men.SetDataDirectory(KELVO_BUNDLED_DATA);
    platform::headless::HeadlessWindow window(men);
    ASSERT_TRUE(window.Choose(res::kIdHeightList, 2));
    std::string vit, message;
    ASSERT_TRUE(results::BuildMeasurementFile(results::MeasurementFormat::Vit, men.ShownFigure(), men.Results(), vit,
                                              message));
    test::WriteFileBytes(dir / "client.vit", vit);
    const std::string height = window.Entries(res::kIdHeightList)[2];
    window.menuAnswer = [](std::span<const std::string_view> items) {
        const auto at = std::find(items.begin(), items.end(), app::NearestFigureDialog::kMenuCaption.view());
        return at == items.end() ? -1 : static_cast<int>(at - items.begin());
    };
    window.modalUser = [&](platform::headless::HeadlessWindow& search) {
        search.openAnswer = (dir / "client.vit").string();
        ASSERT_TRUE(search.Press(res::kIdNearestFromFile));
        EXPECT_TRUE(search.messages.empty()) << search.messages.front();
        EXPECT_EQ(search.Text(res::kIdNearestHeight), height);
        EXPECT_DOUBLE_EQ(std::stod(search.ItemText(res::kIdNearestFeatureList, 0, 3)),
                         std::stod(search.ItemText(res::kIdNearestFeatureList, 0, 2)));
        search.openAnswer = (dir / "missing.vit").string();
        ASSERT_TRUE(search.Press(res::kIdNearestFromFile));
        EXPECT_EQ(search.messages.size(), 1u);
    };
    ASSERT_TRUE(window.ContextMenu(res::kIdResultList));

    const std::string cli = std::string(KELVO_CLI) + " --data '" KELVO_BUNDLED_DATA
                            "' --group men --nearest --measurements '" +
                            (dir / "client.vit").string() + "'";
    EXPECT_EQ(std::system((cli + " --format tsv >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'").c_str()), 0);
    const std::string out = test::ReadFileBytes(dir / "out");
    EXPECT_NE(out.find("\n1\t" + platform::AnsiToUtf8(height) + "\t"), std::string::npos) << out;
    EXPECT_NE(test::ReadFileBytes(dir / "err").find("из файла мерок взято"), std::string::npos);
    // The option's height counts: the first figure's T1 difference is 200 less its height.
    EXPECT_EQ(std::system((cli + " --height 200 --format tsv >'" + (dir / "out").string() + "' 2>/dev/null").c_str()), 0);
    const std::string given = test::ReadFileBytes(dir / "out");
    const std::size_t row = given.find("\n1\t") + 3;
    const std::string figureHeight = given.substr(row, given.find('\t', row) - row);
    char difference[16];
    std::snprintf(difference, sizeof difference, "\t+%.1f\t", 200.0 - std::stod(figureHeight));
    EXPECT_NE(given.find(difference, row), std::string::npos) << given.substr(0, 400);
    const std::string missing = std::string(KELVO_CLI) + " --data '" KELVO_BUNDLED_DATA
                                "' --group men --nearest --measurements /nonexistent.vit 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(missing.c_str())), 1);
}

}  // namespace
}  // namespace kelvo
