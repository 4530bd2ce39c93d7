// The registry on Linux: the settings file kelvo/registry.ini, looked for first in the
// user's $XDG_CONFIG_HOME (by default ~/.config), then in each folder of $XDG_CONFIG_DIRS
// (by default /etc/xdg); the first file that holds the value wins. E.g.
//   [HKEY_LOCAL_MACHINE]
//   SOFTWARE\Brenk\path=/srv/kelvo
// A value is a path, not INI syntax: it is taken as it stands from after the '=' to the end
// of its line, so ';', '#', quotes and '\' in a folder's name survive.

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/user_data_posix.h"

namespace kelvo::platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "SOFTWARE\Brenk\path" and "SOFTWARE/Brenk/path" name the same value.
bool SameKey(std::string_view written, std::string_view wanted) {
    if (written.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char a = written[i] == '/' ? '\\' : written[i];
        const char b = wanted[i] == '/' ? '\\' : wanted[i];
        if (a != b) return false;
    }
    return true;
}

// The value `key` in section [HKEY_LOCAL_MACHINE] of `file`, as UTF-8 text.
bool ReadFromFile(const std::string& file, std::string_view key, std::string& value) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        std::string_view text = line;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        const std::string_view trimmed = Trimmed(text);
        if (trimmed.starts_with('[')) {
            inSection = trimmed == "[HKEY_LOCAL_MACHINE]";
            continue;
        }
        if (!inSection || trimmed.starts_with(';') || trimmed.starts_with('#')) continue;
        const auto eq = text.find('=');
        if (eq == std::string_view::npos || !SameKey(Trimmed(text.substr(0, eq)), key)) continue;
        // Blanks around the '=' belong to the file's layout, not to the path.
        value = std::string(Trimmed(text.substr(eq + 1)));
        return true;
    }
    return false;
}

}  // namespace

SettingRead ReadMachineString(std::string_view key, std::string_view name, std::string& value) {
    const std::string wanted = AnsiToUtf8(key) + "\\" + AnsiToUtf8(name);
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = XdgFolder("XDG_CONFIG_HOME", "/.config") + ":" + (dirs && *dirs ? dirs : "/etc/xdg");
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string dir = list.substr(start, end - start);
        start = end + 1;
        if (dir.empty()) continue;
        std::string text;
        if (!ReadFromFile(dir + "/kelvo/registry.ini", wanted, text)) continue;
        // A path, held as the system gives it: a folder named with signs 1251 lacks works.
        value = text;
        // The registry's text ends at its first zero byte.
        if (const auto zero = value.find('\0'); zero != std::string::npos) value.resize(zero);
        return SettingRead::Read;
    }
    return SettingRead::Missing;
}

}  // namespace kelvo::platform
