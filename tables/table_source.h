#pragma once
// A feature table's CSV source, as a designer fills it in a spreadsheet, and the way back:
// the table's records in the same layout, so that an edited dump converts back byte for byte.

#include <string>
#include <string_view>
#include <vector>

#include "tables/feature_table.h"
#include "tables/table_sources.h"
#include "tables/table_writer.h"

namespace kelvo::tables {

// One thing wrong with a source: where, what is there and what belongs there (UTF-8).
struct TableFault {
    int line = 0;    // line of the source, 0 for the source as a whole
    int column = 0;  // counted from 1, 0 for the line as a whole
    std::string found, expected;
};

struct TableSource {
    std::vector<std::string> header;  // the column names as written
    TableContents contents;           // the records as the table stores them
    std::vector<int> lines;           // the source line of each record
    bool hasSources = false;          // the source ends with a column "source"
    FeatureSources sources;
};

// Reads a UTF-8 CSV source of a table with `columns` columns: a header line naming them,
// optionally one more named "source", then one line per feature (name, number, numbers with
// at most one decimal). Lines whose first cell starts with an unquoted '#' are comments, and
// so are those of a quoted '#' cell and nothing else; lines of unquoted empty cells are
// skipped. Every fault found is appended to `faults`; the table is sound only when
// none is.
void ReadTableSource(const std::string& csv, int columns, TableSource& source, std::vector<TableFault>& faults);

// A cell as a message quotes it (UTF-8): «…», control characters as \xNN, at most 60
// signs and then how many there are.
std::string ShownCell(std::string_view cell);

// "FILE:LINE: столбец N (name): найдено X, ожидалось Y", UTF-8.
std::string FaultMessage(const std::string& file, const TableSource& source, const TableFault& fault);

// The table's records in the source layout (UTF-8, LF): a header of its field names in lower
// case, a "source" column when `sources` lists any feature, then one line per record.
std::string BuildTableSourceCsv(const FeatureTable& table, const FeatureSources& sources);

}  // namespace kelvo::tables
