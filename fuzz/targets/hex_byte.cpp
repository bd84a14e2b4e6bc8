// ParseHexByte against a plain reading: pairs of hexadecimal digits from the
// start, each character by its low byte; the last whole valid pair wins, an
// odd last character or a pair with a non-digit ends the reading.
// Input: the byte's starting value, then the text as UTF-16 code units.

#include "check.h"

#include "protocol/hex_text.h"

#include <string>

namespace {

int Digit(char16_t ch)
{
    const int c = ch & 0xFF;
    const char* const digits = "0123456789ABCDEF";
    for (int v = 0; v < 16; ++v) {
        if (c == digits[v] || (v >= 10 && c == digits[v] + ('a' - 'A'))) {
            return v;
        }
    }
    return -1;
}

std::uint8_t Plain(const std::u16string& text, std::uint8_t byte)
{
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        if (Digit(text[i]) < 0 || Digit(text[i + 1]) < 0) {
            break;
        }
        byte = static_cast<std::uint8_t>(Digit(text[i]) * 16 + Digit(text[i + 1]));
    }
    return byte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const std::uint8_t start = data[0];
    std::u16string text;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    std::uint8_t byte = start;
    velmora::protocol::ParseHexByte(text, byte);
    FUZZ_REQUIRE(byte == Plain(text, start));
    return 0;
}
