#pragma once
// Doubles to decimal text and back, the same on every platform: std::from_chars and
// std::to_chars where the library has them for floating point; where it lacks them
// (Emscripten's libc++ 14) the C library's strtod and snprintf, held to the same grammar
// and the same shortest round-trip text.

#include <charconv>

namespace kelvo::platform {

std::from_chars_result ReadDouble(const char* first, const char* last, double& value,
                                  std::chars_format format = std::chars_format::general);
// The shortest text that reads back as `value`.
std::to_chars_result WriteDouble(char* first, char* last, double value);
// `precision` decimals in fixed notation, rounded as the binary value lies (ties to even).
std::to_chars_result WriteFixed(char* first, char* last, double value, int precision);

}  // namespace kelvo::platform
