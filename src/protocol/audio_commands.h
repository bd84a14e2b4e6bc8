#pragma once
// Audio page settings: volumes and mutes, the microphone mixer and its fade
// times, with the byte positions of the audio status answer.

#include "protocol/setting.h"

namespace velmora::protocol {

namespace audio_status {
inline constexpr std::size_t kMute = 5;
inline constexpr std::size_t kVolume = 6;
inline constexpr std::size_t kMicMute = 7;
inline constexpr std::size_t kMicVolume = 8;
inline constexpr std::size_t kMixerMode = 9;
inline constexpr std::size_t kMixerVolume = 10;
inline constexpr std::size_t kFadeIn = 11;  // high byte, low byte at 12
inline constexpr std::size_t kFadeOut = 13;  // high byte, low byte at 14
}  // namespace audio_status

// Muting sends kOn; the status answer reports muted as kOff.
inline constexpr SwitchSetting kMute{{0x17, 0x08}, kOn, kOff, audio_status::kMute, kOff, kOn};
inline constexpr SwitchSetting kMicMute{{0x24, 0x0A}, kOn, kOff, audio_status::kMicMute, kOff, kOn};

inline constexpr ValueSetting kVolume{{0x17, 0x17}, 0, 32, audio_status::kVolume};
inline constexpr ValueSetting kMicVolume{{0x24, 0x0D}, 0, 32, audio_status::kMicVolume};

// Mixer modes, the same values both ways.
inline constexpr std::uint8_t kMixerOn = 1;
inline constexpr std::uint8_t kMixerOff = 2;
inline constexpr std::uint8_t kMixerAuto = 3;
inline constexpr ValueSetting kMixerMode{{0x24, 0x09}, kMixerOn, kMixerAuto, audio_status::kMixerMode};
// The mixer's audio volume may not exceed the audio volume.
inline constexpr ValueSetting kMixerVolume{{0x24, 0x31}, 0, 32, audio_status::kMixerVolume};

// Fade times in milliseconds.
inline constexpr WordSetting kFadeIn{{0x24, 0x33}, {0x24, 0x34}, 5000, audio_status::kFadeIn};
inline constexpr WordSetting kFadeOut{{0x24, 0x35}, {0x24, 0x36}, 5000, audio_status::kFadeOut};

}  // namespace velmora::protocol
