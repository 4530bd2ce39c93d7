#pragma once
// The data directory: the registry value "path" of HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, else
// the platform's default (on Linux the user's own folder, filled with the installed tables).

#include <string>

namespace kelvo::app {

// The value as stored (up to its first zero byte), or the platform's default when the key
// or the value cannot be read. Used unchanged: no separator added or removed.
std::string ReadDataDirectory();

}  // namespace kelvo::app
