#include "platform/web/web_window.h"
#include "tests/support/test_window.h"

namespace kelvo::test {

std::unique_ptr<platform::UserActions> OpenTestWindow(platform::Dialog& dialog) {
    return std::make_unique<platform::web::WebWindow>(dialog, "/nonexistent");
}

}  // namespace kelvo::test
