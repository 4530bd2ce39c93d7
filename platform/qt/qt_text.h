#pragma once
// The one edge where the 8-bit Windows-1251 text of the program meets Qt's UTF-16.

#include <QString>

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace kelvo::platform::qt {

inline QString ToQString(std::string_view ansi) { return QString::fromStdString(AnsiToUtf8(ansi)); }

// Characters that Windows-1251 lacks become '?', as a Windows control's ANSI text does.
inline std::string ToAnsi(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

}  // namespace kelvo::platform::qt
