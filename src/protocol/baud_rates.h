#pragma once
// The serial speeds the switcher talks at, slowest first: the panel's Baud
// list, the Advanced page's serial baud setting (list value = position + 1)
// and the simulated switcher all count them in this order.

#include <array>
#include <cstddef>

namespace velmora::protocol {

inline constexpr std::array<unsigned, 6> kBaudRates{4800, 9600, 19200, 38400, 57600, 115200};
// 115200: the speed the panel starts with.
inline constexpr std::size_t kDefaultBaudIndex = 5;

}  // namespace velmora::protocol
