#pragma once
// Network page commands and the byte positions of its answers.

#include "protocol/frame.h"

namespace velmora::protocol {

// DHCP state: kOff = on, kOn = off, in both directions.
inline constexpr Command kReadDhcp{0x22, 0x0B};  // same bytes as kNetworkStatus
inline constexpr Command kSetDhcp{0x22, 0x0A};
inline constexpr std::uint8_t kDhcpOn = kOff;
inline constexpr std::uint8_t kDhcpOff = kOn;
inline constexpr std::size_t kDhcpByte = 5;

inline constexpr Command kReadAddresses{0x27, 0x04};
namespace addresses_reply {
inline constexpr std::size_t kIp = 5;       // four bytes, first field first
inline constexpr std::size_t kSubnet = 9;
inline constexpr std::size_t kGateway = 13;
}  // namespace addresses_reply

inline constexpr Command kReadMac{0x22, 0x14};
inline constexpr Command kReadPort{0x22, 0x78};
inline constexpr Command kSetIp{0x22, 0x0E};
inline constexpr Command kSetSubnet{0x22, 0x71};
inline constexpr Command kSetGateway{0x22, 0x0C};
inline constexpr Command kSetMac{0x22, 0x13};
inline constexpr Command kSetPort{0x22, 0x77};

inline constexpr std::size_t kAddressByte = 5;    // first of the four address bytes
inline constexpr std::size_t kAddressSize = 4;
inline constexpr std::size_t kMacByte = 5;        // first of the six MAC bytes
inline constexpr std::size_t kMacSize = 6;
inline constexpr std::size_t kPortHighByte = 5;
inline constexpr std::size_t kPortLowByte = 6;

}  // namespace velmora::protocol
