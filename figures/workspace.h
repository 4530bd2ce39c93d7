#pragma once
// What the group steps see of the window: the lists they fill, the result list, the value
// edit, the feature table, the key rows and the result table. Never the dialog itself.

#include <array>
#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "results/result_table.h"
#include "tables/feature_table.h"
#include "tables/table_sources.h"

namespace kelvo::figures {

// Record indices of the key features: height (1), chest (16), third girth (18 or 19).
// An entry of 0 is record 0 or "not found"; the two cannot be told apart.
using KeyFeatureRows = std::array<std::int32_t, 3>;

struct Workspace {
    platform::ComboBox& ageList;
    platform::ComboBox& heightList;   // T1
    platform::ComboBox& chestList;    // T16
    platform::ComboBox& thirdList;    // T18 or T19
    platform::StaticText& thirdLabel;
    platform::ListView& resultList;
    platform::Edit& valueEdit;
    tables::FeatureTable& table;
    tables::TableSources& sources;  // of the table open, read with it
    KeyFeatureRows& keys;
    results::ResultTable& results;
    bool& computed;
    std::int32_t& selectedRow;
    const std::string& dataDirectory;
};

}  // namespace kelvo::figures
