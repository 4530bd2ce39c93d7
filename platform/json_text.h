#pragma once
// JSON string literals of Windows-1251 text, for the files and front ends that speak JSON.

#include <string>
#include <string_view>

namespace kelvo::platform {

// `ansi` as UTF-8 between quotes: '"' and '\' escaped, control characters as \u00XX.
std::string JsonString(std::string_view ansi);

}  // namespace kelvo::platform
