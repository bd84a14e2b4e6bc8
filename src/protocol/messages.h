#pragma once
// Window message numbers of the main window. The serial worker, the socket
// layer and the pages reach the main window only through these.

#include <cstdint>

namespace velmora::msg {

inline constexpr std::uint32_t kSerialBreak = 0x401;
inline constexpr std::uint32_t kSerialCts = 0x402;
inline constexpr std::uint32_t kSerialLineError = 0x404;
inline constexpr std::uint32_t kSerialRing = 0x405;
inline constexpr std::uint32_t kSerialByte = 0x407;       // wParam byte, lParam port number
inline constexpr std::uint32_t kSerialEventChar = 0x408;
inline constexpr std::uint32_t kSerialFailed = 0x40B;     // wParam 1
inline constexpr std::uint32_t kSendRequest = 0x40C;      // wParam page code
inline constexpr std::uint32_t kSearchSocket = 0x40D;
inline constexpr std::uint32_t kControlSocket = 0x40E;
inline constexpr std::uint32_t kConfigSocket = 0x40F;

inline constexpr std::uintptr_t kSerialFailedPort = 1;  // wParam of kSerialFailed

// Socket events in the low word of lParam.
inline constexpr std::uint16_t kSocketRead = 0x01;
inline constexpr std::uint16_t kSocketWrite = 0x02;
inline constexpr std::uint16_t kSocketAccept = 0x08;
inline constexpr std::uint16_t kSocketConnect = 0x10;
inline constexpr std::uint16_t kSocketClose = 0x20;

// System commands.
inline constexpr std::uint32_t kSysCommand = 0x0112;
inline constexpr std::uintptr_t kScAbout = 0x0010;
inline constexpr std::uintptr_t kScMove = 0xF010;
inline constexpr std::uintptr_t kScDragMove = 0xF012;
inline constexpr std::uintptr_t kScMinimize = 0xF020;

}  // namespace velmora::msg
