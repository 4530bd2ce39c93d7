#pragma once
// Dialog template 104, the range of a size chart on pages: heights, chests and thirds
// from–to, and how many figures and pages they make.

#include "platform/dialog_template.h"

namespace kelvo::res {

const platform::DialogTemplate& ChartRangeTemplate();

}  // namespace kelvo::res
