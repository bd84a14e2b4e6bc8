#include "protocol/decimal_text.h"

#include <limits>

namespace velmora::protocol {

namespace {

bool IsBlank(char16_t ch) { return ch == u' ' || (ch >= u'\t' && ch <= u'\r'); }

bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }

}  // namespace

int ReadDecimal(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    // Accumulated as a magnitude, held at one past int's largest value so
    // that the negative end is reachable and nothing overflows.
    constexpr long long kCap = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long magnitude = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        magnitude = magnitude * 10 + (text[at] - u'0');
        if (magnitude > kCap) {
            magnitude = kCap;
        }
    }
    if (negative) {
        return static_cast<int>(-magnitude);
    }
    return static_cast<int>(magnitude < kCap ? magnitude : kCap - 1);
}

}  // namespace velmora::protocol
