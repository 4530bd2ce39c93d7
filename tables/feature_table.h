#pragma once
// The reader of one dBASE III feature table: header values and field descriptors held,
// every field read on request by opening, seeking, reading and closing the file, or, for
// runs over many figures, from a copy of the whole file read once at Open.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::tables {

// Why the last Open left the reader closed.
enum class OpenFailure {
    None,          // the last Open succeeded, or none was made
    Missing,       // no file under that name (or its folder is missing)
    NotATable,     // the bytes are no feature table: version, header or descriptors wrong
    NoPermission,  // the file may not be read
    TooLarge,      // the header claims more than kMaxRecords records
};

// One 32-byte field descriptor, copied byte for byte from the file.
struct FieldDescriptor {
    static constexpr std::size_t kSize = 32;
    static constexpr std::size_t kLengthOffset = 16;

    std::array<unsigned char, kSize> bytes{};

    // Lengths 128 to 255 are read as such: a signed byte would make them negative.
    int Length() const { return bytes[kLengthOffset]; }
};

// Numbers in the tables, by the C library's atof: leading blanks skipped, parsing stops at
// the first character that does not fit, empty text is 0.
double ParseValue(const std::string& text);

class FeatureTable {
public:
    // No real feature table comes near a thousand records; a header claiming more than
    // this is refused, so that no search or compute step grows with a size a sparse file
    // claims for free. Twice the longest lists measured: a row shown costs about 1.2 KB.
    static constexpr std::int32_t kMaxRecords = 200'000;

    // Opens the table at `path`, replacing the one open before. A file that is missing,
    // is not a dBASE III table, whose header cannot fit it or that claims more than
    // kMaxRecords records leaves the reader closed; Failure() then says which.
    bool Open(const std::string& path);
    // From the next Open on: whether Open reads the whole file into memory and every field
    // read takes its bytes from there. The window leaves it off and sees the file as it is
    // at each read; a size chart turns it on, as it reads hundreds of thousands of fields.
    void KeepInMemory(bool keep) { keepInMemory_ = keep; }
    bool IsOpen() const { return open_; }
    OpenFailure Failure() const { return failure_; }
    // 0 when no table is open.
    std::int32_t RecordCount() const { return open_ ? recordCount_ : 0; }
    int ColumnCount() const { return static_cast<int>(descriptors_.size()); }
    // The name stored in the column's descriptor, up to its first zero byte; empty when out of range.
    std::string FieldName(int column) const;
    // The field's text exactly as stored; false with empty text on any failure.
    bool ReadField(std::int32_t record, std::int32_t column, std::string& text) const;
    // The field's number by ParseValue (0 when the read fails), its text in `text`. Read and
    // parsed at each call from the file; from a table kept in memory, each column is parsed
    // once, at its first read, as a chart reads the same fields for every figure.
    double ReadNumber(std::int32_t record, std::int32_t column, std::string& text) const;
    // The same where the text is not wanted: from memory nothing is copied.
    double ReadNumber(std::int32_t record, std::int32_t column) const;

private:
    void Reset();
    bool Fail(OpenFailure failure);
    template <class File>
    bool ReadLayout(File& file);
    template <class File>
    bool ReadFieldFrom(File& file, std::int64_t offset, int length, std::string& text) const;
    // Of a table kept in memory: the numbers of `column`'s fields, parsed on the first call.
    const std::vector<double>& ParsedColumn(std::int32_t column) const;

    bool keepInMemory_ = false;
    bool inMemory_ = false;  // the open table's fields are read from `copy_`
    std::string copy_;
    mutable std::vector<std::vector<double>> parsed_;  // per column, empty until first read
    bool open_ = false;
    OpenFailure failure_ = OpenFailure::None;
    std::string path_;  // native form of the path given to the last successful Open
    std::int32_t recordCount_ = 0;
    std::uint32_t dataStart_ = 0;      // header length + 1: record 0's first field
    std::uint32_t recordLength_ = 0;
    std::vector<FieldDescriptor> descriptors_;
    std::vector<std::int64_t> fieldOffsets_;  // offset of each column within a record
};

}  // namespace kelvo::tables
