#pragma once
// The network module's configuration packet: 76 bytes broadcast to the
// configuration port, addressed to one switcher by its hardware address.

#include "protocol/address_text.h"
#include "protocol/mac_address.h"
#include "protocol/network_commands.h"

#include <array>
#include <cstdint>
#include <span>

namespace velmora::protocol {

using ConfigPacket = std::array<std::uint8_t, config::kPacketSize>;

struct NetworkConfigRequest {
    MacAddress target{};  // the switcher addressed
    bool dhcp = true;
    Ipv4Address ip{};  // static mode only
    MacAddress newMac{};  // all zero: the switcher keeps its own
};

// Static mode: gateway the first three octets and 1, mask 255.255.255.0.
// The last byte makes all 76 sum to 0 modulo 256.
ConfigPacket BuildConfigPacket(const NetworkConfigRequest& request);

// An answer of at least 76 bytes with status byte 0.
bool ConfigAccepted(std::span<const std::uint8_t> answer);

}  // namespace velmora::protocol
