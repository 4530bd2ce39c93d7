#include "platform/json_text.h"

#include "platform/codepage.h"

namespace kelvo::platform {

std::string JsonString(std::string_view ansi) {
    std::string out = "\"";
    for (const char c : AnsiToUtf8(ansi)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace kelvo::platform
