#include "platform/decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelvo::platform {

#if defined(__EMSCRIPTEN__)

std::from_chars_result ReadDouble(const char* first, const char* last, double& value, std::chars_format format) {
    // The longest prefix in from_chars' grammar: a minus, digits with one point, and in the
    // general format an exponent; no plus, no hexadecimal, no "inf".
    const char* at = first;
    if (at < last && *at == '-') ++at;
    int digits = 0;
    while (at < last && *at >= '0' && *at <= '9') ++at, ++digits;
    if (at < last && *at == '.') {
        ++at;
        while (at < last && *at >= '0' && *at <= '9') ++at, ++digits;
    }
    if (digits == 0) return {first, std::errc::invalid_argument};
    if (format != std::chars_format::fixed && at < last && (*at == 'e' || *at == 'E')) {
        const char* exponent = at + 1;
        if (exponent < last && (*exponent == '-' || *exponent == '+')) ++exponent;
        const char* start = exponent;
        while (exponent < last && *exponent >= '0' && *exponent <= '9') ++exponent;
        if (exponent > start) at = exponent;
    }
    const std::string text(first, at);
    char* end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    if (read == HUGE_VAL || read == -HUGE_VAL) return {at, std::errc::result_out_of_range};
    value = read;
    return {at, std::errc()};
}

std::to_chars_result WriteDouble(char* first, char* last, double value) {
    char buffer[64];
    int n = 0;
    for (int precision = 1; precision <= 17; ++precision) {
        n = std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    if (n < 0 || n > last - first) return {last, std::errc::value_too_large};
    std::memcpy(first, buffer, static_cast<std::size_t>(n));
    return {first + n, std::errc()};
}

std::to_chars_result WriteFixed(char* first, char* last, double value, int precision) {
    const int n = std::snprintf(first, static_cast<std::size_t>(last - first), "%.*f", precision, value);
    if (n < 0 || n >= last - first) return {last, std::errc::value_too_large};
    return {first + n, std::errc()};
}

#else

std::from_chars_result ReadDouble(const char* first, const char* last, double& value, std::chars_format format) {
    return std::from_chars(first, last, value, format);
}

std::to_chars_result WriteDouble(char* first, char* last, double value) { return std::to_chars(first, last, value); }

std::to_chars_result WriteFixed(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::fixed, precision);
}

#endif

}  // namespace kelvo::platform
