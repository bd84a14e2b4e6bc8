#include "protocol/hex_text.h"

namespace velmora::protocol {

namespace {

int DigitValue(char16_t ch)
{
    const auto c = static_cast<unsigned char>(ch & 0xFF);  // each character by its low 8 bits
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::uint8_t> ReadHexByte(std::u16string_view text)
{
    std::optional<std::uint8_t> byte;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = DigitValue(text[i]);
        const int low = DigitValue(text[i + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        byte = static_cast<std::uint8_t>(high * 16 + low);
    }
    return byte;
}

void ParseHexByte(std::u16string_view text, std::uint8_t& byte)
{
    if (const auto read = ReadHexByte(text)) {
        byte = *read;
    }
}

}  // namespace velmora::protocol
