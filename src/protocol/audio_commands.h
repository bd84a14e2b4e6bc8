#pragma once
// Audio page commands and the byte positions of its answers.

#include "protocol/frame.h"

namespace velmora::protocol {

// Mute commands send kOn when muting; the status answer reports muted as kOff.
inline constexpr Command kSetMute{0x17, 0x08};
inline constexpr Command kSetMicMute{0x24, 0x0A};
inline constexpr std::uint8_t kMuteCommandOn = kOn;
inline constexpr std::uint8_t kMuteCommandOff = kOff;
inline constexpr std::uint8_t kMuteStatusOn = kOff;
inline constexpr std::uint8_t kMuteStatusOff = kOn;

inline constexpr Command kSetVolume{0x17, 0x17};     // byte 5 0..32
inline constexpr Command kSetMicVolume{0x24, 0x0D};  // byte 5 0..32
inline constexpr std::uint8_t kVolumeMax = 32;

inline constexpr Command kSetMixerMode{0x24, 0x09};  // byte 5
inline constexpr std::uint8_t kMixerOn = 1;
inline constexpr std::uint8_t kMixerOff = 2;
inline constexpr std::uint8_t kMixerAuto = 3;

inline constexpr Command kSetMixerVolume{0x24, 0x31};  // byte 5 0..volume

// Fade times in milliseconds, big-endian in bytes 5 (high) and 6 (low).
inline constexpr Command kSetFadeIn{0x24, 0x33};
inline constexpr Command kReadFadeIn{0x24, 0x34};
inline constexpr Command kSetFadeOut{0x24, 0x35};
inline constexpr Command kReadFadeOut{0x24, 0x36};
inline constexpr std::size_t kFadeHighByte = 5;
inline constexpr std::size_t kFadeLowByte = 6;

inline constexpr std::size_t kAudioValueByte = 5;

namespace audio_status {
inline constexpr std::size_t kMute = 5;
inline constexpr std::size_t kVolume = 6;
inline constexpr std::size_t kMicMute = 7;
inline constexpr std::size_t kMicVolume = 8;
inline constexpr std::size_t kMixerMode = 9;
inline constexpr std::size_t kMixerVolume = 10;
inline constexpr std::size_t kFadeInHigh = 11;
inline constexpr std::size_t kFadeInLow = 12;
inline constexpr std::size_t kFadeOutHigh = 13;
inline constexpr std::size_t kFadeOutLow = 14;
}  // namespace audio_status

}  // namespace velmora::protocol
