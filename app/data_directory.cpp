#include "app/data_directory.h"

#include <algorithm>

#include "figures/group_registry.h"
#include "platform/file.h"
#include "platform/registry.h"

namespace kelvo::app {
namespace {

constexpr std::string_view kChosen = "DataFolder";
constexpr int kRecent = 5;

std::string RecentName(int index) { return "RecentFolder" + std::to_string(index + 1); }

}  // namespace

std::string ReadMachineDataDirectory(bool* unusable) {
    std::string path;
    const platform::SettingRead read = platform::ReadMachineString("SOFTWARE\\Brenk", "path", path);
    if (unusable) *unusable = read == platform::SettingRead::Unusable;
    if (read == platform::SettingRead::Missing) return platform::DefaultDataDirectory();
    return path;
}

std::string ReadDataDirectory(bool* unusable, std::string_view settings) {
    // The user's own choice comes before the machine's: it is the later, and the nearer, wish.
    if (std::string chosen = ChosenDataDirectory(settings); !chosen.empty()) {
        if (unusable) *unusable = false;
        return chosen;
    }
    return ReadMachineDataDirectory(unusable);
}

std::string ChosenDataDirectory(std::string_view settings) {
    std::string path;
    return platform::ReadUserString(settings, kChosen, path) ? path : std::string();
}

bool KeepDataDirectory(const std::string& path, std::string_view settings) {
    std::vector<std::string> recent = RecentDataDirectories(settings);
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    bool kept = platform::WriteUserString(settings, kChosen, path);
    for (int i = 0; i < kRecent; ++i)
        kept = platform::WriteUserString(settings, RecentName(i),
                                         i < static_cast<int>(recent.size()) ? recent[static_cast<std::size_t>(i)]
                                                                             : std::string()) &&
               kept;
    return kept;
}

bool ForgetDataDirectory(std::string_view settings) { return platform::WriteUserString(settings, kChosen, ""); }

std::vector<std::string> RecentDataDirectories(std::string_view settings) {
    std::vector<std::string> recent;
    for (int i = 0; i < kRecent; ++i) {
        std::string path;
        if (platform::ReadUserString(settings, RecentName(i), path) &&
            std::find(recent.begin(), recent.end(), path) == recent.end())
            recent.push_back(std::move(path));
    }
    return recent;
}

std::vector<std::string> TablesIn(const std::string& path) {
    std::vector<std::string> found;
    for (const figures::GroupEntry& group : figures::Groups()) {
        platform::InputFile table;
        if (!table.Open(platform::NativePath(path + std::string(group.tableFile)))) continue;
        std::string_view file = group.tableFile;
        file.remove_prefix(std::min(file.size(), file.rfind('\\') + 1));
        found.emplace_back(file);
    }
    return found;
}

}  // namespace kelvo::app
