#include "platform/dialog.h"

#include "platform/ansi_text.h"

namespace kelvo::platform {

void Dialog::OnOutOfMemory() {
    static constexpr AnsiText kOutOfMemory(u8"Недостаточно памяти: действие не выполнено.");
    if (host_) host_->ShowMessage(kOutOfMemory, "");
}

}  // namespace kelvo::platform
