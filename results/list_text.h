#pragma once
// The result list as text for scripts and terminals: tab-separated, CSV or aligned columns.

#include <string>
#include <vector>

namespace kelvo::results {

enum class ListFormat {
    Tsv,    // the cells exactly as the list shows them, a tab between, LF after each line
    Csv,    // RFC 4180 with "," and ".", cells without their table padding, CR LF
    Table,  // columns padded to line up in a terminal
};

// `lines` is the heading line and then one line per list item, cells in Windows-1251;
// the text is UTF-8.
std::string FormatList(const std::vector<std::vector<std::string>>& lines, ListFormat format);

}  // namespace kelvo::results
