#pragma once
// Video page settings: the picture controls, the VGA picture size and the
// VGA steps, with the byte positions of the video status answer.

#include "protocol/setting.h"

#include <array>

namespace velmora::protocol {

namespace video_status {
inline constexpr std::size_t kContrast = 5;
inline constexpr std::size_t kBrightness = 6;
inline constexpr std::size_t kColor = 7;
inline constexpr std::size_t kSharpness = 8;
inline constexpr std::size_t kHSize = 9;
inline constexpr std::size_t kVSize = 10;
inline constexpr std::size_t kHPosition = 11;
inline constexpr std::size_t kVPosition = 12;
inline constexpr std::size_t kClock = 13;
inline constexpr std::size_t kPhase = 14;
inline constexpr std::size_t kInput = 15;  // the VGA input enables the steps
}  // namespace video_status

// Picture controls carry their value twice, in bytes 5 and 7.
inline constexpr std::size_t kPictureEchoByte = 7;
inline constexpr ValueSetting kContrast{{0x08, 0x01}, 0, 100, video_status::kContrast, kPictureEchoByte};
inline constexpr ValueSetting kBrightness{{0x08, 0x02}, 0, 100, video_status::kBrightness, kPictureEchoByte};
inline constexpr ValueSetting kColor{{0x08, 0x03}, 0, 60, video_status::kColor, kPictureEchoByte};
inline constexpr ValueSetting kSharpness{{0x08, 0x04}, 0, 20, video_status::kSharpness, kPictureEchoByte};
inline constexpr ValueSetting kVgaHSize{{0x24, 0x37}, 0, 20, video_status::kHSize};
inline constexpr ValueSetting kVgaVSize{{0x24, 0x39}, 0, 20, video_status::kVSize};

// The VGA steps: acknowledged by an echo, then read back.
inline constexpr StepSetting kHPosition{{0x24, 0x43}, {0x24, 0x44}, video_status::kHPosition};
inline constexpr StepSetting kVPosition{{0x24, 0x45}, {0x24, 0x46}, video_status::kVPosition};
inline constexpr StepSetting kClock{{0x24, 0x47}, {0x24, 0x48}, video_status::kClock};
inline constexpr StepSetting kPhase{{0x24, 0x49}, {0x24, 0x50}, video_status::kPhase};
// Where a switcher keeps the step values.
inline constexpr std::uint8_t kStepValueMax = 100;

inline constexpr std::array<const ValueSetting*, 6> kVideoValues{&kContrast,  &kBrightness, &kColor,
                                                                 &kSharpness, &kVgaHSize,   &kVgaVSize};
inline constexpr std::array<const StepSetting*, 4> kVideoSteps{&kHPosition, &kVPosition, &kClock, &kPhase};

}  // namespace velmora::protocol
