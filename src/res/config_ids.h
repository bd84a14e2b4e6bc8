#pragma once
// Control ids of the network configuration dialog (template 201).

namespace velmora::ctl::config {

inline constexpr int kTargetLabel = 1300;
inline constexpr int kTarget = 1301;  // address and hardware address of the switcher addressed
inline constexpr int kDhcp = 1302;
inline constexpr int kStatic = 1303;
inline constexpr int kIpLabel = 1304;
inline constexpr int kIp = 1305;  // the new address, static mode
inline constexpr int kMacLabel = 1306;
inline constexpr int kMac = 1307;  // the new hardware address, empty = keep
inline constexpr int kMacHint = 1308;
inline constexpr int kSend = 1309;
inline constexpr int kCancel = 1310;

}  // namespace velmora::ctl::config
