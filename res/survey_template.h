#pragma once
// The template of "Размерно-ростовочный ассортимент", the survey dialog.

#include "platform/dialog_template.h"

namespace kelvo::res {

const platform::DialogTemplate& SurveyTemplate();

}  // namespace kelvo::res
