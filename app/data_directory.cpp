#include "app/data_directory.h"

#include "platform/registry.h"

namespace kelvo::app {

std::string ReadDataDirectory(bool* unusable) {
    std::string path;
    const platform::SettingRead read = platform::ReadMachineString("SOFTWARE\\Brenk", "path", path);
    if (unusable) *unusable = read == platform::SettingRead::Unusable;
    if (read == platform::SettingRead::Missing) return platform::DefaultDataDirectory();
    return path;
}

}  // namespace kelvo::app
