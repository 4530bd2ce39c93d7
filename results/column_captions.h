#pragma once
// The captions of the result list's columns, as the window, the size chart and the printed
// pages head them (Windows-1251).

#include "platform/ansi_text.h"

namespace kelvo::results {

inline constexpr platform::AnsiText kNumberCaption(u8"Номер");
inline constexpr platform::AnsiText kNameCaption(u8"Наименование размерного признака");
inline constexpr platform::AnsiText kValueCaption(u8"Значение");
inline constexpr platform::AnsiText kPerHeightCaption(u8"М/Рост");
inline constexpr platform::AnsiText kPerSizeCaption(u8"М/Размер");

}  // namespace kelvo::results
