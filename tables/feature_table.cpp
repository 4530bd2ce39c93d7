#include "tables/feature_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/file.h"

namespace kelvo::tables {
namespace {

// The 32-byte file header, as (offset, size) of each value the reader takes.
struct HeaderField {
    std::size_t offset, size;
};
constexpr HeaderField kVersion{0, 1};
constexpr HeaderField kRecordCount{4, 4};
constexpr HeaderField kHeaderLength{8, 2};
constexpr HeaderField kRecordLength{10, 2};
constexpr std::int64_t kHeaderSize = 32;
constexpr unsigned char kDescriptorEnd = 0x0D;

std::uint32_t LittleEndian(const unsigned char* bytes, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

OpenFailure OpenFailureOf(int error) {
    return error == EACCES || error == EPERM ? OpenFailure::NoPermission : OpenFailure::Missing;
}

}  // namespace

double ParseValue(const std::string& text) { return std::atof(text.c_str()); }

void FeatureTable::Reset() {
    open_ = false;
    failure_ = OpenFailure::None;
    inMemory_ = false;
    copy_ = {};
    parsed_.clear();
    descriptors_.clear();
    fieldOffsets_.clear();
}

bool FeatureTable::Fail(OpenFailure failure) {
    failure_ = failure;
    return false;
}

bool FeatureTable::Open(const std::string& path) {
    Reset();
    // Converted once here: every field read opens the file again by this name.
    std::string native = platform::NativePath(path);
    if (keepInMemory_) {
        std::string bytes;
        // A folder opens but cannot be read, as in the file's own read below.
        if (!platform::ReadWholeFile(path, bytes))
            return Fail(errno == EISDIR ? OpenFailure::NotATable : OpenFailureOf(errno));
        platform::MemoryFile file(bytes);
        if (!ReadLayout(file)) return false;
        copy_ = std::move(bytes);
        inMemory_ = true;
    } else {
        platform::InputFile file;
        if (!file.Open(native)) return Fail(OpenFailureOf(errno));
        if (!ReadLayout(file)) return false;
    }
    path_ = std::move(native);
    open_ = true;
    return true;
}

template <class File>
bool FeatureTable::ReadLayout(File& file) {
    unsigned char header[12];
    // The version byte alone first: a file of one wrong byte is refused for its version.
    if (file.Read(header, 1) != 1 || (header[kVersion.offset] & 3) != 3) return Fail(OpenFailure::NotATable);
    if (file.Read(header + 1, sizeof header - 1) != static_cast<std::int64_t>(sizeof header - 1))
        return Fail(OpenFailure::NotATable);

    const std::uint32_t count = LittleEndian(header + kRecordCount.offset, kRecordCount.size);
    const std::uint32_t headerLength = LittleEndian(header + kHeaderLength.offset, kHeaderLength.size);
    const std::uint32_t recordLength = LittleEndian(header + kRecordLength.offset, kRecordLength.size);

    // A sparse file makes any size free, so the count is bounded by itself, before the
    // file size is asked: every search and compute step loops over all records.
    if (count > 0x7FFFFFFFu) return Fail(OpenFailure::NotATable);
    if (count > static_cast<std::uint32_t>(kMaxRecords)) return Fail(OpenFailure::TooLarge);
    // A header that cannot describe this file would make every compute step loop over
    // records that do not exist: refuse it rather than read on.
    std::int64_t fileSize = 0;
    if (recordLength == 0 || !file.Size(fileSize)) return Fail(OpenFailure::NotATable);
    if (static_cast<std::int64_t>(headerLength) + static_cast<std::int64_t>(count) * recordLength > fileSize)
        return Fail(OpenFailure::NotATable);

    // The descriptors and their terminator lie inside the header, which its 16-bit length
    // keeps under 64 KB: a run of zeros without a terminator is refused where the header
    // ends, not read to the end of a file that may claim gigabytes.
    const std::size_t maxDescriptors =
        headerLength > kHeaderSize ? (headerLength - kHeaderSize - 1) / FieldDescriptor::kSize : 0;
    if (!file.Seek(kHeaderSize)) return Fail(OpenFailure::NotATable);
    std::vector<FieldDescriptor> descriptors;
    for (;;) {
        FieldDescriptor descriptor;
        const std::int64_t n = file.Read(descriptor.bytes.data(), FieldDescriptor::kSize);
        if (n <= 0) return Fail(OpenFailure::NotATable);  // the file ends inside the descriptor list
        if (descriptor.bytes[0] == kDescriptorEnd) break;
        if (n < static_cast<std::int64_t>(FieldDescriptor::kSize) || descriptors.size() >= maxDescriptors)
            return Fail(OpenFailure::NotATable);
        descriptors.push_back(descriptor);
    }

    // Records begin behind the descriptors and their terminator; a header length short of
    // them would have every field read header bytes as data.
    const auto descriptorsEnd = kHeaderSize + static_cast<std::int64_t>(descriptors.size() * FieldDescriptor::kSize) + 1;
    if (static_cast<std::int64_t>(headerLength) < descriptorsEnd) return Fail(OpenFailure::NotATable);

    // Fields must lie inside their record, behind the deletion flag.
    std::vector<std::int64_t> offsets;
    offsets.reserve(descriptors.size());
    std::int64_t offset = 0;
    for (const FieldDescriptor& d : descriptors) {
        offsets.push_back(offset);
        offset += d.Length();
    }
    if (offset + 1 > static_cast<std::int64_t>(recordLength) && count > 0) return Fail(OpenFailure::NotATable);

    recordCount_ = static_cast<std::int32_t>(count);
    dataStart_ = headerLength + 1;
    recordLength_ = recordLength;
    descriptors_ = std::move(descriptors);
    fieldOffsets_ = std::move(offsets);
    return true;
}

bool FeatureTable::ReadField(std::int32_t record, std::int32_t column, std::string& text) const {
    text.clear();
    if (record < 0 || record >= RecordCount()) return false;
    // A negative column reads column 0, as it always has; it is mapped before the range
    // test so that a table without columns refuses it too instead of indexing past them.
    if (column < 0) column = 0;
    if (column >= ColumnCount()) return false;

    const std::int64_t offset = static_cast<std::int64_t>(record) * recordLength_ + dataStart_ +
                                fieldOffsets_[static_cast<std::size_t>(column)];
    const int length = descriptors_[static_cast<std::size_t>(column)].Length();

    if (inMemory_) {
        // Taken straight from the copy, not through a buffer: a chart reads a million fields.
        // Open checked that every record lies inside the file; the test only guards that.
        if (offset + length > static_cast<std::int64_t>(copy_.size())) return false;
        const char* field = copy_.data() + offset;
        text.assign(field, strnlen(field, static_cast<std::size_t>(length)));  // up to a zero byte, as from the file
        return true;
    }
    platform::InputFile file;
    return file.Open(path_) && ReadFieldFrom(file, offset, length, text);
}

double FeatureTable::ReadNumber(std::int32_t record, std::int32_t column, std::string& text) const {
    if (!ReadField(record, column, text) || !inMemory_) return ParseValue(text);
    return ParsedColumn(column)[static_cast<std::size_t>(record)];
}

double FeatureTable::ReadNumber(std::int32_t record, std::int32_t column) const {
    // ReadField's range rules, a negative column reading column 0 among them.
    if (inMemory_ && record >= 0 && record < RecordCount() && column < ColumnCount() && ColumnCount() > 0)
        return ParsedColumn(column)[static_cast<std::size_t>(record)];
    std::string text;
    return ReadNumber(record, column, text);
}

const std::vector<double>& FeatureTable::ParsedColumn(std::int32_t column) const {
    if (column < 0) column = 0;
    parsed_.resize(descriptors_.size());
    std::vector<double>& numbers = parsed_[static_cast<std::size_t>(column)];
    if (numbers.empty() && recordCount_ > 0) {
        numbers.reserve(static_cast<std::size_t>(recordCount_));
        std::string text;
        for (std::int32_t record = 0; record < recordCount_; ++record) {
            ReadField(record, column, text);
            numbers.push_back(ParseValue(text));
        }
    }
    return numbers;
}

template <class File>
bool FeatureTable::ReadFieldFrom(File& file, std::int64_t offset, int length, std::string& text) const {
    if (!file.Seek(offset)) return false;
    char buffer[256];
    if (file.Read(buffer, length) != length) return false;
    // The text ends at the first zero byte, as a C string would.
    text.assign(buffer, strnlen(buffer, static_cast<std::size_t>(length)));
    return true;
}

std::string FeatureTable::FieldName(int column) const {
    if (column < 0 || column >= ColumnCount()) return {};
    const auto& bytes = descriptors_[static_cast<std::size_t>(column)].bytes;
    const auto end = std::find(bytes.begin(), bytes.begin() + 11, 0);
    return std::string(bytes.begin(), end);
}

}  // namespace kelvo::tables
