#pragma once
// Dialog template 102, the kelvo window: one description laid out by every front end.

#include "platform/dialog_template.h"

namespace kelvo::res {

const platform::DialogTemplate& FigureDialogTemplate();

}  // namespace kelvo::res
