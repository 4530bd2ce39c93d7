#pragma once
// Opens a dialog on the front end a test binary is built for. The behaviour tests are
// written once against UserActions and linked with one implementation of this per front end.

#include <memory>

#include "platform/dialog.h"
#include "platform/user_actions.h"

namespace kelvo::test {

// The dialog is open (OnInitDialog has run) when this returns; destroying the window
// closes it.
std::unique_ptr<platform::UserActions> OpenTestWindow(platform::Dialog& dialog);

}  // namespace kelvo::test
