#pragma once
// Start-up: the initial group from the command line, the one window run modally.

#include <cstdint>
#include <string_view>

#include "platform/dialog.h"

namespace kelvo::app {

// The argument text of a Windows command line: what follows the program's name (quoted
// or not) and the control characters and blanks after it.
std::string_view ArgumentText(std::string_view commandLine);

// The group the window opens with: "0" Nursery, "1" Girls, "2" Boys, "4" Men, anything
// else or nothing Women. Only the first character counts.
std::int32_t InitialGroup(std::string_view argumentText);

class FigureApp {
public:
    // Runs the window for the given argument text; false, as there is no message loop after.
    bool InitInstance(platform::FrontEnd& frontEnd, std::string_view argumentText);
};

}  // namespace kelvo::app
