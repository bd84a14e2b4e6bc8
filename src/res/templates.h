#pragma once
// The panel's dialog templates.

#include "platform/dialog_template.h"

namespace velmora::res {

const platform::DialogTemplate& MainTemplate();  // 102
const platform::DialogTemplate& AboutTemplate();  // 100
const platform::DialogTemplate& MessageTemplate();  // 135
const platform::DialogTemplate& StatusTemplate();  // 142
const platform::DialogTemplate& VideoTemplate();  // 134
const platform::DialogTemplate& AudioTemplate();  // 198
const platform::DialogTemplate& NetworkTemplate();  // 199
const platform::DialogTemplate& AdvancedTemplate();  // 200
const platform::DialogTemplate& ConfigTemplate();  // 201

}  // namespace velmora::res
