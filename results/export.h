#pragma once
// Writing the rows to table.txt: feature number, one blank, value, CR LF per row.

#include <string>
#include <string_view>

#include "results/result_table.h"

namespace kelvo::results {

// The bytes of table.txt for `table`, 8-bit text as the rows hold it.
std::string BuildTableText(const ResultTable& table);

// Writes `table` to `path` as a whole or not at all. False with `message` (Windows-1251,
// for the user: the file and the reason) when the old file, if any, was kept.
bool WriteTableText(const std::string& path, const ResultTable& table, std::string& message);

// Writes `bytes` to `path` as a whole or not at all, with the same message on failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& message);

}  // namespace kelvo::results
