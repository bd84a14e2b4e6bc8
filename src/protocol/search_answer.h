#pragma once
// A switcher's answer to the search probe, read from the datagram's bytes.

#include "protocol/address_text.h"

#include <optional>
#include <span>

namespace velmora::protocol {

struct SearchAnswer {
    MacAddress mac{};
    Ipv4Address ip{};
    friend bool operator==(const SearchAnswer&, const SearchAnswer&) = default;
};

// At least 50 bytes carrying the search port's number as its marker; nothing
// for any other datagram (the panel's own probe included).
std::optional<SearchAnswer> ReadSearchAnswer(std::span<const std::uint8_t> datagram);

}  // namespace velmora::protocol
