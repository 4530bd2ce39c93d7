#pragma once
// A FigureDialog opened on the test binary's front end over fixture tables in a temp dir.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/figure_dialog.h"
#include "res/resource.h"
#include "tests/support/fixture_tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_window.h"

namespace kelvo::test {

inline constexpr int kNursery = 0, kGirls = 1, kBoys = 2, kWomen = 3, kMen = 4;
// The fixture tables' records: 0 height, 1 chest, 2 a feature worth computing, 3 waist or hip.
inline constexpr int kFeatureRow = 2;

class WindowTest : public ::testing::Test {
protected:
    // Opens the window with `group` as the initial group; `tables` false leaves BD empty.
    void Open(int group, bool tables = true) {
        if (tables) WriteAllGroupTables(dir.Path());
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dir.DataDirectory());
        window = OpenTestWindow(dialog);
    }

    std::vector<std::string> Entries(int id) { return window->Entries(id); }
    int Selection(int id) { return window->Selection(id); }
    int Rows() { return window->ItemCount(res::kIdResultList); }
    std::string Cell(int item, int column) { return window->ItemText(res::kIdResultList, item, column); }
    std::string Value(int item = kFeatureRow) { return Cell(item, 2); }
    bool Choose(int id, int index) { return window->Choose(id, index); }
    bool ChooseText(int id, const std::string& text) { return window->ChooseText(id, text); }

    TempDir dir;
    app::FigureDialog dialog;
    std::unique_ptr<platform::UserActions> window;
};

// "98", "104", ... as the lists show them.
inline std::vector<std::string> Numbers(int first, int last, int step) {
    std::vector<std::string> numbers;
    for (int n = first; n <= last; n += step) numbers.push_back(std::to_string(n));
    return numbers;
}

}  // namespace kelvo::test
