// The registry on Windows. A text value is read through the Unicode functions and made
// Windows-1251 here without best-fit: the ANSI functions would silently turn a sign 1251
// lacks into '?' or into a look-alike ('é' into 'e'), which can name another, existing
// folder. Other value types are taken byte for byte, as the ANSI functions give them.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/registry.h"

namespace kelvo::platform {
namespace {

// The bytes of the value, up to `size` and one zero more: a value stored without its
// terminating zero still ends at a zero, and an empty value still has a buffer.
template <class Char, class Query>
bool QueryBytes(Query query, std::vector<Char>& data) {
    DWORD size = 0;
    if (query(nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size / sizeof(Char) + 1, Char{});
    DWORD got = size;
    if (query(reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS) return false;
    data.resize(std::min<DWORD>(got, size) / sizeof(Char));
    return true;
}

SettingRead ReadValue(REGSAM view, const std::string& key, const std::string& name, std::string& value) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return SettingRead::Missing;
    SettingRead read = SettingRead::Missing;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS) {
        const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
        // The name is plain ASCII or 1251 text of the program's own; the value is the user's.
        std::wstring wideName(name.size(), L'\0');
        wideName.resize(static_cast<std::size_t>(
            MultiByteToWideChar(1251, 0, name.data(), static_cast<int>(name.size()), wideName.data(),
                                static_cast<int>(wideName.size()))));
        if (text) {
            std::vector<wchar_t> data;
            if (QueryBytes<wchar_t>([&](BYTE* to, DWORD* size) {
                    return RegQueryValueExW(opened, wideName.c_str(), nullptr, nullptr, to, size);
                }, data)) {
                const auto end = std::find(data.begin(), data.end(), L'\0');
                const int length = static_cast<int>(end - data.begin());
                BOOL lacking = FALSE;
                value.assign(static_cast<std::size_t>(length) * 2, '\0');
                const int n = length == 0 ? 0
                                          : WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, data.data(), length,
                                                                value.data(), static_cast<int>(value.size()), "?",
                                                                &lacking);
                value.resize(static_cast<std::size_t>(n));
                read = lacking ? SettingRead::Unusable : SettingRead::Read;
            }
        } else {
            std::vector<char> data;
            if (QueryBytes<char>([&](BYTE* to, DWORD* size) {
                    return RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, to, size);
                }, data)) {
                // The type is not looked at: the text is whatever precedes the first zero byte.
                value.assign(data.begin(), std::find(data.begin(), data.end(), '\0'));
                read = SettingRead::Read;
            }
        }
    }
    RegCloseKey(opened);
    return read;
}

}  // namespace

SettingRead ReadMachineString(std::string_view key, std::string_view name, std::string& value) {
    const std::string keyText(key);
    const std::string nameText(name);
    // A 32-bit installer of the data wrote its key into the 32-bit view of the registry,
    // which a 64-bit program does not see by default; look there when the own view has none.
    const SettingRead own = ReadValue(0, keyText, nameText, value);
    return own != SettingRead::Missing ? own : ReadValue(KEY_WOW64_32KEY, keyText, nameText, value);
}

std::string DefaultDataDirectory() { return "C:\\"; }

}  // namespace kelvo::platform
