#include "app/data_directory.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "platform/file.h"
#include "platform/registry.h"

namespace kelvo::app {

namespace fs = std::filesystem;

bool FillDataDirectory(const std::string& installed, const std::string& own) {
    const fs::path from = fs::path(platform::NativePath(installed)) / "BD";
    const fs::path to = fs::path(platform::NativePath(own)) / "BD";
    std::error_code error;
    fs::create_directories(to, error);
    if (!fs::is_directory(to, error)) return false;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
        if (!entry.is_regular_file(error)) continue;
        const fs::path target = to / entry.path().filename();
        if (fs::exists(fs::symlink_status(target, error))) continue;
        // Copied beside its place and renamed into it, so that a second kelvo starting at
        // the same moment never opens half a table.
        const fs::path part = to / ("." + entry.path().filename().string() + ".part-" +
                                  std::to_string(std::random_device{}()));
        if (fs::copy_file(entry.path(), part, fs::copy_options::overwrite_existing, error)) fs::rename(part, target, error);
        fs::remove(part, error);
    }
    return true;
}

std::string ReadDataDirectory() {
    std::string path;
    if (platform::ReadMachineString("SOFTWARE\\Brenk", "path", path)) return path;
    const std::string own = platform::DefaultDataDirectory();
    const std::string installed = platform::InstalledDataDirectory();
    if (installed.empty()) return own;
    // Without a folder of their own (no home, or it cannot be written) the user still reads
    // the installed tables; only writing table.txt will fail, and say so.
    return !own.empty() && FillDataDirectory(installed, own) ? own : installed;
}

}  // namespace kelvo::app
