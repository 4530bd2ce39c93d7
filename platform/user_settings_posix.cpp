// The user's own settings on POSIX: section [data] of kelvo/kelvo.conf under
// $XDG_CONFIG_HOME. Qt reads and rewrites the same file for the window's size and parses its
// values as Qt's INI syntax, where '\', '"', ',' and ';' mean something: each value is
// written percent-encoded, every byte but letters, digits and "/._-" as %XX, so that Qt
// keeps it as it stands and a folder's name comes back byte for byte.

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/registry.h"
#include "platform/user_data_posix.h"

namespace kelvo::platform {
namespace {

constexpr std::string_view kSection = "[data]";

std::string SettingsFile(std::string_view application, std::string* folder = nullptr) {
    const std::string config = XdgFolder("XDG_CONFIG_HOME", "/.config");
    if (config.empty()) return {};
    const std::string dir = config + "/" + std::string(application);
    if (folder) *folder = dir;
    return dir + "/" + std::string(application) + ".conf";
}

bool Plain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '.' ||
           c == '_' || c == '-';
}

std::string Encoded(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (Plain(byte)) {
            text += c;
        } else {
            text += '%';
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Decoded(std::string_view text, std::string& value) {
    value.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        value += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// The line of `name` in the section, or -1; `sectionEnd` the line the section's next
// entry would go before (lines.size() when there is no section: `hasSection` false).
int FindValue(const std::vector<std::string>& lines, std::string_view name, std::size_t& sectionEnd,
              bool& hasSection) {
    hasSection = false;
    sectionEnd = lines.size();
    bool in = false;
    int found = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trimmed(lines[i]);
        if (line.starts_with('[')) {
            if (in) {
                sectionEnd = i;
                // Before the blank lines that part the sections.
                while (sectionEnd > 0 && Trimmed(lines[sectionEnd - 1]).empty()) --sectionEnd;
            }
            in = line == kSection;
            hasSection = hasSection || in;
            continue;
        }
        if (!in) continue;
        const auto eq = line.find('=');
        if (eq != std::string_view::npos && Trimmed(line.substr(0, eq)) == name) found = static_cast<int>(i);
    }
    return found;
}

}  // namespace

bool ReadUserString(std::string_view application, std::string_view name, std::string& value) {
    const std::string file = SettingsFile(application);
    std::string bytes;
    if (file.empty() || !ReadWholeFile(file, bytes)) return false;
    const std::vector<std::string> lines = Lines(bytes);
    std::size_t end = 0;
    bool hasSection = false;
    const int at = FindValue(lines, name, end, hasSection);
    if (at < 0) return false;
    const std::string_view line = Trimmed(lines[static_cast<std::size_t>(at)]);
    return Decoded(Trimmed(line.substr(line.find('=') + 1)), value) && !value.empty();
}

bool WriteUserString(std::string_view application, std::string_view name, std::string_view value) {
    std::string folder;
    const std::string file = SettingsFile(application, &folder);
    if (file.empty()) return false;
    std::string bytes;
    ReadWholeFile(file, bytes);  // a file not there yet is an empty one
    std::vector<std::string> lines = Lines(bytes);
    std::size_t end = 0;
    bool hasSection = false;
    const int at = FindValue(lines, name, end, hasSection);
    const std::string entry = std::string(name) + "=" + Encoded(value);
    if (value.empty()) {
        if (at < 0) return true;
        lines.erase(lines.begin() + at);
    } else if (at >= 0) {
        lines[static_cast<std::size_t>(at)] = entry;
    } else if (hasSection) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), entry);
    } else {
        if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.emplace_back();
        lines.emplace_back(kSection);
        lines.push_back(entry);
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    // The folder of the settings file may not exist before the first value.
    const std::string config = folder.substr(0, folder.rfind('/'));
    ::mkdir(config.c_str(), 0700);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    int error = 0;
    return ReplaceFile(file, text, error) == WriteError::None;
}

}  // namespace kelvo::platform
