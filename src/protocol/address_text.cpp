#include "protocol/address_text.h"

#include "protocol/hex_text.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace velmora::protocol {

std::string MacText(std::span<const std::uint8_t> mac)
{
    std::string text;
    for (const std::uint8_t byte : mac) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

std::optional<MacAddress> MacFromText(std::u16string_view text)
{
    MacAddress mac{};
    if (text.size() != 2 * mac.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < mac.size(); ++i) {
        ParseHexByte(text.substr(2 * i, 2), mac[i]);
    }
    return mac;
}

std::string AddressText(const Ipv4Address& address)
{
    std::string text;
    for (const std::uint8_t octet : address) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(octet);
    }
    return text;
}

std::optional<Ipv4Address> ReadSwitcherAddress(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t ch : text.substr(0, kMaxAddressText)) {
        bytes += static_cast<char>(ch & 0xFF);
    }
    in_addr address{};
    if (bytes.find('\0') != std::string::npos || ::inet_aton(bytes.c_str(), &address) == 0) {
        return std::nullopt;
    }
    Ipv4Address octets{};
    std::memcpy(octets.data(), &address.s_addr, octets.size());  // network order: first octet first
    return octets;
}

}  // namespace velmora::protocol
