#pragma once
// Hexadecimal text read into bytes, as the network settings are typed.

#include <cstdint>
#include <string_view>

namespace velmora::protocol {

// Reads the text in pairs of hexadecimal digits from the start; each whole
// valid pair is stored into `byte`, so the last one wins. Stops at an odd
// last character or at a pair with a non-digit; `byte` keeps what it had
// when no pair is valid.
void ParseHexByte(std::u16string_view text, std::uint8_t& byte);

}  // namespace velmora::protocol
