#pragma once
// The result list as the clipboard takes it, for a spreadsheet or a message, and the search
// for a row by what its number or name holds. Neither touches a window.

#include <span>
#include <string>
#include <string_view>

#include "results/result_table.h"

namespace kelvo::results {

// Rows `items` as tab-separated text, one line ("\r\n") per row: the five cells the list
// shows, without the fixed-width fields' padding; a tab or line end inside a cell becomes a
// blank, so that each row pastes as one row of five cells.
std::string CopiedRows(const ResultTable& table, std::span<const int> items);
// Every row, after a line of the column captions.
std::string CopiedList(const ResultTable& table);

// The first row after `from` (before it, going back) whose number or name holds `text`,
// case-insensitive in Windows-1251 and with Ё and ё read as е, starting over at the other
// end; -1 when no row holds it. `from` -1 searches from the first row on.
int FindRow(const ResultTable& table, std::string_view text, int from, bool backwards = false);

}  // namespace kelvo::results
