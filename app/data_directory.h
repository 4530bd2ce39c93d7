#pragma once
// The data directory: the registry value "path" of HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, else
// the platform's default (on Linux the user's own folder, filled with the installed tables).

#include <string>

namespace kelvo::app {

// The value as stored (up to its first zero byte), or the platform's default when the key
// or the value cannot be read. Used unchanged: no separator added or removed.
std::string ReadDataDirectory();

// Copies every table of `installed`\BD that `own`\BD lacks into it, creating the folders;
// a table already there is never replaced. False when `own`\BD cannot be made.
bool FillDataDirectory(const std::string& installed, const std::string& own);

}  // namespace kelvo::app
