#pragma once
// Control ids of the Network page (template 199).

#include <array>

namespace velmora::ctl::network {

inline constexpr int kConfigGroup = 1242;
inline constexpr int kDhcp = 1101;
inline constexpr int kStatus = 1125;

inline constexpr int kIpLabel = 1243;
inline constexpr int kSubnetLabel = 1244;
inline constexpr int kMacLabel = 1245;
inline constexpr int kPortLabel = 1249;

inline constexpr int kIp = 1228;
inline constexpr int kSubnet = 1229;
inline constexpr int kGateway = 1230;
// The six MAC boxes, byte 0 first: two hexadecimal digits each.
inline constexpr std::array<int, 6> kMacBoxes{1042, 1246, 1247, 1248, 1235, 1236};
inline constexpr int kPort = 1237;

// The Set buttons.
inline constexpr int kSetIp = 1174;  // or DHCP on, while the box is checked
inline constexpr int kSetSubnet = 1183;
inline constexpr int kSetGateway = 1199;
inline constexpr int kSetMac = 1238;
inline constexpr int kSetPort = 1239;

inline constexpr int kLogGroup = 1241;
inline constexpr int kLog = 1290;

}  // namespace velmora::ctl::network
