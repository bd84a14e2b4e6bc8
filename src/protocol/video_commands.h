#pragma once
// Video page commands and the byte positions of its answers.

#include "protocol/frame.h"

namespace velmora::protocol {

// Picture controls: byte 5 and byte 7 both carry the value.
inline constexpr Command kSetContrast{0x08, 0x01};    // 0..100
inline constexpr Command kSetBrightness{0x08, 0x02};  // 0..100
inline constexpr Command kSetColor{0x08, 0x03};       // 0..60
inline constexpr Command kSetSharpness{0x08, 0x04};   // 0..20
inline constexpr std::uint8_t kContrastMax = 100;
inline constexpr std::uint8_t kBrightnessMax = 100;
inline constexpr std::uint8_t kColorMax = 60;
inline constexpr std::uint8_t kSharpnessMax = 20;

// VGA picture size: byte 5 0..20.
inline constexpr Command kSetVgaHSize{0x24, 0x37};
inline constexpr Command kSetVgaVSize{0x24, 0x39};
inline constexpr std::uint8_t kVgaSizeMax = 20;

// VGA steps: byte 5 kOn steps up, kOff steps down; acknowledged by an echo,
// then read back with the matching read request (value in byte 5).
inline constexpr Command kStepHPosition{0x24, 0x43};
inline constexpr Command kReadHPosition{0x24, 0x44};
inline constexpr Command kStepVPosition{0x24, 0x45};
inline constexpr Command kReadVPosition{0x24, 0x46};
inline constexpr Command kStepClock{0x24, 0x47};
inline constexpr Command kReadClock{0x24, 0x48};
inline constexpr Command kStepPhase{0x24, 0x49};
inline constexpr Command kReadPhase{0x24, 0x50};
inline constexpr std::uint8_t kStepUp = kOn;
inline constexpr std::uint8_t kStepDown = kOff;

inline constexpr std::size_t kVideoValueByte = 5;   // value in set commands and read answers
inline constexpr std::size_t kVideoEchoByte = 7;    // picture controls repeat the value here

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
inline constexpr std::size_t kInput = 15;  // 5 = VGA enables the step controls
}  // namespace video_status

}  // namespace velmora::protocol
