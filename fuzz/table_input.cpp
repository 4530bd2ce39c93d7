#include "fuzz/table_input.h"

#include <fstream>
#include <string>
#include <utility>

#include "app/figure_dialog.h"
#include "platform/headless/headless_window.h"
#include "res/resource.h"
#include "results/export.h"
#include "tables/feature_table.h"

namespace kelvo::fuzz {
namespace {

constexpr const char* kGroupFiles[] = {"yasly.dbf", "girls.dbf", "boys.dbf", "female.dbf", "male.dbf"};

// The bytes go into the first group's file once; the other groups' names are hard links
// to it, made on the first run, so each input costs one write whatever the group count.
bool WriteTables(std::string_view bytes, const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path first = folder / kGroupFiles[0];
    {
        std::ofstream out(first, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    for (const char* name : kGroupFiles) {
        const std::filesystem::path link = folder / name;
        if (std::filesystem::equivalent(first, link, error)) continue;
        std::filesystem::remove(link, error);
        std::filesystem::create_hard_link(first, link, error);
        if (error) std::filesystem::copy_file(first, link, error);
        if (error) return false;
    }
    return true;
}

// Every field of an accepted table lies inside the file, so every read inside the table
// must succeed and every read outside it must fail with empty text.
bool ReadEveryField(const std::string& path, bool& accepted) {
    tables::FeatureTable table;
    accepted = table.Open(path);
    if (!accepted) return !table.IsOpen() && table.RecordCount() == 0;
    const std::int32_t records = table.RecordCount();
    const int columns = table.ColumnCount();
    std::string text;
    for (std::int32_t r = -1; r <= records; ++r) {
        for (int c = -1; c <= columns; ++c) {
            const bool inside = r >= 0 && r < records && c < columns && columns > 0;
            text = "stale";
            const bool read = table.ReadField(r, c, text);
            if (read != inside || (!read && !text.empty())) return false;
        }
    }
    return true;
}

// A computed figure holds one row per record, each with a formatted value.
bool ResultsAgree(const app::FigureDialog& dialog, platform::headless::HeadlessWindow& window) {
    if (!dialog.IsComputed()) return true;
    const results::ResultTable& rows = dialog.Results();
    if (rows.GetSize() != dialog.Table().RecordCount()) return false;
    if (window.ItemCount(res::kIdResultList) != rows.GetSize()) return false;
    for (std::int32_t i = 0; i < rows.GetSize(); ++i)
        if (rows[i].cells[2].empty()) return false;
    return true;
}

void ChooseLast(platform::headless::HeadlessWindow& window, int listId) {
    const int count = static_cast<int>(window.Entries(listId).size());
    if (count > 0) window.Choose(listId, count - 1);
}

}  // namespace

bool RunTableInput(std::string_view bytes, const std::filesystem::path& dataDirectory) {
    if (!WriteTables(bytes, dataDirectory / "BD")) return false;
    bool accepted = false;
    if (!ReadEveryField((dataDirectory / "BD" / kGroupFiles[0]).string(), accepted)) return false;
    // A refused table stops every load step at Open, as the window's own tests show with
    // missing tables; the time goes to the tables that load.
    if (!accepted) return true;

    app::FigureDialog dialog;
    dialog.SetDataDirectory(dataDirectory.string());
    dialog.SetInitialGroup(0);
    platform::headless::HeadlessWindow window(dialog);
    if (!ResultsAgree(dialog, window)) return false;

    // The window opens on the nursery; then every other group's load step, each followed
    // by the choice that moves its columns furthest: Adolescent girls (boys run the same steps), the last men's waist, the
    // women's band 2 and then hip 8. The loads alone cover the first entries, so the
    // women's hip 0 extrapolation too.
    constexpr int kLoadOnly = 0;
    const std::pair<int, int> choices[] = {{1, res::kIdAgeList},
                                           {2, kLoadOnly},
                                           {4, res::kIdThirdList},
                                           {3, res::kIdChestList},
                                           {3, res::kIdThirdList}};
    int group = 0;
    for (const auto& [choiceGroup, list] : choices) {
        if (choiceGroup != group) {
            group = choiceGroup;
            window.Choose(res::kIdGroupList, group);
            if (!ResultsAgree(dialog, window)) return false;
        }
        if (list == kLoadOnly) continue;
        ChooseLast(window, list);
        if (!ResultsAgree(dialog, window)) return false;
    }

    // Whatever bytes the table held reach the value edit, the rows and the export text.
    window.ClickRow(res::kIdResultList, 0);
    window.Type(res::kIdValueEdit, dialog.Results().GetSize() > 0 ? dialog.Results()[0].cells[1] : "");
    window.Press(res::kIdChangeValue);
    window.CopyFromList(res::kIdResultList);
    const std::string text = results::BuildTableText(dialog.Results());
    return dialog.Results().GetSize() == 0 || !text.empty();
}

}  // namespace kelvo::fuzz
