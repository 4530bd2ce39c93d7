#include "programs/cli_pdf.h"

namespace kelvo::programs {

// Without Qt (the Windows build, a Linux build without KELVO_BUILD_QT) the program has no
// PDF writer of its own, and printing to a system PDF printer would ask the user through a
// dialog that a script cannot answer: the option is refused instead.
bool RenderPdf(const platform::PageLayout&, std::string&, std::string& message) {
    message = "PDF в этой сборке kelvo-cli не записать (нет Qt); окно kelvo печатает и сохраняет PDF";
    return false;
}

}  // namespace kelvo::programs
