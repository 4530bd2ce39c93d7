#pragma once
// One input of the table fuzzer, run through everything that reads a feature table: the
// reader field by field, and every group's load and compute steps on a headless window.

#include <filesystem>
#include <string_view>

namespace kelvo::fuzz {

// Writes `bytes` as the table of every group under `dataDirectory`/BD and reads every
// field and one index beyond each edge; when the reader accepts the table, opens a window
// there and chooses every group and the entries that reach its highest columns. False
// when a result breaks the reader's rules: a field inside an accepted table that cannot
// be read, a failed read with text, or a computed figure whose row count is not the
// table's record count.
bool RunTableInput(std::string_view bytes, const std::filesystem::path& dataDirectory);

}  // namespace kelvo::fuzz
