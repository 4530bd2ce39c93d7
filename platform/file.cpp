// The file access that is the same on every system.

#include "platform/file.h"

#include <algorithm>
#include <cstring>

namespace kelvo::platform {

std::int64_t MemoryFile::Read(void* buffer, std::int64_t count) {
    if (count < 0) return -1;
    const auto size = static_cast<std::int64_t>(bytes_.size());
    const std::int64_t n = position_ >= size ? 0 : std::min(count, size - position_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

bool MemoryFile::Seek(std::int64_t offset) {
    if (offset < 0) return false;
    position_ = offset;
    return true;
}

bool MemoryFile::Size(std::int64_t& size) const {
    size = static_cast<std::int64_t>(bytes_.size());
    return true;
}

}  // namespace kelvo::platform
