#pragma once
// The window of the behaviour suites over tables that tests write byte for byte, and the
// reading of a field at an offset the way the reader does.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/behaviour/window_fixture.h"
#include "tests/support/temp_dir.h"

namespace kelvo::test {

inline constexpr const char* kGroupFiles[5] = {"yasly.dbf", "girls.dbf", "boys.dbf", "female.dbf", "male.dbf"};
inline constexpr const char* kGroupNames[5] = {"Nursery", "Girls", "Boys", "Women", "Men"};

inline std::string GroupCaseName(const ::testing::TestParamInfo<int>& group) { return kGroupNames[group.param]; }

inline std::filesystem::path GroupTablePath(const TempDir& dir, int group) {
    return dir.Path() / "BD" / kGroupFiles[group];
}

inline void WriteGroupBytes(const TempDir& dir, int group, const std::string& bytes) {
    std::filesystem::create_directories(dir.Path() / "BD");
    WriteFileBytes(GroupTablePath(dir, group), bytes);
}

// `length` bytes at `offset` up to the first zero byte; empty when they are not all there.
inline std::string FieldAt(std::string_view bytes, std::size_t offset, std::size_t length) {
    if (offset > bytes.size() || bytes.size() - offset < length) return {};
    const std::string_view field = bytes.substr(offset, length);
    return std::string(field.substr(0, field.find('\0')));
}

// The five cells of every row the result list shows.
using ShownRows = std::vector<std::array<std::string, 5>>;
inline ShownRows ReadShownRows(platform::UserActions& window) {
    ShownRows rows(static_cast<std::size_t>(window.ItemCount(res::kIdResultList)));
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < 5; ++c) rows[i][static_cast<std::size_t>(c)] = window.ItemText(res::kIdResultList, static_cast<int>(i), c);
    return rows;
}

}  // namespace kelvo::test
