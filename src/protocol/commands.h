#pragma once
// Commands that the main window builds itself: input, audio source, the
// General page's lists, every page's status query, the TCP greeting and the
// factory reset. The pages' own commands live beside this file, one header each.

#include "protocol/setting.h"

#include <array>

namespace velmora::protocol {

// General page and main window.
inline constexpr Command kSelectInput{0x02, 0x03};  // byte 5 input 1..5, byte 7 = 1
inline constexpr Command kSetAudioSource{0x24, 0x07};  // byte 5 input, byte 7 source 0..5
inline constexpr Command kQueryAudioSource{0x24, 0x08};  // byte 5 input
inline constexpr Command kInputChangeDone{0x24, 0x12};  // closes the input-change exchange
inline constexpr Command kTcpGreeting{0x01, 0x0B};

// Status queries, one per page.
inline constexpr Command kGeneralStatus{0x27, 0x01};
inline constexpr Command kVideoStatus{0x27, 0x02};
inline constexpr Command kAudioStatus{0x27, 0x03};
inline constexpr Command kNetworkStatus{0x22, 0x0B};
inline constexpr Command kAdvancedStatus{0x27, 0x05};

// The factory reset shares the input command's class and command bytes and
// goes out as the first 13 bytes of the buffer, without a checksum.
inline constexpr Command kFactoryReset = kSelectInput;
inline constexpr std::uint8_t kFactoryResetByte5 = 0x03;
inline constexpr std::uint8_t kFactoryResetByte7 = 0x01;

// Fixed parameter values.
inline constexpr std::uint8_t kSelectInputByte7 = 0x01;
inline constexpr std::uint8_t kInputAccepted = 0x00;  // byte 5 of the input answer

// Inputs as the frames number them.
inline constexpr std::uint8_t kInputHdmi1 = 1;
inline constexpr std::uint8_t kInputHdmi2 = 2;
inline constexpr std::uint8_t kInputHdmi3 = 3;
inline constexpr std::uint8_t kInputDp = 4;
inline constexpr std::uint8_t kInputVga = 5;
inline constexpr std::uint8_t kInputCount = 5;

// Byte positions of the General status answer (0-based list positions).
namespace general_status {
inline constexpr std::size_t kAutoSwitch = 5;
inline constexpr std::size_t kInput = 6;
inline constexpr std::size_t kAudio = 7;
inline constexpr std::size_t kResolution = 9;
inline constexpr std::size_t kAspectRatio = 10;
inline constexpr std::size_t kEdid = 11;
inline constexpr std::size_t kHdcp = 12;
}  // namespace general_status

// The General page's lists. The status answer reports the list position.
inline constexpr ListSetting kAutoSwitch{{0x24, 0x01}, 4, general_status::kAutoSwitch, 0};
inline constexpr ListSetting kResolution{{0x0A, 0x06}, 13, general_status::kResolution, 0};
inline constexpr ListSetting kAspectRatio{{0x24, 0x11}, 3, general_status::kAspectRatio, 0};
inline constexpr ListSetting kEdid{{0x03, 0x02}, 5, general_status::kEdid, 0, kOn};
inline constexpr ListSetting kHdcp{{0x27, 0xA1}, 2, general_status::kHdcp, 0};
inline constexpr std::array<const ListSetting*, 5> kGeneralLists{&kAutoSwitch, &kResolution, &kAspectRatio, &kEdid,
                                                                 &kHdcp};

inline constexpr std::size_t kInputByte = kValueByte;  // input in the input and audio commands
inline constexpr std::size_t kAudioSourceByte = kThirdValueByte;  // source in the audio commands and answers
inline constexpr std::size_t kSelectInputFlagByte = kThirdValueByte;

// The factory reset in the shared buffer's first 13 bytes; the simulated
// switcher recognises it by this builder too.
inline void BuildFactoryReset(CommandFrame& frame)
{
    frame.BeginShort(kFactoryReset);
    frame.Set(kInputByte, kFactoryResetByte5);
    frame.Set(kSelectInputFlagByte, kFactoryResetByte7);
}

}  // namespace velmora::protocol
