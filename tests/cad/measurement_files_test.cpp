// Every group's figure as the pattern-making programs read it: the .vit and the .vst valid
// against the programs' published schemas, and every value of all three files read back
// equal to the list kelvo-cli prints for the same figure.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "results/measurement_names.h"
#include "tests/support/fixture_tables.h"
#include "tests/cad/cad_files.h"
#include "tests/support/temp_dir.h"

namespace kelvo {
namespace {

using platform::AnsiToUtf8;
using platform::Utf8ToAnsi;
using results::MeasurementFormat;
using namespace test::cad;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

double Number(const std::string& text) { return std::atof(text.c_str()); }

class MeasurementFiles : public ::testing::TestWithParam<Figure> {
protected:
    test::TempDir dir;
};

TEST_P(MeasurementFiles, ValidAgainstTheSchemasAndReadBackEqualToTheList) {
    const Figure& figure = GetParam();
    const auto list = CliList(figure);
    ASSERT_GT(list.size(), 10u);
    int mapped = 0;
    for (const MeasurementFormat format : {MeasurementFormat::Vit, MeasurementFormat::Vst}) {
        const bool vit = format == MeasurementFormat::Vit;
        const std::string path = CliFile(figure, format, dir);
        if (std::string(KELVO_XMLLINT).empty()) {
            ADD_FAILURE() << "xmllint not found: not validated";
        } else {
            int code = 0;
            const std::string out = Shell(std::string(KELVO_XMLLINT) + " --noout --schema '" KELVO_SCHEMAS "/" +
                                            (vit ? "vit-v0.5.2" : "vst-v0.5.4") + ".xsd' '" + path + "' 2>&1", code);
            EXPECT_EQ(code, 0) << out;
        }
        ReadBack file = ReadXml(path);
        ASSERT_GE(file.measurements.size(), list.size());
        mapped = 0;
        std::map<std::string, double> byName;  // every name the file gives, and its value
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto& cells = list[i];
            auto m = file.measurements[i];
            const std::string number = Trim(cells[0]);
            const std::string known(results::KnownMeasurementName(kGroupKeys[figure.group], Utf8ToAnsi(number)));
            mapped += !known.empty();
            EXPECT_EQ(m["name"], known.empty() ? "@T" + number : known);
            EXPECT_NE(m["description"].find("размерный признак " + number), std::string::npos) << m["description"];
            EXPECT_EQ(m["full_name"], known.empty() ? Trim(cells[1]) : "");
            EXPECT_EQ(m[vit ? "value" : "base"], cells[2]) << number;
            byName[m["name"]] = Number(cells[2]);
            if (vit) continue;
            EXPECT_EQ(Number(m["shiftA"]), Number(cells[3])) << number;
            EXPECT_EQ(Number(m["shiftB"]), Number(cells[4])) << number;
        }
        // After the rows, each girth's other form: half a full girth, twice a half one, its
        // increments likewise, under the name the programs' Russian tables give it.
        std::size_t others = 0;
        for (const auto& cells : list) {
            const auto* known = results::KnownMeasurement(kGroupKeys[figure.group], Utf8ToAnsi(Trim(cells[0])));
            if (!known || known->otherName.empty() || byName.contains(known->otherName)) continue;
            ASSERT_LT(list.size() + others, file.measurements.size()) << known->otherName;
            auto m = file.measurements[list.size() + others++];
            const double scale = known->otherIsHalf ? 0.5 : 2;
            EXPECT_EQ(m["name"], known->otherName);
            EXPECT_DOUBLE_EQ(Number(m[vit ? "value" : "base"]), Number(cells[2]) * scale) << known->otherName;
            if (!vit) {
                EXPECT_DOUBLE_EQ(Number(m["shiftB"]), Number(cells[4]) * scale) << known->otherName;
            }
        }
        EXPECT_EQ(file.measurements.size(), list.size() + others);
        if (figure.group == 3) {
            EXPECT_GE(others, 6u);  // women: every girth also whole
        }
        if (vit) continue;
        // The multisize table's base figure is the figure shown: height, and size or chest.
        ASSERT_EQ(file.dimensions.size(), 2u);
        EXPECT_EQ(file.dimensions[0]["type"], "x");
        EXPECT_EQ(Number(file.dimensions[0]["base"]), Number(list[0][2]));
        // Feature 16 is the size for men and women and the chest girth for children: what
        // the second dimension counts in each. A child's is a full circumference, which the
        // programs double: the file holds half of it.
        const double shown = figure.group == 3 || figure.group == 4 ? 1 : 0.5;
        for (const auto& cells : list)
            EXPECT_TRUE(Trim(cells[0]) != "16" || Number(file.dimensions[1]["base"]) == Number(cells[2]) * shown);
    }
    RecordProperty("mapped", mapped);
    std::printf("%s: %d of %zu features under known names\n", kGroupKeys[figure.group], mapped, list.size());

    if (std::string(KELVO_PYTHON3).empty()) GTEST_SKIP() << "python3 not found: the JSON is not read back";
    const std::string path = CliFile(figure, MeasurementFormat::Json, dir);
    int code = 0;
    const std::string dump = Shell(std::string(KELVO_PYTHON3) +
                                     " -c 'import json,sys\n"
                                     "for f in json.load(open(sys.argv[1], encoding=\"utf-8\"))[\"features\"]:\n"
                                     "  print(f[\"number\"], f[\"value\"], f[\"height_increment\"], "
                                     "f[\"size_increment\"], f[\"edited\"], sep=\"\\t\")' '" + path + "'",
                                 code);
    ASSERT_EQ(code, 0);
    std::string expected;
    const auto shown = [](const std::string& cell) {
        // Python prints a float's shortest form: "6.0", "-0.1", "0" as an int stays "0".
        const std::string trimmed = Trim(cell);
        return trimmed.empty() ? std::string("0") : trimmed;
    };
    for (const auto& cells : list)
        expected += Trim(cells[0]) + "\t" + cells[2] + "\t" + shown(cells[3]) + "\t" + shown(cells[4]) + "\tFalse\n";
    EXPECT_EQ(dump, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryGroup, MeasurementFiles, ::testing::ValuesIn(kFigures),
                         [](const ::testing::TestParamInfo<Figure>& param) {
                             return std::string(kGroupKeys[param.param.group]) +
                                    (param.param.age >= 0 ? "_age" + std::to_string(param.param.age) : "");
                         });

TEST(MeasurementFileText, NumbersAsTheFilesWriteThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"176.0", "176.0"}, {"  -0.1 ", "-0.1"}, {"160,5", "160.5"}, {"+0070", "70"}, {"-.5", "-0.5"},
        {"5.", "5"},        {"", ""},            {"-", ""},         {"1e3", ""},      {"1.2.3", ""},
        {"12 3", ""},       {"abc", ""}};
    for (const auto& [text, decimal] : cases) EXPECT_EQ(results::DecimalText(text), decimal) << text;
}

// Rows no bundled table has: a repeated feature number, a name with XML's own signs and
// control characters, an edited value with a decimal comma, increments empty or followed
// by text (the compute step reads them as 0 and as their leading number).
TEST(MeasurementFileText, EscapedUniqueAndEditedMarked) {
    results::ResultTable table;
    const auto add = [&table](std::string number, std::string name, std::string value, std::string perHeight,
                              std::string perSize, bool edited) {
        auto& row = table.Append();
        row.cells = {number, Utf8ToAnsi(name), value, perHeight, perSize, ""};
        row.edited = edited;
    };
    add("      16", "Обхват & <груди> \"III\"", "100.0", "     0.0", "     4.0", false);
    add("      16", "Обхват груди", "101.0", "", "     4.0", false);
    add("       5", "Высота\tплечевой\x01точки", " 160,5", "   5.4см", "", true);
    results::MeasuredFigure figure{"girls", Utf8ToAnsi("Девочки"), Utf8ToAnsi("Подростковая"), "female",
                                   {{"T1", 164}, {"T16", 84}}, {164, 158, 176, 6}, {84, 88, 104, 4}, false};
    std::string vit, json, message;
    ASSERT_TRUE(results::BuildMeasurementFile(MeasurementFormat::Vit, figure, table, vit, message));
    ASSERT_TRUE(results::BuildMeasurementFile(MeasurementFormat::Json, figure, table, json, message));
    EXPECT_NE(vit.find("<m name=\"lowbust_circ\" description=\"Обхват &amp; &lt;груди&gt; &quot;III&quot; "
                       "(размерный признак 16)\" value=\"100.0\"/>"), std::string::npos) << vit;
    EXPECT_NE(vit.find("<m name=\"@T16\" full_name=\"Обхват груди\""), std::string::npos) << vit;
    EXPECT_NE(vit.find("full_name=\"Высота&#9;плечевой?точки\""), std::string::npos) << vit;
    EXPECT_NE(vit.find("value=\"160.5\""), std::string::npos);
    EXPECT_NE(json.find("{\"number\": 5, \"name\": \"Высота\\u0009плечевой\\u0001точки\", \"measurement\": \"@T5\", "
                        "\"value\": 160.5, \"height_increment\": 5.4, \"size_increment\": 0, \"edited\": true}"),
              std::string::npos) << json;
    EXPECT_NE(json.find("\"age_group\": \"Подростковая\",\n  \"leading_dimensions\": {\"T1\": 164, \"T16\": 84}"),
              std::string::npos) << json;
    // A base off the list's grid of steps the programs would refuse: the figure alone then.
    figure.size = {86, 84, 104, 4};
    std::string vst;
    ASSERT_TRUE(results::BuildMeasurementFile(MeasurementFormat::Vst, figure, table, vst, message));
    // A girl's chest is a full circumference, which the programs double: written as its half.
    EXPECT_NE(vst.find("<dimension type=\"y\" base=\"43\" min=\"43\" max=\"43\" step=\"0\""), std::string::npos) << vst;
    EXPECT_NE(vst.find("<dimensions fullCircumference=\"true\">"), std::string::npos);
    EXPECT_NE(vst.find("<version>0.5.4</version>"), std::string::npos);
    EXPECT_NE(vit.find("<version>0.5.2</version>"), std::string::npos);
    EXPECT_NE(vit.find("<pm_system>998</pm_system>"), std::string::npos);
    EXPECT_NE(vst.find("<dimension type=\"x\" base=\"164\" min=\"158\" max=\"176\" step=\"6\""), std::string::npos);

    if (std::string(KELVO_XMLLINT).empty()) GTEST_SKIP() << "xmllint not found: not validated";
    test::TempDir dir;
    for (const auto& [file, bytes] : {std::pair{"x.vit", vit}, std::pair{"x.vst", vst}}) {
        test::WriteFileBytes(dir / file, bytes);
        int code = 0;
        const std::string out = Shell(std::string(KELVO_XMLLINT) + " --noout --schema '" KELVO_SCHEMAS "/" +
                                          (std::string(file) == "x.vit" ? "vit-v0.5.2" : "vst-v0.5.4") + ".xsd' '" +
                                          (dir / file).string() + "' 2>&1", code);
        EXPECT_EQ(code, 0) << out;
    }
}

TEST(MeasurementFileText, AValueThatIsNoNumberIsSaidAndNothingWritten) {
    results::ResultTable table;
    table.Append().cells = {"       1", "", "170.0", "6.0", "0.0", ""};
    table.Append().cells = {"      16", "", Utf8ToAnsi("сорок"), "0.0", "2.0", ""};
    test::TempDir dir;
    const std::string path = (dir / "figure.vst").string();
    test::WriteFileBytes(path, "old");
    std::string message;
    for (const MeasurementFormat format : {MeasurementFormat::Vit, MeasurementFormat::Vst, MeasurementFormat::Json}) {
        EXPECT_FALSE(results::WriteMeasurementFile(path, format, {}, table, message));
        EXPECT_EQ(AnsiToUtf8(message), "Мерки не записаны: у признака 16 значение «сорок» не число.");
        EXPECT_EQ(test::ReadFileBytes(path), "old");
    }
}

// The context menu's entry: the type chosen in the save dialog decides the file, a name
// typed without its extension gets it, an edited value is written and marked.
TEST(MeasurementFilesWindow, ContextMenuSavesTheTypeChosenWithEditedValues) {
    test::TempDir dir;
    test::WriteAllGroupTables(dir.Path());
    app::FigureDialog dialog;
    dialog.SetInitialGroup(4);
    dialog.SetDataDirectory(dir.DataDirectory());
    platform::headless::HeadlessWindow window(dialog);
    std::string suggested, target = (dir / "men").string();
    window.menuAnswer = [](std::span<const std::string_view> items) {
        return items.size() >= 2 && AnsiToUtf8(items[1]) == "Сохранить мерки для САПР…" ? 1 : -1;
    };
    window.saveFileAnswer = [&](std::string& path) {
        suggested = path;
        path = target;
        return true;
    };
    ASSERT_TRUE(window.ClickRow(res::kIdResultList, 2));
    ASSERT_TRUE(window.Type(res::kIdValueEdit, "44,5"));
    ASSERT_TRUE(window.Press(res::kIdChangeValue));
    for (int type = 0; type < 3; ++type) {
        window.saveFilterAnswer = type;
        ASSERT_TRUE(window.ContextMenu(res::kIdResultList));
        std::string expected, message;
        ASSERT_TRUE(results::BuildMeasurementFile(static_cast<MeasurementFormat>(type), dialog.ShownFigure(),
                                                  dialog.Results(), expected, message));
        EXPECT_EQ(test::ReadFileBytes(target + "." + kFormatNames[type]), expected);
    }
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(suggested, dir.DataDirectory() + "\\Мерки (Мужчины, 146-84-66).vit");
    EXPECT_NE(AnsiToUtf8(window.saveFilter).find("(*.vst)|*.vst|"), std::string::npos);
    const std::string json = test::ReadFileBytes(target + ".json");
    EXPECT_NE(json.find("\"value\": 44.5, \"height_increment\": 0.8, \"size_increment\": 1.1, \"edited\": true"),
              std::string::npos) << json;

    target = (dir / "missing" / "men.vit").string();
    ASSERT_TRUE(window.ContextMenu(res::kIdResultList));
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_TRUE(AnsiToUtf8(window.messages[0]).starts_with("Не удалось записать файл")) << window.messages[0];
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(MeasurementFilesCli, ToStdoutOrToAFileOrSaysWhyNot) {
    test::TempDir dir;
    test::WriteAllGroupTables(dir.Path());
    const std::string cli = std::string(KELVO_CLI) + " --data '" + dir.DataDirectory() + "' ";
    int code = 0;
    const std::string json = Shell(cli + "--group 2 --age 1 --format json", code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(json.starts_with("{\n  \"group\": \"Мальчики\",\n  \"age_group\": \"Младшая школьная\",")) << json;
    EXPECT_EQ(Shell(cli + "--group 4 --format vst --output '" + (dir / "m.vst").string() + "'", code), "");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(test::ReadFileBytes(dir / "m.vst").starts_with("<?xml"));
    const std::string err = Shell(cli + "--format vit --output '" + (dir / "no" / "m.vit").string() + "' 2>&1", code);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.find("Не удалось записать файл"), std::string::npos) << err;
    Shell(cli + "--format xml 2>&1", code);
    EXPECT_EQ(code, 2);
    Shell(cli + "--chart c.csv --output x 2>&1", code);
    EXPECT_EQ(code, 2);
}

// The table itself: every row names groups that exist, a name the programs' formulas accept,
// and no feature twice in one group.
TEST(MeasurementNames, OneKnownNamePerFeatureAndGroup) {
    const auto& rows = results::MeasurementNameRows();
    ASSERT_GT(rows.size(), 70u);
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const auto& row : rows) {
        EXPECT_EQ(row.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << row.name;
        ASSERT_FALSE(row.groups.empty()) << row.number;
        for (const auto& group : row.groups) {
            const bool all = group == "all";
            EXPECT_TRUE(all || std::find(std::begin(kGroupKeys), std::end(kGroupKeys), group) != std::end(kGroupKeys))
                << group;
            for (const char* key : kGroupKeys)
                if (all || group == key) {
                    const auto feature = std::make_pair(std::string(key), row.number);
                    EXPECT_EQ(++seen[feature], 1) << key << " " << AnsiToUtf8(row.number);
                }
        }
    }
}

}  // namespace
}  // namespace kelvo
