#pragma once
// Advanced page settings and commands, with the byte positions of the
// advanced status answer.

#include "protocol/baud_rates.h"
#include "protocol/setting.h"

#include <array>

namespace velmora::protocol {

namespace advanced_status {
inline constexpr std::size_t kBeep = 5;
inline constexpr std::size_t kPower = 6;
inline constexpr std::size_t kSerialBaud = 7;
inline constexpr std::size_t kSleepTimer = 8;
inline constexpr std::size_t kOsdTimeout = 9;
inline constexpr std::size_t kVersionMajor = 11;
inline constexpr std::size_t kVersionMinor = 13;
}  // namespace advanced_status

// Switching the beep on sends kOff; the status answer reports it on as 0.
inline constexpr SwitchSetting kBeep{{0x06, 0x01}, kOff, kOn, advanced_status::kBeep, 0x00, kOff};
// Power: kOff is on in both directions.
inline constexpr SwitchSetting kPower{{0x08, 0x0B}, kOff, kOn, advanced_status::kPower, kOff, kOn};

// The lists report the value sent (position + 1).
inline constexpr std::uint8_t kAdvancedListCount = 6;
inline constexpr ListSetting kSerialBaud{{0x24, 0x51}, kAdvancedListCount, advanced_status::kSerialBaud, 1};
inline constexpr ListSetting kSleepTimer{{0x24, 0x53}, kAdvancedListCount, advanced_status::kSleepTimer, 1};
inline constexpr ListSetting kOsdTimeout{{0x24, 0x55}, kAdvancedListCount, advanced_status::kOsdTimeout, 1};
// The serial baud setting's list value 1..6 counts kBaudRates.
static_assert(kBaudRates.size() == kAdvancedListCount);

inline constexpr Command kUpgradeScaler{0x07, 0x07};
inline constexpr Command kAdvancedFactoryReset{0x08, 0x0A};

}  // namespace velmora::protocol
