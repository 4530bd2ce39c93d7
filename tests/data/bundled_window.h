#pragma once
// The window over the tables the build bundles, driven as a user drives it.

#include <cstdlib>
#include <memory>
#include <string>

#include "app/figure_dialog.h"
#include "platform/codepage.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"

namespace kelvo::test {

inline constexpr int kNursery = 0, kGirls = 1, kBoys = 2, kWomen = 3, kMen = 4;

// The build tree's share/kelvo as a registry value would name it: in the ANSI code page.
inline std::string BundledDataDirectory() { return KELVO_BUNDLED_DATA; }

class BundledWindow {
public:
    explicit BundledWindow(int group) {
        dialog_.SetInitialGroup(group);
        dialog_.SetDataDirectory(BundledDataDirectory());
        window_ = std::make_unique<platform::headless::HeadlessWindow>(dialog_);
    }

    platform::headless::HeadlessWindow* operator->() { return window_.get(); }

    int Rows() { return window_->ItemCount(res::kIdResultList); }
    std::string Cell(int row, int column) { return window_->ItemText(res::kIdResultList, row, column); }
    int FeatureNumber(int row) { return std::atoi(Cell(row, 0).c_str()); }

    // The value shown for feature `number`; empty when no row holds it.
    std::string ValueOf(int number) {
        for (int row = 0; row < Rows(); ++row)
            if (FeatureNumber(row) == number) return Cell(row, 2);
        return {};
    }

    // The number the selected entry of a list shows.
    int Chosen(int listId) {
        const int index = window_->Selection(listId);
        return index < 0 ? -1 : std::atoi(window_->Entries(listId)[static_cast<std::size_t>(index)].c_str());
    }

private:
    app::FigureDialog dialog_;
    std::unique_ptr<platform::headless::HeadlessWindow> window_;  // closes before the dialog goes
};

}  // namespace kelvo::test
