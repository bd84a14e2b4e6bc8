// Template 142: the progress popup. A pop-up without caption or border, one
// line of text and the check mark beside it.

#include "res/resource_ids.h"
#include "res/status_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
namespace c = ctl::status;

constexpr ControlTemplate kControls[] = {
    {c::kText, ControlKind::Label, "", 61, 25, 87, 8},
    {c::kCheckMark, ControlKind::Picture, "", 31, 21, 18, 15},
};

constexpr platform::DialogTemplate kTemplate{kStatusTemplate, "", 164, 58, "微软雅黑", 9, kControls};

}  // namespace

const platform::DialogTemplate& StatusTemplate() { return kTemplate; }

}  // namespace velmora::res
