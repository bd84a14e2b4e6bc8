// Template 102: the main window. The title band takes the top 28 units; the
// connection controls sit under it and the General page below them. The logs,
// Clear, Config... and Factory Reset lie right of the 311-unit client width:
// they exist and work but are never seen.

#include "res/main_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
namespace st = platform::style;
namespace c = ctl::main;

constexpr ControlTemplate kControls[] = {
    // Title band: the painter moves these into place.
    {c::kClose, ControlKind::PushButton, "", 290, 1, 14, 12},
    {c::kMinimize, ControlKind::PushButton, "", 276, 1, 14, 12},
    {c::kTabGeneral, ControlKind::Label, "General", 0, 16, 46, 12, st::kCentered | st::kNoMouse},
    {c::kTabVideo, ControlKind::Label, "Video", 46, 16, 46, 12, st::kCentered | st::kNoMouse},
    {c::kTabAudio, ControlKind::Label, "Audio", 92, 16, 46, 12, st::kCentered | st::kNoMouse},
    {c::kTabNetwork, ControlKind::Label, "Network", 138, 16, 46, 12, st::kCentered | st::kNoMouse},
    {c::kTabAdvanced, ControlKind::Label, "Advanced", 184, 16, 46, 12, st::kCentered | st::kNoMouse},

    // Connection.
    {c::kModeGroup, ControlKind::GroupBox, "Control Mode Select", 6, 31, 299, 24},
    {c::kComMode, ControlKind::RadioButton, "COM Control Mode", 16, 41, 100, 10},
    {c::kTcpMode, ControlKind::RadioButton, "TCP Control Mode", 162, 41, 100, 10},
    {c::kComGroup, ControlKind::GroupBox, "COM", 6, 58, 146, 52},
    {c::kPortLabel, ControlKind::Label, "Port", 12, 72, 20, 10},
    {c::kPortList, ControlKind::DropList, "", 34, 70, 50, 120},
    {c::kBaudLabel, ControlKind::Label, "Baud", 88, 72, 18, 10},
    {c::kBaudList, ControlKind::DropList, "", 106, 70, 42, 120},
    {c::kComConnect, ControlKind::PushButton, "Connect", 34, 90, 56, 15},
    {c::kTcpGroup, ControlKind::GroupBox, "TCP Control Mode", 158, 58, 147, 52},
    {c::kSwitcherIpLabel, ControlKind::Label, "Switcher IP", 164, 72, 42, 10},
    {c::kSwitcherIp, ControlKind::DropDown, "", 208, 70, 91, 120, st::kSorted},
    {c::kSearch, ControlKind::PushButton, "Search", 164, 90, 42, 15},
    {c::kConfig, ControlKind::PushButton, "Config...", 210, 90, 42, 15},
    {c::kTcpConnect, ControlKind::PushButton, "Connect", 256, 90, 43, 15},

    // General page.
    {c::kInputGroup, ControlKind::GroupBox, "INPUT", 6, 113, 299, 56},
    {c::kHdmi1, ControlKind::PushLikeCheckBox, "HDMI 1", 14, 125, 52, 17},
    {c::kHdmi2, ControlKind::PushLikeCheckBox, "HDMI 2", 72, 125, 52, 17},
    {c::kHdmi3, ControlKind::PushLikeCheckBox, "HDMI 3", 130, 125, 52, 17},
    {c::kDp, ControlKind::PushLikeCheckBox, "DP", 188, 125, 52, 17},
    {c::kVga, ControlKind::PushLikeCheckBox, "VGA", 246, 125, 52, 17},
    {c::kAudioLabel, ControlKind::Label, "Audio:", 14, 150, 32, 10},
    {c::kAudioList, ControlKind::DropList, "", 48, 148, 70, 120, st::kSorted},
    {c::kAutoSwitchLabel, ControlKind::Label, "Auto Switch:", 134, 150, 48, 10},
    {c::kAutoSwitchList, ControlKind::DropList, "", 184, 148, 114, 120},
    {c::kOutputGroup, ControlKind::GroupBox, "OUTPUT", 6, 172, 299, 32},
    {c::kResolutionLabel, ControlKind::Label, "Resolution:", 14, 186, 44, 10},
    {c::kResolutionList, ControlKind::DropList, "", 60, 184, 80, 160},
    {c::kAspectLabel, ControlKind::Label, "Aspect Ratio:", 150, 186, 54, 10},
    {c::kAspectList, ControlKind::DropList, "", 206, 184, 92, 120},
    {c::kEdidHdcpGroup, ControlKind::GroupBox, "EDID/HDCP", 6, 207, 299, 32},
    {c::kEdidLabel, ControlKind::Label, "Set EDID:", 14, 221, 44, 10},
    {c::kEdidList, ControlKind::DropList, "", 60, 219, 80, 120},
    {c::kHdcpLabel, ControlKind::Label, "Set HDCP:", 150, 221, 54, 10},
    {c::kHdcpList, ControlKind::DropList, "", 206, 219, 92, 120, st::kSorted},

    // Right of the client area.
    {c::kReceiveLabel, ControlKind::Label, "Receive", 330, 30, 60, 10},
    {c::kReceiveLog, ControlKind::MultiLineEdit, "", 330, 42, 230, 90, st::kReadOnly},
    {c::kSendLabel, ControlKind::Label, "Send", 330, 136, 60, 10},
    {c::kSendLog, ControlKind::MultiLineEdit, "", 330, 148, 230, 90, st::kReadOnly},
    {c::kClear, ControlKind::PushButton, "Clear", 330, 242, 50, 14},
    {c::kResetGroup, ControlKind::GroupBox, "Reset to the factory settings", 570, 30, 120, 40},
    {c::kFactoryReset, ControlKind::PushButton, "Factory Reset", 580, 46, 70, 15},
    {c::kHdmiOutLabel, ControlKind::Label, "HDMI OUTA: Disconnect", 570, 80, 120, 10},
    {c::kStatusLabel1, ControlKind::Label, "", 570, 94, 120, 10},
    {c::kStatusLabel2, ControlKind::Label, "", 570, 108, 120, 10},
};

constexpr platform::DialogTemplate kTemplate{
    kMainTemplate, "Controller", 311, 257, "微软雅黑", 9, kControls,
};

}  // namespace

const platform::DialogTemplate& MainTemplate() { return kTemplate; }

}  // namespace velmora::res
