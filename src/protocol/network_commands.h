#pragma once
// Network page commands and the byte positions of its answers.

#include "protocol/setting.h"

namespace velmora::protocol {

// DHCP state: kOff = on, kOn = off, in both directions. The state is read
// with kReadDhcp, whose answer carries it in byte 5.
inline constexpr Command kReadDhcp{0x22, 0x0B};  // same bytes as kNetworkStatus
inline constexpr std::size_t kDhcpByte = kValueByte;
inline constexpr SwitchSetting kDhcp{{0x22, 0x0A}, kOff, kOn, kDhcpByte, kOff, kOn};

inline constexpr Command kReadAddresses{0x27, 0x04};
namespace addresses_reply {
inline constexpr std::size_t kIp = 5;  // four bytes, first field first
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

inline constexpr std::size_t kAddressByte = 5;  // first of the four address bytes
inline constexpr std::size_t kAddressSize = 4;
inline constexpr std::size_t kMacByte = 5;  // first of the six MAC bytes
inline constexpr std::size_t kMacSize = 6;
inline constexpr std::size_t kPortHighByte = 5;
inline constexpr std::size_t kPortLowByte = 6;
// The ports the module's TCP control can be moved to.
inline constexpr int kTcpPortMin = 1;
inline constexpr int kTcpPortMax = 0xFFFF;

// The switcher's network module: its control port and the two datagram
// exchanges that find and configure it.
inline constexpr std::uint16_t kSwitcherTcpPort = 8000;

namespace search {
inline constexpr std::uint16_t kPort = 30600;  // probe and answers
inline constexpr std::uint8_t kProbe = 0x61;  // the one-byte probe
inline constexpr std::size_t kAnswerMinSize = 50;
inline constexpr std::size_t kMac = 0;  // six bytes
inline constexpr std::size_t kIp = 6;  // four bytes, most significant first
inline constexpr std::size_t kMarkerHigh = 18;
inline constexpr std::size_t kMarkerLow = 19;
inline constexpr std::uint8_t kMarkerHighValue = 0x77;  // together the search port
inline constexpr std::uint8_t kMarkerLowValue = 0x88;
}  // namespace search

namespace config {
inline constexpr std::uint16_t kPort = 30601;
inline constexpr std::size_t kPacketSize = 76;  // all bytes sum to 0 modulo 256
inline constexpr std::size_t kTargetMac = 0;  // six bytes: the switcher addressed
inline constexpr std::size_t kIp = 6;  // four bytes, static mode
inline constexpr std::size_t kGateway = 10;  // four bytes: first three octets of the IP, then 1
inline constexpr std::uint8_t kGatewayLastOctet = 1;
inline constexpr std::size_t kSubnet = 14;  // four bytes: 255 255 255 0
inline constexpr std::size_t kDhcp = 18;  // 1 DHCP, 0 static
inline constexpr std::uint8_t kDhcpMode = 1;
inline constexpr std::uint8_t kStaticMode = 0;
inline constexpr std::size_t kNewMac = 19;  // six bytes, all 0 = keep
inline constexpr std::size_t kMode = 25;
inline constexpr std::uint8_t kModeDhcp = 0x16;
inline constexpr std::uint8_t kModeStatic = 0x17;
inline constexpr std::size_t kStatus = 74;  // 0xFF in the request, 0 in an accepting answer
inline constexpr std::uint8_t kStatusRequest = 0xFF;
inline constexpr std::uint8_t kStatusAccepted = 0x00;
inline constexpr std::size_t kCheck = 75;  // two's complement of the sum of bytes 0..74
}  // namespace config

}  // namespace velmora::protocol
