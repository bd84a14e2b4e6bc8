// Template 198: the Audio page, a child window without caption.

#include "res/audio_ids.h"
#include "res/resource_ids.h"
#include "res/templates.h"

namespace velmora::res {

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoId;
namespace st = platform::style;
namespace c = ctl::audio;

constexpr ControlTemplate kControls[] = {
    {c::kVolumeGroup, ControlKind::GroupBox, "Volume", 7, 19, 337, 108},
    {c::kVolumeLabel, ControlKind::Label, "Audio Volume", 37, 50, 44, 8},
    {c::kMute, ControlKind::PushLikeCheckBox, "Mute", 117, 46, 29, 20},
    {c::kVolumeSlider, ControlKind::Slider, "", 165, 46, 100, 18, st::kTicks},
    {c::kVolumeBox, ControlKind::Edit, "", 280, 51, 26, 15, st::kReadOnly | st::kNumber},
    {c::kMicVolumeLabel, ControlKind::Label, "MIC Volume", 37, 95, 38, 8},
    {c::kMicMute, ControlKind::PushLikeCheckBox, "Mute", 117, 90, 29, 20},
    {c::kMicVolumeSlider, ControlKind::Slider, "", 165, 92, 100, 15},
    {c::kMicVolumeBox, ControlKind::Edit, "", 280, 93, 26, 15, st::kReadOnly | st::kNumber},

    {kNoId, ControlKind::GroupBox, "Mic Mixer", 7, 139, 337, 158},
    {c::kMixerOn, ControlKind::PushLikeRadio, "ON", 68, 159, 35, 17},
    {c::kMixerAuto, ControlKind::PushLikeRadio, "AUTO", 145, 158, 35, 17},
    {c::kMixerOff, ControlKind::PushLikeRadio, "OFF", 231, 160, 35, 17},
    {c::kMixerVolumeLabel, ControlKind::Label, "Audio Volume:", 68, 201, 46, 8},
    {c::kMixerVolumeBox, ControlKind::Edit, "", 143, 201, 40, 14},
    {c::kMixerVolumeSet, ControlKind::PushButton, "Set", 228, 201, 38, 15},
    {c::kFadeInLabel, ControlKind::Label, "Fade in Time:", 68, 233, 44, 8},
    {c::kFadeInBox, ControlKind::Edit, "", 143, 233, 40, 14},
    {kNoId, ControlKind::Label, "ms", 184, 238, 10, 8},
    {c::kFadeInSet, ControlKind::PushButton, "Set", 228, 233, 38, 15},
    {c::kFadeOutLabel, ControlKind::Label, "Fade out Time:", 68, 265, 49, 8},
    {c::kFadeOutBox, ControlKind::Edit, "", 143, 265, 40, 14},
    {kNoId, ControlKind::Label, "ms", 185, 270, 10, 8},
    {c::kFadeOutSet, ControlKind::PushButton, "Set", 228, 265, 38, 15},
};

// A row's label names its slider or box, the box beside the slider, and
// tells which row a Mute or Set button belongs to.
constexpr platform::LabelFor kLabels[] = {
    {"Audio Volume", c::kVolumeSlider},    {"Audio Volume", c::kVolumeBox},       {"Audio Volume", c::kMute},
    {"MIC Volume", c::kMicVolumeSlider},   {"MIC Volume", c::kMicVolumeBox},      {"MIC Volume", c::kMicMute},
    {"Audio Volume:", c::kMixerVolumeBox}, {"Audio Volume:", c::kMixerVolumeSet}, {"Fade in Time:", c::kFadeInBox},
    {"Fade in Time:", c::kFadeInSet},      {"Fade out Time:", c::kFadeOutBox},    {"Fade out Time:", c::kFadeOutSet},
};

constexpr platform::DialogTemplate kTemplate{kAudioTemplate, "", 366, 333, "MS Shell Dlg", 8, kControls, kLabels};

}  // namespace

const platform::DialogTemplate& AudioTemplate() { return kTemplate; }

}  // namespace velmora::res
