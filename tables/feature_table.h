#pragma once
// The reader of one dBASE III feature table: header values and field descriptors held,
// every field read on request by opening, seeking, reading and closing the file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::tables {

// One 32-byte field descriptor, copied byte for byte from the file.
struct FieldDescriptor {
    static constexpr std::size_t kSize = 32;
    static constexpr std::size_t kLengthOffset = 16;

    std::array<unsigned char, kSize> bytes{};

    // Lengths 128 to 255 are read as such: a signed byte would make them negative.
    int Length() const { return bytes[kLengthOffset]; }
};

class FeatureTable {
public:
    // Opens the table at `path`, replacing the one open before. A file that is missing,
    // is not a dBASE III table or whose header cannot fit it leaves the reader closed.
    bool Open(const std::string& path);
    bool IsOpen() const { return open_; }
    // 0 when no table is open.
    std::int32_t RecordCount() const { return open_ ? recordCount_ : 0; }
    int ColumnCount() const { return static_cast<int>(descriptors_.size()); }
    // The name stored in the column's descriptor, up to its first zero byte; empty when out of range.
    std::string FieldName(int column) const;
    // The field's text exactly as stored; false with empty text on any failure.
    bool ReadField(std::int32_t record, std::int32_t column, std::string& text) const;

private:
    void Reset();

    bool open_ = false;
    std::string path_;  // native form of the path given to the last successful Open
    std::int32_t recordCount_ = 0;
    std::uint32_t dataStart_ = 0;      // header length + 1: record 0's first field
    std::uint32_t recordLength_ = 0;
    std::vector<FieldDescriptor> descriptors_;
    std::vector<std::int64_t> fieldOffsets_;  // offset of each column within a record
};

}  // namespace kelvo::tables
