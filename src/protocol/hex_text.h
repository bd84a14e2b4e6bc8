#pragma once
// Hexadecimal text read into bytes, as the network settings are typed.

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::protocol {

// Reads the text in pairs of hexadecimal digits from the start; each whole
// valid pair is stored into `byte`, so the last one wins. Stops at an odd
// last character or at a pair with a non-digit; `byte` keeps what it had
// when no pair is valid.
void ParseHexByte(std::u16string_view text, std::uint8_t& byte);

// The byte ParseHexByte reads, or nothing when the text has no valid pair.
std::optional<std::uint8_t> ReadHexByte(std::u16string_view text);

}  // namespace velmora::protocol
