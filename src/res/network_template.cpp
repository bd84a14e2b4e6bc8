// Template 199: the Network page, a child window without caption. The Set
// buttons of the subnet mask, gateway and MAC stand right of the frame, and
// the MAC row is made hidden.

#include "res/network_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoId;
namespace st = platform::style;
namespace c = ctl::network;

constexpr int kMacY = 118;
constexpr int kMacWidth = 20;
constexpr int kMacHeight = 14;

constexpr ControlTemplate kControls[] = {
    {c::kConfigGroup, ControlKind::GroupBox, "Network Configuration", 7, 7, 339, 165},
    {c::kDhcp, ControlKind::CheckBox, "DHCP", 36, 22, 34, 10},
    {c::kStatus, ControlKind::PushButton, "Status", 143, 22, 50, 14},
    {c::kIpLabel, ControlKind::Label, "IP", 40, 49, 30, 8},
    {c::kSubnetLabel, ControlKind::Label, "Subnet", 40, 70, 30, 8},
    {kNoId, ControlKind::Label, "Gateway", 40, 94, 30, 8},
    {c::kMacLabel, ControlKind::Label, "MAC", 40, 122, 30, 8, st::kHidden},
    {c::kPortLabel, ControlKind::Label, "Port", 40, 145, 30, 8},
    {c::kIp, ControlKind::IpAddress, "", 115, 49, 100, 15},
    {c::kSubnet, ControlKind::IpAddress, "", 115, 71, 100, 15},
    {c::kGateway, ControlKind::IpAddress, "", 115, 92, 100, 15},
    {c::kMacBoxes[0], ControlKind::Edit, "", 104, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kMacBoxes[1], ControlKind::Edit, "", 124, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kMacBoxes[2], ControlKind::Edit, "", 144, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kMacBoxes[3], ControlKind::Edit, "", 164, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kMacBoxes[4], ControlKind::Edit, "", 184, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kMacBoxes[5], ControlKind::Edit, "", 204, kMacY, kMacWidth, kMacHeight, st::kHidden},
    {c::kPort, ControlKind::Edit, "", 136, 143, 51, 14},
    {c::kSetIp, ControlKind::PushButton, "Set", 269, 71, 30, 15},
    {c::kSetSubnet, ControlKind::PushButton, "Set", 379, 74, 30, 15},
    {c::kSetGateway, ControlKind::PushButton, "Set", 379, 98, 30, 15},
    {c::kSetMac, ControlKind::PushButton, "Set", 379, 120, 30, 15},
    {c::kSetPort, ControlKind::PushButton, "Set", 269, 143, 30, 15},
    {c::kLogGroup, ControlKind::GroupBox, "Status   Log", 7, 183, 339, 121},
    {c::kLog, ControlKind::MultiLineEdit, "", 40, 198, 259, 95},
    {kNoId, ControlKind::GroupBox, "", 34, 38, 277, 75},
    {kNoId, ControlKind::GroupBox, "", 34, 133, 277, 29},
};

// A row's label names its controls and tells which row a Set button belongs
// to; the log is named by its frame's title.
constexpr platform::LabelFor kLabels[] = {
    {"IP", c::kIp},           {"IP", c::kSetIp},           {"Subnet", c::kSubnet},   {"Subnet", c::kSetSubnet},
    {"Gateway", c::kGateway}, {"Gateway", c::kSetGateway}, {"MAC", c::kMacBoxes[0]}, {"MAC", c::kMacBoxes[1]},
    {"MAC", c::kMacBoxes[2]}, {"MAC", c::kMacBoxes[3]},    {"MAC", c::kMacBoxes[4]}, {"MAC", c::kMacBoxes[5]},
    {"MAC", c::kSetMac},      {"Port", c::kPort},          {"Port", c::kSetPort},    {"Status   Log", c::kLog},
};

constexpr platform::DialogTemplate kTemplate{kNetworkTemplate, "", 416, 332, "MS Shell Dlg", 8, kControls, kLabels};

}  // namespace

const platform::DialogTemplate& NetworkTemplate() { return kTemplate; }

}  // namespace velmora::res
