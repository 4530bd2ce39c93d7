// libFuzzer entry: every input is a feature table for all five groups.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz/table_input.h"

namespace {

// One data directory per fuzzing process, in memory when /dev/shm is there: each input
// is written five times and read field by field. The path lives on the heap and is never
// destroyed: the clean-up is registered with atexit while the path is being made, so it
// runs after the destructor of a static path and would remove nothing, leaving one folder
// in /dev/shm behind for every run.
const std::filesystem::path& DataDirectory() {
    static const std::filesystem::path* const path = [] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "kelvo-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(DataDirectory(), ignored);
        });
        return new std::filesystem::path(pattern);
    }();
    return *path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A broken rule is a finding like a crash: abort so that libFuzzer keeps the input.
    if (!kelvo::fuzz::RunTableInput(bytes, DataDirectory())) std::abort();
    return 0;
}
