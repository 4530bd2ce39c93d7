// The Qt window under real input shows what the headless reference window shows, action
// by action: the same events reach the dialog in the same order.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "tests/qt/qt_test_window.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {
namespace {

using namespace res;

std::string Describe(platform::UserActions& window, const std::filesystem::path& exported) {
    std::string text;
    for (const int combo : {kIdGroupList, kIdAgeList, kIdHeightList, kIdChestList, kIdThirdList}) {
        text += "list " + std::to_string(combo) + (window.IsEnabled(combo) ? "" : " disabled") +
                " selection " + std::to_string(window.Selection(combo)) + ":";
        for (const std::string& entry : window.Entries(combo)) text += " " + entry;
        text += "\n";
    }
    text += "label " + window.Text(kIdThirdLabel) + ", edit [" + window.Text(kIdValueEdit) + "]\n";
    for (int item = 0; item < window.ItemCount(kIdResultList); ++item) {
        for (int column = 0; column < 5; ++column) text += window.ItemText(kIdResultList, item, column) + "|";
        text += "\n";
    }
    text += "selected " + std::to_string(window.FirstSelectedItem(kIdResultList)) + "\n";
    for (const std::string& message : window.Messages()) text += "message " + message + "\n";
    text += std::string(window.IsOpen() ? "open" : "closed") + ", clipboard [" + window.Clipboard() + "]\n";
    text += "table.txt [" + ReadFileBytes(exported) + "]\n";
    return text;
}

struct Step {
    std::string name;
    std::function<bool(platform::UserActions&)> act;
};

// Every action of UserActions, in the situations where front ends tend to differ: the
// entry already chosen, clicks with and without the control key, an empty area, the
// arrow keys after it, Enter in the edit, a disabled list, a closed window.
const std::vector<Step>& Script() {
    static const std::vector<Step> steps = {
        {"choose boys", [](auto& w) { return w.Choose(kIdGroupList, 2); }},
        {"choose junior school", [](auto& w) { return w.Choose(kIdAgeList, 1); }},
        {"choose second height", [](auto& w) { return w.Choose(kIdHeightList, 1); }},
        {"click row 2", [](auto& w) { return w.ClickRow(kIdResultList, 2); }},
        {"choose the same height", [](auto& w) { return w.Choose(kIdHeightList, 1); }},
        {"type 160", [](auto& w) { return w.Type(kIdValueEdit, "160"); }},
        {"press change", [](auto& w) { return w.Press(kIdChangeValue); }},
        {"click row 1", [](auto& w) { return w.ClickRow(kIdResultList, 1); }},
        {"add row 3", [](auto& w) { return w.ClickRow(kIdResultList, 3, true); }},
        {"copy", [](auto& w) { return w.CopyFromList(kIdResultList); }},
        {"click empty area", [](auto& w) { return w.ClickEmptyArea(kIdResultList); }},
        {"arrow up", [](auto& w) { return w.MoveSelection(kIdResultList, -1); }},
        {"type Cyrillic", [](auto& w) { return w.Type(kIdValueEdit, "\xE0\xE1\xE2 1"); }},
        {"enter in the edit", [](auto& w) { return w.PressEnter(); }},
        {"write table", [](auto& w) { return w.Press(kIdWriteTable); }},
        {"type nothing", [](auto& w) { return w.Type(kIdValueEdit, ""); }},
        {"click row 0", [](auto& w) { return w.ClickRow(kIdResultList, 0); }},
        {"choose men, table missing", [](auto& w) { return w.Choose(kIdGroupList, 4); }},
        {"write without a table", [](auto& w) { return w.Press(kIdWriteTable); }},
        {"choose nursery", [](auto& w) { return w.Choose(kIdGroupList, 0); }},
        {"choose in the disabled list", [](auto& w) { return w.Choose(kIdThirdList, 0); }},
        {"tab into the list, arrow down", [](auto& w) { return w.MoveSelection(kIdResultList, 1); }},
        {"copy one row", [](auto& w) { return w.CopyFromList(kIdResultList); }},
        {"escape", [](auto& w) { return w.PressEscape(); }},
        {"press change when closed", [](auto& w) { return w.Press(kIdChangeValue); }},
    };
    return steps;
}

std::vector<std::string> RunScript(platform::UserActions& window, const std::filesystem::path& exported) {
    std::vector<std::string> seen = {"opened\n" + Describe(window, exported)};
    for (const Step& step : Script()) {
        const bool done = step.act(window);
        seen.push_back(step.name + (done ? "\n" : " refused\n") + Describe(window, exported));
    }
    return seen;
}

TEST(QtUserActions, ShowWhatTheHeadlessWindowShows) {
    TempDir dir;
    WriteAllGroupTables(dir.Path());
    std::filesystem::remove(dir / "BD" / "male.dbf");

    app::FigureDialog reference;
    reference.SetDataDirectory(dir.DataDirectory());
    std::vector<std::string> expected;
    {
        platform::headless::HeadlessWindow window(reference);
        expected = RunScript(window, dir / "table.txt");
    }
    std::filesystem::remove(dir / "table.txt");

    app::FigureDialog dialog;
    dialog.SetDataDirectory(dir.DataDirectory());
    QtTestWindow window(dialog);
    const std::vector<std::string> seen = RunScript(window, dir / "table.txt");

    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], expected[i]) << "step " << i;
}

}  // namespace
}  // namespace kelvo::test
