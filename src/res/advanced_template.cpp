// Template 200: the Advanced page, a child window without caption.

#include "res/advanced_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoId;
namespace st = platform::style;
namespace c = ctl::advanced;

constexpr ControlTemplate kControls[] = {
    {kNoId, ControlKind::GroupBox, "", 7, 7, 336, 155},
    {c::kBeep, ControlKind::CheckBox, "Beep", 47, 29, 32, 10},
    {c::kPower, ControlKind::CheckBox, "Power", 135, 29, 36, 10},
    {c::kFactoryReset, ControlKind::PushButton, "Factory Reset", 236, 25, 60, 17},
    {c::kSerialBaudLabel, ControlKind::Label, "Serial Baudrate", 96, 74, 50, 8, st::kCentered},
    {c::kSerialBaudList, ControlKind::DropList, "", 181, 73, 66, 30},
    {c::kSleepTimerLabel, ControlKind::Label, "Sleep Timer", 96, 99, 38, 8, st::kCentered},
    {c::kSleepTimerList, ControlKind::DropList, "", 181, 99, 66, 30},
    {c::kOsdTimeoutLabel, ControlKind::Label, "OSD Time out", 96, 126, 44, 8, st::kCentered},
    {c::kOsdTimeoutList, ControlKind::DropList, "", 182, 124, 66, 30},

    {kNoId, ControlKind::GroupBox, "", 7, 178, 336, 122},
    {kNoId, ControlKind::GroupBox, "", 77, 191, 199, 63},
    {kNoId, ControlKind::Label, "Please insert the USB flash drive:", 123, 206, 110, 8},
    {c::kUpgradeScaler, ControlKind::PushButton, "Upgrade Scaler", 140, 227, 67, 17},
    {c::kVersionLabel, ControlKind::Label, "Hardware  Version:", 119, 269, 63, 10},
    {c::kVersionBox, ControlKind::Edit, "", 185, 267, 40, 14, st::kReadOnly},
};

// The list labels stand well left of their lists.
constexpr platform::LabelFor kLabels[] = {
    {"Serial Baudrate", c::kSerialBaudList},
    {"Sleep Timer", c::kSleepTimerList},
    {"OSD Time out", c::kOsdTimeoutList},
};

constexpr platform::DialogTemplate kTemplate{kAdvancedTemplate, "", 362, 328, "MS Shell Dlg", 8, kControls, kLabels};

}  // namespace

const platform::DialogTemplate& AdvancedTemplate() { return kTemplate; }

}  // namespace velmora::res
