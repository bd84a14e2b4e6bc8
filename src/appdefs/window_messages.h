#pragma once
// Window message numbers of the main window beyond the serial port's own
// (transport/serial_messages.h): the pages' send requests, the sockets'
// events and the system commands.

#include <cstdint>

namespace velmora::msg {

inline constexpr std::uint32_t kSendRequest = 0x40C;  // wParam page code
inline constexpr std::uint32_t kSearchSocket = 0x40D;
inline constexpr std::uint32_t kControlSocket = 0x40E;
inline constexpr std::uint32_t kConfigSocket = 0x40F;

// System commands.
inline constexpr std::uint32_t kSysCommand = 0x0112;
inline constexpr std::uintptr_t kScAbout = 0x0010;
inline constexpr std::uintptr_t kScMove = 0xF010;
inline constexpr std::uintptr_t kScDragMove = 0xF012;
inline constexpr std::uintptr_t kScMinimize = 0xF020;

}  // namespace velmora::msg
