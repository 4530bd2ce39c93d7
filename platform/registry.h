#pragma once
// Read access to the machine-wide settings that stand where the Windows registry stood.

#include <string>
#include <string_view>

namespace kelvo::platform {

enum class SettingRead {
    Read,
    Missing,   // the key or the value cannot be read
    Unusable,  // a path the program cannot hold (Windows: a sign 1251 lacks), shown with '?' for it
};

// Reads the string value `name` of `key` under HKEY_LOCAL_MACHINE into `value`, up to its
// first zero byte, in the form the platform holds paths (platform/file.h): the ANSI code
// page on Windows, UTF-8 elsewhere.
SettingRead ReadMachineString(std::string_view key, std::string_view name, std::string& value);

// The user's own settings of `application`, values the program writes itself: on Windows
// string values of HKEY_CURRENT_USER\Software\<application>, elsewhere the section [data]
// of $XDG_CONFIG_HOME/<application>/<application>.conf (by default under ~/.config), the file
// Qt keeps the window's size in. Values are paths in the platform's form. Read gives false
// when the value is not there; Write with an empty value removes it, false when the
// settings could not be written.
bool ReadUserString(std::string_view application, std::string_view name, std::string& value);
bool WriteUserString(std::string_view application, std::string_view name, std::string_view value);

// The data directory to use when the registry holds none: "C:\" on Windows. Elsewhere the
// user's own folder, $XDG_DATA_HOME/kelvo (by default ~/.local/share/kelvo), made on first
// use and given a copy of each installed table it lacks; the installed folder itself when
// the user has no home or it cannot be written.
std::string DefaultDataDirectory();

// The manual's first page as installed with the program, in the platform's form: on Windows
// manual\index.html beside kelvo.exe, elsewhere share/kelvo/manual/index.html beside the
// program's folder.
std::string InstalledManual();

}  // namespace kelvo::platform
