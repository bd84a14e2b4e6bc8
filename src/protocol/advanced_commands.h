#pragma once
// Advanced page commands and the byte positions of its answers.

#include "protocol/frame.h"

#include <array>

namespace velmora::protocol {

inline constexpr Command kUpgradeScaler{0x07, 0x07};
// Beep: the command sends kOff to switch it on; the status answer reports on as 0.
inline constexpr Command kSetBeep{0x06, 0x01};
inline constexpr std::uint8_t kBeepCommandOn = kOff;
inline constexpr std::uint8_t kBeepCommandOff = kOn;
inline constexpr std::uint8_t kBeepStatusOn = 0x00;
inline constexpr std::uint8_t kBeepStatusOff = kOff;
// Power: kOff is on in both directions.
inline constexpr Command kSetPower{0x08, 0x0B};
inline constexpr std::uint8_t kPowerOn = kOff;
inline constexpr std::uint8_t kPowerOff = kOn;
inline constexpr Command kAdvancedFactoryReset{0x08, 0x0A};
// Lists: byte 5 = list position + 1, 1..6.
inline constexpr Command kSetSerialBaud{0x24, 0x51};
inline constexpr Command kSetSleepTimer{0x24, 0x53};
inline constexpr Command kSetOsdTimeout{0x24, 0x55};
inline constexpr std::uint8_t kAdvancedListMax = 6;
// The switcher's serial speeds, by list value 1..6.
inline constexpr std::array<unsigned, kAdvancedListMax> kSerialBaudRates{4800, 9600, 19200, 38400, 57600, 115200};

inline constexpr std::size_t kAdvancedValueByte = 5;

namespace advanced_status {
inline constexpr std::size_t kBeep = 5;
inline constexpr std::size_t kPower = 6;
inline constexpr std::size_t kSerialBaud = 7;
inline constexpr std::size_t kSleepTimer = 8;
inline constexpr std::size_t kOsdTimeout = 9;
inline constexpr std::size_t kVersionMajor = 11;
inline constexpr std::size_t kVersionMinor = 13;
}  // namespace advanced_status

}  // namespace velmora::protocol
