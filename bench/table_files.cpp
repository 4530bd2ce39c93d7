#include "bench/table_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tables/table_writer.h"

namespace kelvo::bench {
namespace {

std::uint32_t LittleEndian(const unsigned char* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

bool ReadLayout(const std::string& path, TableLayout& layout) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() < 33) return false;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    layout = {};
    layout.recordCount = static_cast<std::int32_t>(LittleEndian(b + 4, 4));
    layout.dataStart = LittleEndian(b + 8, 2) + 1;
    layout.recordLength = LittleEndian(b + 10, 2);
    std::int64_t offset = 0;
    for (std::size_t at = 32; at < bytes.size() && b[at] != 0x0D; at += 32) {
        if (at + 32 > bytes.size()) return false;
        FieldLayout field;
        field.name.assign(bytes.data() + at, strnlen(bytes.data() + at, 11));
        field.type = bytes[at + 11];
        field.length = b[at + 16];
        field.decimals = b[at + 17];
        field.offset = offset;
        offset += field.length;
        layout.fields.push_back(field);
    }
    const std::int64_t end = layout.dataStart - 1 + layout.recordCount * layout.recordLength;
    return !layout.fields.empty() && end <= static_cast<std::int64_t>(bytes.size());
}

std::int64_t ReadFieldsBare(const char* path, std::span<const FieldRead> reads) {
    char buffer[256];
    std::int64_t total = 0;
    for (const FieldRead& field : reads) {
        // The reader's own flags: O_NONBLOCK costs a regular file nothing, but the floor
        // makes the very call the reader makes.
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return -1;
        const bool ok = ::lseek(fd, field.offset, SEEK_SET) == field.offset &&
                        ::read(fd, buffer, static_cast<std::size_t>(field.length)) == field.length;
        ::close(fd);
        if (!ok) return -1;
        total += field.length;
    }
    return total;
}

bool WriteScaledTable(const std::string& source, const std::string& target, int factor) {
    TableLayout layout;
    std::string bytes;
    if (!ReadLayout(source, layout) || !ReadWholeFile(source, bytes)) return false;

    tables::TableContents contents;
    for (const FieldLayout& field : layout.fields)
        contents.fields.push_back({field.name, field.type, field.length, field.decimals});
    std::vector<std::vector<std::string>> records;
    for (std::int32_t r = 0; r < layout.recordCount; ++r) {
        std::vector<std::string> cells;
        for (std::size_t c = 0; c < layout.fields.size(); ++c) {
            const auto at = static_cast<std::size_t>(layout.FieldOffset(r, static_cast<int>(c)));
            cells.push_back(bytes.substr(at, static_cast<std::size_t>(layout.fields[c].length)));
        }
        records.push_back(std::move(cells));
    }
    for (int copy = 0; copy < factor; ++copy)
        contents.records.insert(contents.records.end(), records.begin(), records.end());
    return tables::WriteTable(target, contents);
}

std::int64_t ReadCalls() {
    const int fd = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char text[512];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return -1;
    text[n] = '\0';
    const char* line = std::strstr(text, "syscr:");
    return line ? std::strtoll(line + 6, nullptr, 10) : -1;
}

}  // namespace kelvo::bench
