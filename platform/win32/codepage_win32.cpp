// Code pages through the Windows conversion functions. The 1251 and 866 conversions name
// their code page, so they hold whatever the system's own ANSI and OEM code pages are.

#include <windows.h>
// windows.h maps the old name to a Win32 function of its own; the name here is the platform's.
#undef OemToAnsi

#include <string>

#include "platform/codepage.h"

namespace kelvo::platform {
namespace {

constexpr UINT kAnsiCodePage = 1251;
constexpr UINT kOemCodePage = 866;

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    // CP_UTF8 refuses a default character; every other code page gets '?' for what it lacks.
    const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, fallback, nullptr);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, fallback, nullptr);
    return text;
}

}  // namespace

std::string OemToAnsi(std::string oem) {
    if (!oem.empty()) OemToCharBuffA(oem.data(), oem.data(), static_cast<DWORD>(oem.size()));
    return oem;
}

std::string AnsiToUtf8(std::string_view ansi) { return FromWide(CP_UTF8, ToWide(kAnsiCodePage, ansi)); }

std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(kAnsiCodePage, ToWide(CP_UTF8, utf8)); }

std::string Utf8ToOem(std::string_view utf8) { return FromWide(kOemCodePage, ToWide(CP_UTF8, utf8)); }

}  // namespace kelvo::platform
