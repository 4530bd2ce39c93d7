#pragma once
// kelvo-cli's PDF writer: Qt's where the Qt build is on, else none.

#include <string>

#include "platform/page_canvas.h"

namespace kelvo::programs {

// The PDF of the pages `layOut` makes, in `bytes`; false with a message (UTF-8) when this
// build cannot write PDF or the pages could not be drawn.
bool RenderPdf(const platform::PageLayout& layOut, std::string& bytes, std::string& message);

}  // namespace kelvo::programs
