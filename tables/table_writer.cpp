#include "tables/table_writer.h"

#include <algorithm>
#include <fstream>

namespace kelvo::tables {
namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string RightAligned(const std::string& text, int length) {
    const auto width = static_cast<std::size_t>(length);
    if (text.size() >= width) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

std::string BuildTable(const TableContents& contents) {
    std::uint32_t recordLength = 1;
    for (const FieldDefinition& f : contents.fields) recordLength += static_cast<std::uint32_t>(f.length);
    const auto headerLength = static_cast<std::uint32_t>(32 + 32 * contents.fields.size() + 1);

    std::string out;
    out.push_back(static_cast<char>(contents.version));
    out += std::string{static_cast<char>(126), 1, 1};  // 2026-01-01: years since 1900
    PutLittleEndian(out, static_cast<std::uint32_t>(contents.records.size()), 4);
    PutLittleEndian(out, headerLength, 2);
    PutLittleEndian(out, recordLength, 2);
    out.append(20, '\0');

    for (const FieldDefinition& f : contents.fields) {
        std::string block(32, '\0');
        std::copy_n(f.name.begin(), std::min<std::size_t>(f.name.size(), 10), block.begin());
        block[11] = f.type;
        block[16] = static_cast<char>(f.length);
        block[17] = static_cast<char>(f.decimals);
        out += block;
    }
    out.push_back(0x0D);

    for (std::size_t r = 0; r < contents.records.size(); ++r) {
        const bool deleted = r < contents.deleted.size() && contents.deleted[r];
        out.push_back(deleted ? '*' : ' ');
        for (std::size_t c = 0; c < contents.fields.size(); ++c) {
            const FieldDefinition& f = contents.fields[c];
            const std::string value = c < contents.records[r].size() ? contents.records[r][c] : std::string();
            if (f.type == 'N') {
                out += RightAligned(value, f.length);
            } else {
                std::string cell = value.substr(0, static_cast<std::size_t>(f.length));
                cell.resize(static_cast<std::size_t>(f.length), ' ');
                out += cell;
            }
        }
    }
    if (contents.endOfFileByte) out.push_back(0x1A);
    return out;
}

bool WriteTable(const std::string& path, const TableContents& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = BuildTable(contents);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace kelvo::tables
