#pragma once
// What the benchmarks need of a feature table besides the reader they measure: its layout
// parsed independently, the bare file calls a field read cannot do without, copies of it
// with more records, and a count of the read calls a step makes.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvo::bench {

struct FieldLayout {
    std::string name;
    char type = 'C';
    int length = 0;
    int decimals = 0;
    std::int64_t offset = 0;  // within the record, behind the deletion flag
};

struct TableLayout {
    std::int32_t recordCount = 0;
    std::int64_t dataStart = 0;  // header length + 1
    std::int64_t recordLength = 0;
    std::vector<FieldLayout> fields;

    std::int64_t FieldOffset(std::int32_t record, int column) const {
        return record * recordLength + dataStart + fields[static_cast<std::size_t>(column)].offset;
    }
};

// Parses the header and descriptors of the dBASE III file at `path` (a native path).
bool ReadLayout(const std::string& path, TableLayout& layout);

// One field as a reader addresses it.
struct FieldRead {
    std::int64_t offset;
    int length;
};

// The floor of a compute step: for each field, open `path`, seek, read, close, and
// nothing else. Returns the bytes read, or -1 when a call fails.
std::int64_t ReadFieldsBare(const char* path, std::span<const FieldRead> reads);

// Writes the table at `source` to `target` with its records repeated `factor` times, in
// order, through the project's table writer. Both are native paths.
bool WriteScaledTable(const std::string& source, const std::string& target, int factor);

// read() calls this process has made so far (the kernel's syscr count), or -1 where the
// kernel does not say. Taking the count costs one read() itself.
std::int64_t ReadCalls();

}  // namespace kelvo::bench
