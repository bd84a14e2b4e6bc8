#pragma once
// A hardware address, and which ones a switcher's network module can take.

#include "protocol/network_commands.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace velmora::protocol {

using MacAddress = std::array<std::uint8_t, kMacSize>;

// The group bit: set in the first byte of a multicast or broadcast address.
inline constexpr std::uint8_t kMacGroupBit = 0x01;

// A unit's own address: not all zero, and not a group address.
constexpr bool AssignableMac(const MacAddress& mac)
{
    const bool allZero = std::all_of(mac.begin(), mac.end(), [](std::uint8_t b) { return b == 0; });
    return !allZero && (mac[0] & kMacGroupBit) == 0;
}

}  // namespace velmora::protocol
