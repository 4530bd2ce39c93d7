#include "platform/headless/headless_window.h"
#include "tests/support/test_window.h"

namespace kelvo::test {

std::unique_ptr<platform::UserActions> OpenTestWindow(platform::Dialog& dialog) {
    return std::make_unique<platform::headless::HeadlessWindow>(dialog);
}

}  // namespace kelvo::test
