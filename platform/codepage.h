#pragma once
// Code-page conversions. Inside the system text is Windows-1251; the tables store names
// in the DOS code page 866; front ends convert to their own encoding at their edge.

#include <string>
#include <string_view>

namespace kelvo::platform {

// OEM (866) to ANSI (1251), as OemToCharA does: one byte in, one byte out. A character
// that 1251 lacks (box drawing, for instance) becomes a similar one or '?'. Converted in
// the string it is given: a name read for a row is converted without another copy.
std::string OemToAnsi(std::string oem);

// ANSI (1251) to UTF-8 and back, for front ends and files that speak UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);  // characters 1251 lacks become '?'

// UTF-8 to OEM (866), for writing feature tables.
std::string Utf8ToOem(std::string_view utf8);

}  // namespace kelvo::platform
