#pragma once
// Control ids of the Audio page (template 198).

namespace velmora::ctl::audio {

// Volumes: mute button, slider and the box that shows its position.
inline constexpr int kVolumeGroup = 1215;
inline constexpr int kVolumeLabel = 1216;
inline constexpr int kMute = 1101;
inline constexpr int kVolumeSlider = 1213;
inline constexpr int kVolumeBox = 1287;
inline constexpr int kMicVolumeLabel = 1217;
inline constexpr int kMicMute = 1203;
inline constexpr int kMicVolumeSlider = 1214;
inline constexpr int kMicVolumeBox = 1288;

// Microphone mixer: its mode, and the values the operator types and sets.
inline constexpr int kMixerOn = 1276;
inline constexpr int kMixerAuto = 1065;
inline constexpr int kMixerOff = 1278;
inline constexpr int kMixerVolumeLabel = 1218;
inline constexpr int kMixerVolumeBox = 1209;
inline constexpr int kMixerVolumeSet = 1211;
inline constexpr int kFadeInLabel = 1219;
inline constexpr int kFadeInBox = 1042;
inline constexpr int kFadeInSet = 1210;
inline constexpr int kFadeOutLabel = 1220;
inline constexpr int kFadeOutBox = 1208;
inline constexpr int kFadeOutSet = 1212;

}  // namespace velmora::ctl::audio
