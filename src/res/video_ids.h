#pragma once
// Control ids of the Video page (template 134).

namespace velmora::ctl::video {

// Picture controls: slider and the box that shows its position.
inline constexpr int kContrastSlider = 1145;
inline constexpr int kContrastBox = 1042;
inline constexpr int kBrightnessSlider = 1146;
inline constexpr int kBrightnessBox = 1064;
inline constexpr int kColorSlider = 1147;
inline constexpr int kColorBox = 1065;
inline constexpr int kSharpnessSlider = 1148;
inline constexpr int kSharpnessBox = 1066;

// VGA picture size.
inline constexpr int kHSizeLabel = 1268;
inline constexpr int kHSizeSlider = 1269;
inline constexpr int kHSizeBox = 1288;
inline constexpr int kVSizeSlider = 1270;
inline constexpr int kVSizeBox = 1289;

// VGA steps: the value box and the up-down arrows beside it.
inline constexpr int kAutoAdjustGroup = 1271;
inline constexpr int kHPositionLabel = 1272;
inline constexpr int kHPositionBox = 1260;
inline constexpr int kHPositionStep = 1263;
inline constexpr int kVPositionLabel = 1273;
inline constexpr int kVPositionBox = 1264;
inline constexpr int kVPositionStep = 1267;
inline constexpr int kClockLabel = 1274;
inline constexpr int kClockBox = 1261;
inline constexpr int kClockStep = 1265;
inline constexpr int kPhaseLabel = 1275;
inline constexpr int kPhaseBox = 1262;
inline constexpr int kPhaseStep = 1266;

}  // namespace velmora::ctl::video
