#include "app/data_directory.h"

#include "platform/registry.h"

namespace kelvo::app {

std::string ReadDataDirectory() {
    std::string path;
    if (platform::ReadMachineString("SOFTWARE\\Brenk", "path", path)) return path;
    return platform::DefaultDataDirectory();
}

}  // namespace kelvo::app
