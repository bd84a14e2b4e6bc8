// Template 201: the network configuration dialog behind Config..., which
// sends one switcher found by Search its new addresses.

#include "res/config_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
namespace c = ctl::config;

constexpr ControlTemplate kControls[] = {
    {c::kTargetLabel, ControlKind::Label, "Switcher", 8, 9, 50, 10},
    {c::kTarget, ControlKind::Label, "", 62, 9, 140, 10},
    {c::kDhcp, ControlKind::RadioButton, "DHCP", 8, 26, 60, 10},
    {c::kStatic, ControlKind::RadioButton, "Static IP", 80, 26, 70, 10},
    {c::kIpLabel, ControlKind::Label, "IP Address", 8, 45, 50, 10},
    {c::kIp, ControlKind::IpAddress, "", 62, 43, 110, 13},
    {c::kMacLabel, ControlKind::Label, "New MAC", 8, 64, 50, 10},
    {c::kMac, ControlKind::Edit, "", 62, 62, 110, 13},
    {c::kMacHint, ControlKind::Label, "Empty keeps the switcher's own.", 62, 77, 140, 9},
    {c::kSend, ControlKind::PushButton, "Send", 98, 94, 50, 14},
    {c::kCancel, ControlKind::PushButton, "Cancel", 152, 94, 50, 14},
};

constexpr platform::DialogTemplate kTemplate{kConfigTemplate, "Network Configuration", 210, 116, "微软雅黑", 9,
                                             kControls};

}  // namespace

const platform::DialogTemplate& ConfigTemplate() { return kTemplate; }

}  // namespace velmora::res
