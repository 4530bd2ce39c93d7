#pragma once
// The data directory: the registry value "path" of HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, else
// the platform's default (on Linux the user's own folder, filled with the installed tables).

#include <string>

namespace kelvo::app {

// The value as stored (up to its first zero byte), or the platform's default when the key
// or the value cannot be read. Used unchanged: no separator added or removed. A value the
// program cannot hold as a path sets `unusable` and comes back with '?' for what it lacks,
// which names no file on Windows: nothing is read from or written to another folder.
std::string ReadDataDirectory(bool* unusable = nullptr);

}  // namespace kelvo::app
