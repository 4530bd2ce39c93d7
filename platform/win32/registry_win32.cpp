// The registry through the ANSI registry functions: values come back in the system's ANSI
// code page, which on the Russian Windows the program serves is 1251.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/registry.h"

namespace kelvo::platform {
namespace {

bool ReadValue(REGSAM view, const std::string& key, const std::string& name, std::string& value) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool read = false;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        // One byte more than asked for: a value stored without its terminating zero still
        // ends at a zero byte, and an empty value still has a buffer to point at.
        std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                             &got) == ERROR_SUCCESS) {
            // The type is not looked at: the text is whatever precedes the first zero byte.
            value.assign(data.data(), std::min<std::size_t>(got, size));
            if (const auto zero = value.find('\0'); zero != std::string::npos) value.resize(zero);
            read = true;
        }
    }
    RegCloseKey(opened);
    return read;
}

}  // namespace

bool ReadMachineString(std::string_view key, std::string_view name, std::string& value) {
    const std::string keyText(key);
    const std::string nameText(name);
    // A 32-bit installer of the data wrote its key into the 32-bit view of the registry,
    // which a 64-bit program does not see by default; look there when the own view has none.
    return ReadValue(0, keyText, nameText, value) || ReadValue(KEY_WOW64_32KEY, keyText, nameText, value);
}

std::string DefaultDataDirectory() { return "C:\\"; }

}  // namespace kelvo::platform
