// The hardware and IPv4 address texts: what MacFromText reads MacText writes
// back in upper case; an address written by AddressText reads back the same;
// the Switcher IP reader looks at the first 49 characters only, and never at
// a text holding a character whose low byte is zero.
// Input: four octets, then the text as UTF-16 code units.

#include "check.h"

#include "protocol/address_text.h"

#include <cctype>
#include <string>

using namespace velmora::protocol;

namespace {

bool AllHex(const std::u16string& text)
{
    for (const char16_t ch : text) {
        if (ch > 0x7F || !std::isxdigit(static_cast<int>(ch))) {
            return false;
        }
    }
    return true;
}

std::u16string Utf16(const std::string& text) { return {text.begin(), text.end()}; }

std::string Upper(const std::u16string& text)
{
    std::string out;
    for (const char16_t ch : text) {
        out += static_cast<char>(std::toupper(static_cast<int>(ch)));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kAddressSize) {
        return 0;
    }
    Ipv4Address ip{};
    std::copy(data, data + ip.size(), ip.begin());
    FUZZ_REQUIRE(ReadSwitcherAddress(Utf16(AddressText(ip))) == ip);

    std::u16string text;
    for (std::size_t i = kAddressSize; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }

    const auto mac = MacFromText(text);
    FUZZ_REQUIRE(mac.has_value() == (text.size() == 2 * kMacSize));
    if (mac && AllHex(text)) {
        FUZZ_REQUIRE(MacText(*mac) == Upper(text));
    }

    const auto address = ReadSwitcherAddress(text);
    FUZZ_REQUIRE(address == ReadSwitcherAddress(text.substr(0, kMaxAddressText)));
    for (const char16_t ch : text.substr(0, kMaxAddressText)) {
        FUZZ_REQUIRE(address == std::nullopt || (ch & 0xFF) != 0);  // a zero low byte ends no text early
    }
    if (address) {
        FUZZ_REQUIRE(ReadSwitcherAddress(Utf16(AddressText(*address))) == address);
    }
    return 0;
}
