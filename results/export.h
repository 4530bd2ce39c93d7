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

// Writes a feature table and its side file as one change: the table at `tablePath` (through
// any symbolic link, the side file then beside the file it reaches) and, with `side`, its
// side file, else no side file. Either both are new or both are as they were; writers of
// one folder take turns. False with `message` as WriteWholeFile's.
bool WriteTableWithSide(const std::string& tablePath, std::string_view table, const std::string* side,
                        std::string& message);

}  // namespace kelvo::results
