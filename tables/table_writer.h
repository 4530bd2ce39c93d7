#pragma once
// Writes dBASE III tables: the bundled feature tables and the fixtures of the tests.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::tables {

struct FieldDefinition {
    std::string name;    // up to 10 characters
    char type = 'C';     // 'C' text, 'N' number
    int length = 10;     // 0 to 255
    int decimals = 0;
};

struct TableContents {
    std::vector<FieldDefinition> fields;
    // Each record's fields as stored (8-bit text); shorter texts are padded with blanks
    // (numbers on the left, texts on the right), longer ones cut.
    std::vector<std::vector<std::string>> records;
    std::vector<bool> deleted;      // records marked with the deletion flag '*'
    unsigned char version = 0x03;
    bool endOfFileByte = true;      // the optional 0x1A after the last record
};

// The bytes of the table.
std::string BuildTable(const TableContents& contents);

// Writes the table to `path` (a native path); false when the file cannot be written.
bool WriteTable(const std::string& path, const TableContents& contents);

// A field's text right-aligned in `length` characters, as dBASE stores numbers.
std::string RightAligned(const std::string& text, int length);

}  // namespace kelvo::tables
