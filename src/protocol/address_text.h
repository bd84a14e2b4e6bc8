#pragma once
// A switcher's hardware and IPv4 addresses, and their texts: as the Switcher
// IP list shows and reads them, and as an entry keeps its hardware address.

#include "protocol/mac_address.h"
#include "protocol/network_commands.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::protocol {

using Ipv4Address = std::array<std::uint8_t, kAddressSize>;

// At most this many characters of the Switcher IP text are read.
inline constexpr std::size_t kMaxAddressText = 49;

// "%02X" of each byte, no separators.
std::string MacText(std::span<const std::uint8_t> mac);
// Twelve characters, two hexadecimal digits a byte (a pair that is no
// number leaves its byte 0); nothing for any other length.
std::optional<MacAddress> MacFromText(std::u16string_view text);

// The octets as decimal numbers joined by ".".
std::string AddressText(const Ipv4Address& address);
// The Switcher IP text as the standard dotted-decimal parser reads it: the
// low byte of each of the first 49 characters; a text holding a zero
// character is no address.
std::optional<Ipv4Address> ReadSwitcherAddress(std::u16string_view text);

}  // namespace velmora::protocol
