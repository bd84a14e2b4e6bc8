// Template 134: the Video page, a child window without caption.

#include "res/resource_ids.h"
#include "res/templates.h"
#include "res/video_ids.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoId;
namespace st = platform::style;
namespace c = ctl::video;

constexpr ControlTemplate kControls[] = {
    {kNoId, ControlKind::GroupBox, "Image Regulate", 7, 7, 291, 93},
    {kNoId, ControlKind::Label, "Contrast", 23, 24, 29, 8},
    {c::kContrastSlider, ControlKind::Slider, "", 79, 23, 147, 15},
    {c::kContrastBox, ControlKind::Edit, "", 249, 21, 24, 14, st::kReadOnly},
    {kNoId, ControlKind::Label, "Brightness", 21, 44, 36, 8},
    {c::kBrightnessSlider, ControlKind::Slider, "", 79, 42, 147, 15},
    {c::kBrightnessBox, ControlKind::Edit, "", 249, 40, 24, 14, st::kReadOnly},
    {kNoId, ControlKind::Label, "Color", 23, 65, 19, 8},
    {c::kColorSlider, ControlKind::Slider, "", 79, 61, 147, 15},
    {c::kColorBox, ControlKind::Edit, "", 249, 59, 24, 14, st::kReadOnly},
    {kNoId, ControlKind::Label, "Sharpness", 21, 84, 35, 8},
    {c::kSharpnessSlider, ControlKind::Slider, "", 79, 80, 147, 15},
    {c::kSharpnessBox, ControlKind::Edit, "", 249, 78, 24, 14, st::kReadOnly},

    {kNoId, ControlKind::GroupBox, "", 7, 110, 291, 119},
    {c::kHSizeLabel, ControlKind::Label, "H Size ", 20, 121, 23, 8},
    {c::kHSizeSlider, ControlKind::Slider, "", 39, 120, 80, 15},
    {c::kHSizeBox, ControlKind::Edit, "", 115, 119, 26, 14, st::kReadOnly},
    {kNoId, ControlKind::Label, "V Size", 153, 123, 21, 8},
    {c::kVSizeSlider, ControlKind::Slider, "", 171, 122, 80, 15},
    {c::kVSizeBox, ControlKind::Edit, "", 247, 120, 26, 14, st::kReadOnly | st::kNumber},
    {kNoId, ControlKind::Label, "VGA", 118, 136, 45, 13, st::kCentered},

    {c::kAutoAdjustGroup, ControlKind::GroupBox, "Auto Adjust", 18, 153, 255, 62},
    {c::kHPositionLabel, ControlKind::Label, "H Position", 42, 171, 35, 8},
    {c::kHPositionBox, ControlKind::Edit, "", 82, 168, 39, 14, st::kNumber},
    {c::kHPositionStep, ControlKind::UpDown, "", 121, 168, 10, 14},
    {c::kVPositionLabel, ControlKind::Label, "V Position", 42, 193, 34, 8},
    {c::kVPositionBox, ControlKind::Edit, "", 82, 192, 39, 14, st::kNumber},
    {c::kVPositionStep, ControlKind::UpDown, "", 121, 192, 10, 14},
    {c::kClockLabel, ControlKind::Label, "Clock", 175, 172, 19, 8},
    {c::kClockBox, ControlKind::Edit, "", 207, 167, 39, 14, st::kNumber},
    {c::kClockStep, ControlKind::UpDown, "", 247, 167, 10, 14},
    {c::kPhaseLabel, ControlKind::Label, "Phase", 175, 192, 20, 8},
    {c::kPhaseBox, ControlKind::Edit, "", 209, 190, 39, 14, st::kNumber},
    {c::kPhaseStep, ControlKind::UpDown, "", 247, 190, 10, 14},
};

// Each fixed label names its slider and the box that shows the slider's
// position, or its step box and the arrows beside it.
constexpr platform::LabelFor kLabels[] = {
    {"Contrast", c::kContrastSlider},
    {"Contrast", c::kContrastBox},
    {"Brightness", c::kBrightnessSlider},
    {"Brightness", c::kBrightnessBox},
    {"Color", c::kColorSlider},
    {"Color", c::kColorBox},
    {"Sharpness", c::kSharpnessSlider},
    {"Sharpness", c::kSharpnessBox},
    {"H Size ", c::kHSizeSlider},
    {"H Size ", c::kHSizeBox},
    {"V Size", c::kVSizeSlider},
    {"V Size", c::kVSizeBox},
    {"H Position", c::kHPositionBox},
    {"H Position", c::kHPositionStep},
    {"V Position", c::kVPositionBox},
    {"V Position", c::kVPositionStep},
    {"Clock", c::kClockBox},
    {"Clock", c::kClockStep},
    {"Phase", c::kPhaseBox},
    {"Phase", c::kPhaseStep},
};

constexpr platform::DialogTemplate kTemplate{kVideoTemplate, "", 313, 258, "微软雅黑", 9, kControls, kLabels};

}  // namespace

const platform::DialogTemplate& VideoTemplate() { return kTemplate; }

}  // namespace velmora::res
