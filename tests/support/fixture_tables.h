#pragma once
// Feature tables for tests, written with the project's own dBASE III writer.

#include <filesystem>
#include <string>
#include <vector>

#include "tables/table_writer.h"

namespace kelvo::test {

// A table of `columns` fields: column 0 a 40-character name (code page 866), the others
// 8-character numbers; each record lists its cells from column 0 on, names in UTF-8.
tables::TableContents FeatureTableSpec(int columns, const std::vector<std::vector<std::string>>& records);

// Writes the table as `<dataDirectory>/BD/<file>`, creating BD.
void WriteGroupTable(const std::filesystem::path& dataDirectory, const std::string& file,
                     const tables::TableContents& contents);

// A small table for every group, with the base figures of the worked examples:
//   nursery  base 80/52 in column 4; record 2 "Обхват шеи": 30.5, +0.6 per height, +1.4 per chest
//   children base 128/60 in column 8 (JuniorSchool), 98/52 in column 4 (Preschool) ...;
//            record 2: 50.0 in column 8, 1.2 in 5, 0.8 in 6, 0.4 in 7
//   men      base 176/50 in columns 5-9; record 2: 45.2 in column 5, 0.8 in 2, 1.1 in 3
//   women    base 164/48 in every base column; record 2: 0.6 in 2, 1.2 in 3, 40.0 in 6, 42.0 in 7
// Records 0 and 1 are features 1 and 16, record 3 is feature 18 (19 for women).
tables::TableContents NurseryTable();
tables::TableContents ChildTable();
tables::TableContents MenTable();
tables::TableContents WomenTable();

// All five tables in `<dataDirectory>/BD`.
void WriteAllGroupTables(const std::filesystem::path& dataDirectory);

}  // namespace kelvo::test
