#include "transport/port_names.h"

#include <algorithm>

namespace velmora::transport {

std::uint8_t PortNumberFromDigits(std::string_view digits)
{
    if (digits.empty() || digits.size() > 3) {
        return 0;
    }
    unsigned value = 0;
    for (char c : digits) {
        value = value * 10 + (c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0') : 0u);
    }
    return static_cast<std::uint8_t>(value & 0xFFu);
}

std::uint8_t PortNumberFromText(std::string_view text)
{
    return PortNumberFromDigits(text.substr(std::min<std::size_t>(3, text.size())));
}

std::uint8_t PortNumberFromFriendlyName(std::string_view friendlyName)
{
    std::string_view rest = friendlyName;
    const std::size_t open = rest.find("(COM");
    if (open != std::string_view::npos) {
        rest.remove_prefix(open + 4);
    } else {
        rest.remove_prefix(std::min<std::size_t>(3, rest.size()));
    }
    const std::size_t close = rest.find(')');
    rest = close == std::string_view::npos ? std::string_view() : rest.substr(0, close);
    return PortNumberFromDigits(rest);
}

}  // namespace velmora::transport
