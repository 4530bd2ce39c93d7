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

namespace {

std::wstring Wide(std::string_view ansi) {
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        ansi.empty() ? 0
                     : MultiByteToWideChar(1251, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                           static_cast<int>(wide.size()))));
    return wide;
}

std::wstring UserKey(std::string_view application) { return L"Software\\" + Wide(application); }

}  // namespace

// The user's values are the program's own, written from 1251 text: read back through the
// Unicode functions and made 1251 without best-fit, as the machine's value is.
bool ReadUserString(std::string_view application, std::string_view name, std::string& value) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UserKey(application).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    const std::wstring wideName = Wide(name);
    std::vector<wchar_t> data;
    DWORD type = REG_NONE;
    const bool read = QueryBytes<wchar_t>([&](BYTE* to, DWORD* size) {
        return RegQueryValueExW(opened, wideName.c_str(), nullptr, &type, to, size);
    }, data) && type == REG_SZ;
    RegCloseKey(opened);
    if (!read) return false;
    const auto end = std::find(data.begin(), data.end(), L'\0');
    const int length = static_cast<int>(end - data.begin());
    BOOL lacking = FALSE;
    value.assign(static_cast<std::size_t>(length) * 2, '\0');
    const int n = length == 0 ? 0
                              : WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, data.data(), length, value.data(),
                                                    static_cast<int>(value.size()), "?", &lacking);
    value.resize(static_cast<std::size_t>(n));
    return !lacking && !value.empty();
}

bool WriteUserString(std::string_view application, std::string_view name, std::string_view value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, UserKey(application).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring wideName = Wide(name);
    LONG result = ERROR_SUCCESS;
    if (value.empty()) {
        result = RegDeleteValueW(opened, wideName.c_str());
        if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
    } else {
        const std::wstring wide = Wide(value);
        result = RegSetValueExW(opened, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::string DefaultDataDirectory() { return "C:\\"; }

std::string InstalledManual() {
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program, length > 0 && length < MAX_PATH ? length : 0);
    folder.resize(folder.rfind('\\') == std::string::npos ? 0 : folder.rfind('\\') + 1);
    return folder + "manual\\index.html";
}

}  // namespace kelvo::platform
