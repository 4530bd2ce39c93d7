#pragma once
// Compile-time Windows-1251 text from UTF-8 literals, so captions read as Russian in
// the source while the program holds them as the 8-bit bytes its tables and files use.

#include <cstddef>
#include <string_view>

namespace kelvo::platform {

template <std::size_t N>
struct AnsiText {
    char bytes[N]{};
    std::size_t length = 0;

    // Accepts ASCII, the Russian alphabet and a few signs; anything else fails to compile.
    consteval AnsiText(const char8_t (&utf8)[N]) {
        std::size_t i = 0;
        while (i + 1 < N) {
            const unsigned lead = utf8[i];
            if (lead < 0x80) {
                bytes[length++] = static_cast<char>(lead);
                ++i;
                continue;
            }
            if ((lead & 0xE0) != 0xC0 && (lead & 0xF0) != 0xE0) throw "unsupported UTF-8 sequence";
            unsigned code = 0;
            if ((lead & 0xE0) == 0xC0) {
                code = ((lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
                i += 2;
            } else {
                code = ((lead & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
                i += 3;
            }
            bytes[length++] = static_cast<char>(Map(code));
        }
    }

    static consteval unsigned Map(unsigned code) {
        if (code >= 0x0410 && code <= 0x044F) return code - 0x0410 + 0xC0;
        switch (code) {
            case 0x0401: return 0xA8;  // Ё
            case 0x0451: return 0xB8;  // ё
            case 0x2116: return 0xB9;  // №
            case 0x2026: return 0x85;  // …
            case 0x00AB: return 0xAB;  // «
            case 0x00BB: return 0xBB;  // »
            case 0x2013: return 0x96;  // –
            case 0x2014: return 0x97;  // —
            default: throw "character outside Windows-1251";
        }
    }

    constexpr std::string_view view() const { return {bytes, length}; }
    constexpr operator std::string_view() const { return view(); }
};

}  // namespace kelvo::platform
