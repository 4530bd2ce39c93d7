#pragma once
// The data directory: the folder the user chose in the window, else the registry value "path"
// of HKEY_LOCAL_MACHINE\SOFTWARE\Brenk, else the platform's default (on Linux the user's own
// folder, filled with the installed tables).

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::app {

// Whose settings keep the user's choice: the program's own, or another name for the tests.
inline constexpr std::string_view kSettingsName = "kelvo";

// The folder the machine names, as stored (up to its first zero byte), or the platform's
// default when the key or the value cannot be read; the user's choice is not looked at. Used
// unchanged: no separator added or removed. A value the program cannot hold as a path sets
// `unusable` and comes back with '?' for what it lacks, which names no file on Windows:
// nothing is read from or written to another folder.
std::string ReadMachineDataDirectory(bool* unusable = nullptr);

// The folder the user chose in the window when there is one, else the machine's.
std::string ReadDataDirectory(bool* unusable = nullptr, std::string_view settings = kSettingsName);

// The user's choice; empty when none is kept.
std::string ChosenDataDirectory(std::string_view settings = kSettingsName);
// Keeps `path` as the user's choice and puts it first among the recent folders; false when
// the settings could not be written.
bool KeepDataDirectory(const std::string& path, std::string_view settings = kSettingsName);
// Forgets the choice (the recent folders stay); false when the settings could not be written.
bool ForgetDataDirectory(std::string_view settings = kSettingsName);
// The folders chosen last, the newest first, at most five.
std::vector<std::string> RecentDataDirectories(std::string_view settings = kSettingsName);

// The feature tables of the group registry that `path`/BD holds, by their file names
// ("female.dbf"); none when it is no data folder.
std::vector<std::string> TablesIn(const std::string& path);

}  // namespace kelvo::app
