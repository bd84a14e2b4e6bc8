// Template 135: the message box. A pop-up without caption or border; the
// painter moves the close button into the title band.

#include "res/message_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
namespace st = platform::style;
namespace c = ctl::message;

constexpr ControlTemplate kControls[] = {
    {c::kClose, ControlKind::PushButton, "", 157, 7, 21, 18},
    {c::kOk, ControlKind::PushButton, "Ok", 137, 60, 41, 11},
    {c::kCancel, ControlKind::PushButton, "Cancel", 94, 60, 41, 11, st::kHidden},
    {c::kPicture, ControlKind::Picture, "", 26, 29, 21, 17},
    {c::kNoLongerRemind, ControlKind::CheckBox, "No longer remind", 3, 60, 69, 10, st::kHidden},
};

constexpr platform::DialogTemplate kTemplate{kMessageTemplate, "", 185, 73, "微软雅黑", 9, kControls};

}  // namespace

const platform::DialogTemplate& MessageTemplate() { return kTemplate; }

}  // namespace velmora::res
