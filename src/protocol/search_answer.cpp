#include "protocol/search_answer.h"

#include <algorithm>

namespace velmora::protocol {

namespace s = search;

std::optional<SearchAnswer> ReadSearchAnswer(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < s::kAnswerMinSize || datagram[s::kMarkerHigh] != s::kMarkerHighValue ||
        datagram[s::kMarkerLow] != s::kMarkerLowValue) {
        return std::nullopt;
    }
    SearchAnswer answer;
    std::copy_n(datagram.begin() + s::kMac, answer.mac.size(), answer.mac.begin());
    std::copy_n(datagram.begin() + s::kIp, answer.ip.size(), answer.ip.begin());
    return answer;
}

}  // namespace velmora::protocol
