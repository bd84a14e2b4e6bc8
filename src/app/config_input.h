#pragma once
// What the operator typed into the network configuration dialog, checked
// before anything is sent.

#include "protocol/config_packet.h"

#include <QString>

#include <array>
#include <optional>

namespace velmora::app {

struct ConfigInput {
    bool dhcp = true;
    std::optional<std::array<std::uint8_t, 4>> octets;  // empty when a box is blank
    QString mac;  // new hardware address, empty = keep
};

struct ConfigCheck {
    std::optional<protocol::NetworkConfigRequest> request;
    QString error;  // why there is no request
};

ConfigCheck CheckConfigInput(const protocol::MacAddress& target, const ConfigInput& input);

// "AA:BB:CC:DD:EE:FF", "AA-BB-CC-DD-EE-FF" or "AABBCCDDEEFF", any case.
std::optional<protocol::MacAddress> ParseMacInput(const QString& text);

}  // namespace velmora::app
