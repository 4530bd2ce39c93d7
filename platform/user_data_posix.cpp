// The default data directory on POSIX systems: each user's own, filled from the installed
// tables, because the installed folder is read-only and table.txt is written beside them.

#include "platform/user_data_posix.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/file.h"
#include "platform/registry.h"

namespace kelvo::platform {

namespace fs = std::filesystem;

std::string XdgFolder(const char* variable, const char* underHome) {
    const char* set = std::getenv(variable);
    if (set && set[0] == '/') return set;
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? std::string(home) + underHome : std::string();
}

std::string UserDataDirectory() {
    const std::string folder = XdgFolder("XDG_DATA_HOME", "/.local/share");
    return folder.empty() ? folder : folder + "/kelvo";
}

std::string InstalledDataDirectory() {
#if defined(__EMSCRIPTEN__)
    // In a page the site's tables and manual are packed at /kelvo; under node (the tests)
    // /proc/self/exe is node's: the current folder's share/kelvo then.
    return ::access("/kelvo", F_OK) == 0 ? "/kelvo" : "share/kelvo";
#endif
    // The program's own folder, where the system can say it; else the tables of the
    // current folder's share/kelvo.
    char exe[PATH_MAX];
    const ssize_t n = ::access("/proc/self/exe", F_OK) == 0 ? ::readlink("/proc/self/exe", exe, sizeof exe - 1) : -1;
    if (n <= 0) return "share/kelvo";
    std::string dir(exe, static_cast<std::size_t>(n));
    dir.resize(dir.rfind('/'));
    return dir + "/../share/kelvo";
}

std::string InstalledManual() { return InstalledDataDirectory() + "/manual/index.html"; }

namespace {

// The user's table `name` is missing or the installed one byte for byte.
bool SameTable(const fs::path& installed, const fs::path& own, const std::string& name) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(own / name, error))) return true;
    const auto bytes = [](const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    return bytes(own / name) == bytes(installed / name);
}

}  // namespace

bool FillDataDirectory(const std::string& installed, const std::string& own) {
    const fs::path from = fs::path(NativePath(installed)) / "BD";
    const fs::path to = fs::path(NativePath(own)) / "BD";
    std::error_code error;
    fs::create_directories(to, error);
    if (!fs::is_directory(to, error)) return false;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
        if (!entry.is_regular_file(error)) continue;
        const fs::path target = to / entry.path().filename();
        // Whatever the user has under the name, even a dangling link, stays theirs.
        if (fs::exists(fs::symlink_status(target, error))) continue;
        // A side file names the sources of the installed table's values: beside a table of
        // the user's own it would pass the installed sources off as theirs.
        if (entry.path().extension() == ".src" && !SameTable(from, to, entry.path().stem().string() + ".dbf"))
            continue;
        // Copied beside its place and renamed into it, so that a second kelvo starting at
        // the same moment never opens half a table.
        // Built by appending: GCC 12 at -O3 takes "." + string for an overlapping copy
        // (-Wrestrict, a false alarm) and fails the Release build with warnings as errors.
        std::string partName = ".";
        partName += entry.path().filename().string();
        partName += ".part-";
        partName += std::to_string(std::random_device{}());
        const fs::path part = to / partName;
        if (fs::copy_file(entry.path(), part, fs::copy_options::overwrite_existing, error)) fs::rename(part, target, error);
        fs::remove(part, error);
    }
    return true;
}

std::string DefaultDataDirectory() {
    const std::string own = UserDataDirectory();
    const std::string installed = InstalledDataDirectory();
    // Without a folder of their own the user still reads the installed tables; only writing
    // table.txt then fails, and says so.
    return !own.empty() && FillDataDirectory(installed, own) ? own : installed;
}

}  // namespace kelvo::platform
