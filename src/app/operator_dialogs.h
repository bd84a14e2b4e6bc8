#pragma once
// Connection control's messages, question and wait popup, bound to the
// panel's one message box and one progress popup.

#include "app/connection_control.h"

namespace velmora::app {

ConnectionHooks MakeDialogHooks();

}  // namespace velmora::app
