#pragma once
// Read access to the machine-wide settings that stand where the Windows registry stood.

#include <string>
#include <string_view>

namespace kelvo::platform {

// Reads the string value `name` of `key` under HKEY_LOCAL_MACHINE into `value`
// (Windows-1251), up to its first zero byte. False when the key or value cannot be read.
bool ReadMachineString(std::string_view key, std::string_view name, std::string& value);

// The data directory to use when the registry holds none: "C:\" on Windows; elsewhere the
// user's own folder, $XDG_DATA_HOME/kelvo (by default ~/.local/share/kelvo), or empty text
// when the user has no home to put it in.
std::string DefaultDataDirectory();

// The folder of feature tables installed with the program, from which the default data
// directory is filled on first use; empty where the default needs no filling (Windows).
std::string InstalledDataDirectory();

}  // namespace kelvo::platform
