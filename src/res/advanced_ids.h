#pragma once
// Control ids of the Advanced page (template 200).

namespace velmora::ctl::advanced {

inline constexpr int kBeep = 1096;
inline constexpr int kPower = 1203;
inline constexpr int kFactoryReset = 1125;

// The three lists and their labels.
inline constexpr int kSerialBaudLabel = 1282;
inline constexpr int kSerialBaudList = 1279;
inline constexpr int kSleepTimerLabel = 1283;
inline constexpr int kSleepTimerList = 1280;
inline constexpr int kOsdTimeoutLabel = 1284;
inline constexpr int kOsdTimeoutList = 1281;

// The upgrade area.
inline constexpr int kUpgradeScaler = 1091;
inline constexpr int kVersionLabel = 1285;
inline constexpr int kVersionBox = 1042;

}  // namespace velmora::ctl::advanced
