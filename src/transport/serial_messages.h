#pragma once
// The messages the serial port sends its owner window (wParam, lParam as
// noted). The main window's own message numbers start above these.

#include <cstdint>

namespace velmora::msg {

inline constexpr std::uint32_t kSerialBreak = 0x401;
inline constexpr std::uint32_t kSerialCts = 0x402;
inline constexpr std::uint32_t kSerialLineError = 0x404;
inline constexpr std::uint32_t kSerialRing = 0x405;
inline constexpr std::uint32_t kSerialByte = 0x407;  // wParam byte, lParam port number
inline constexpr std::uint32_t kSerialEventChar = 0x408;
inline constexpr std::uint32_t kSerialFailed = 0x40B;  // wParam 1
inline constexpr std::uint32_t kLastSerialMessage = kSerialFailed;

inline constexpr std::uintptr_t kSerialFailedPort = 1;  // wParam of kSerialFailed

}  // namespace velmora::msg
