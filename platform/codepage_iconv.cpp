// Code pages through glibc's iconv. The single-byte conversions are tabulated once from
// iconv, so converting a name costs a table look-up per byte, not a converter set-up.

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string>

#include "platform/codepage.h"

namespace kelvo::platform {
namespace {

// Converts `in` with iconv; characters the target lacks become '?'.
std::string Convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    // musl (the browser build's C library) knows no "//TRANSLIT": the plain name then.
    if (cd == reinterpret_cast<iconv_t>(-1) && std::string_view(to).find("//") != std::string_view::npos)
        cd = iconv_open(std::string(to, std::string_view(to).find("//")).c_str(), from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or unmappable sequence: skip one byte of it.
            out.push_back('?');
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::array<char, 256> BuildOemToAnsi() {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        std::string out = Convert("CP1251//TRANSLIT", "CP866", std::string_view(&in, 1));
        table[static_cast<std::size_t>(b)] = out.size() == 1 ? out[0] : '?';
    }
    return table;
}

std::array<std::string, 256> BuildAnsiToUtf8() {
    std::array<std::string, 256> table;
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        table[static_cast<std::size_t>(b)] = Convert("UTF-8", "CP1251", std::string_view(&in, 1));
    }
    return table;
}

// Seven-bit text is the same in UTF-8, 1251 and 866: the source codes of every row a size
// chart computes are such, and setting up a converter for each cost a third of the chart.
bool Ascii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string OemToAnsi(std::string oem) {
    static const std::array<char, 256> table = BuildOemToAnsi();
    for (char& c : oem) c = table[static_cast<unsigned char>(c)];
    return oem;
}

std::string AnsiToUtf8(std::string_view ansi) {
    static const std::array<std::string, 256> table = BuildAnsiToUtf8();
    std::string utf8;
    utf8.reserve(ansi.size() * 2);
    for (const char c : ansi) utf8 += table[static_cast<unsigned char>(c)];
    return utf8;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return Ascii(utf8) ? std::string(utf8) : Convert("CP1251", "UTF-8", utf8);
}

std::string Utf8ToOem(std::string_view utf8) {
    return Ascii(utf8) ? std::string(utf8) : Convert("CP866", "UTF-8", utf8);
}

}  // namespace kelvo::platform
