#pragma once
// Dialog template 103, the figure search: a person's measurements, the figures nearest to
// them, and the one to show in the kelvo window.

#include "platform/dialog_template.h"

namespace kelvo::res {

const platform::DialogTemplate& NearestFigureTemplate();

}  // namespace kelvo::res
