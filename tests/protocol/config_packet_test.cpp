// The network configuration packet byte for byte, its answer, the text
// readers of the settings' boxes, and which hardware addresses a unit can take.

#include "protocol_helpers.h"

#include "protocol/config_packet.h"
#include "protocol/decimal_text.h"
#include "protocol/hex_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora::protocol {
namespace {

// The packet's first bytes as hex; all after them are zero but the status byte 0xFF and the checksum.
Bytes Packet(const std::string& head, std::uint8_t checksum)
{
    Bytes packet = FromHex(head);
    packet.resize(config::kPacketSize);
    packet[74] = 0xFF;
    packet[75] = checksum;
    return packet;
}

TEST(ConfigPacket, DhcpAndStaticModeByteForByte)
{
    const MacAddress unit{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};
    // The address is not sent in DHCP mode.
    EXPECT_EQ(Concat(BuildConfigPacket({.target = unit, .dhcp = true, .ip = {10, 0, 0, 33}})),
              Packet("00 1C 91 03 52 7A  00 00 00 00  00 00 00 00  00 00 00 00  01  00 00 00 00 00 00  16", 0x6E));
    // Address, gateway, mask, static, new MAC.
    EXPECT_EQ(Concat(BuildConfigPacket({.target = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x03},
                                        .dhcp = false,
                                        .ip = {192, 168, 7, 42},
                                        .newMac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55}})),
              Packet("02 00 5E 10 00 03  C0 A8 07 2A  C0 A8 07 01  FF FF FF 00  00  02 11 22 33 44 55  17", 0x70));
}

TEST(ConfigPacket, AnswerIsAcceptedOnlyWhenLongEnoughWithStatusZero)
{
    Bytes answer(76, 0);
    EXPECT_TRUE(ConfigAccepted(answer));
    answer[74] = 0xFF;
    EXPECT_FALSE(ConfigAccepted(answer));
    answer[74] = 0;
    answer.resize(75);
    EXPECT_FALSE(ConfigAccepted(answer));
    answer.resize(1024, 0xAA);
    EXPECT_TRUE(ConfigAccepted(answer));
    EXPECT_FALSE(ConfigAccepted({}));
}

TEST(HexText, PairsAreReadFromTheStartAndTheLastWholePairWins)
{
    const struct {
        std::u16string_view text;
        std::optional<std::uint8_t> byte;
    } cases[] = {
        {u"00", 0x00},         {u"7a", 0x7A},         {u"Fe", 0xFE},           {u"1234", 0x34},
        {u"123", 0x12},  // an odd last digit is left
        {u"12G4", 0x12},  // a pair with a non-digit stops
        {u"0aZZ", 0x0A},       {u"", std::nullopt},   {u"A", std::nullopt},    {u"ZZ", std::nullopt},
        {u"g0", std::nullopt}, {u" 1", std::nullopt}, {u"\u0141\u0130", 0xA0},  // characters count by their low byte: 'A', '0'
    };
    for (const auto& [text, byte] : cases) {
        const std::string shown(text.begin(), text.end());
        EXPECT_EQ(ReadHexByte(text), byte) << shown;
        std::uint8_t read = 0x5A;
        ParseHexByte(text, read);
        EXPECT_EQ(read, byte.value_or(0x5A)) << shown << ": nothing valid leaves the byte";
    }
}

// Digits of another script are not decimal digits here.
TEST(DecimalText, ReadsLikeTheOperatorTypedIt)
{
    // clang-format off
    const std::pair<std::u16string_view, int> cases[] = {
        {u"0", 0}, {u"20", 20}, {u"5000", 5000}, {u"007", 7}, {u"1500ms", 1500}, {u"  42", 42}, {u"\t\r\n 9", 9},
        {u"+12", 12}, {u"-1", -1}, {u"  -300x5", -300}, {u"12 34", 12}, {u"", 0}, {u"   ", 0}, {u"ms", 0}, {u"-", 0},
        {u"+-5", 0}, {u"- 5", 0}, {u"x12", 0}, {u"\u0661\u0662", 0}, {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX}, {u"99999999999999999999999", INT_MAX}, {u"-2147483648", INT_MIN},
        {u"-99999999999999999999999", INT_MIN}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadDecimal(text), value) << std::string(text.begin(), text.end());
    }
}

TEST(MacAddress, AUnitTakesNeitherTheZeroNorAGroupAddress)
{
    EXPECT_TRUE(AssignableMac({0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A}));
    EXPECT_TRUE(AssignableMac({0x02, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(AssignableMac({0, 0, 0, 0, 0, 1}));
    EXPECT_FALSE(AssignableMac({0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(AssignableMac({0x01, 0x00, 0x5E, 0x00, 0x00, 0x01})) << "multicast";
    EXPECT_FALSE(AssignableMac({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})) << "broadcast";
}

}  // namespace
}  // namespace velmora::protocol
