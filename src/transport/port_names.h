#pragma once
// Serial port numbers read from the texts that name a port.

#include <cstdint>
#include <string_view>

namespace velmora::transport {

// The port number of a list entry's text: "COM10" gives 10. The first three
// characters are dropped and the rest read by PortNumberFromDigits.
std::uint8_t PortNumberFromText(std::string_view text);
// Up to three characters read as decimal digits, most significant first, a
// character that is not a digit counting as 0, the value kept in 8 bits;
// empty or four and more characters give 0.
std::uint8_t PortNumberFromDigits(std::string_view digits);
// The port number in a friendly name: the digits after "(COM" up to the next
// ")" ("USB Serial (COM12)" gives 12); without "(COM" the first three
// characters are dropped instead; without a ")" after it the number is 0.
std::uint8_t PortNumberFromFriendlyName(std::string_view friendlyName);

}  // namespace velmora::transport
