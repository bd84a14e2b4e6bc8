// The network configuration packet byte for byte, its answer, the
// hexadecimal text reader the network settings use, and which hardware
// addresses a unit can take.

#include "protocol/config_packet.h"
#include "protocol/hex_text.h"

#include <gtest/gtest.h>

#include <numeric>

namespace velmora::protocol {
namespace {

unsigned Sum(const ConfigPacket& packet) { return std::accumulate(packet.begin(), packet.end(), 0u) & 0xFFu; }

TEST(ConfigPacket, DhcpModeAddressesTheSwitcherAndKeepsItsMac)
{
    NetworkConfigRequest request;
    request.target = {0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};
    request.dhcp = true;
    request.ip = {10, 0, 0, 33};  // not sent in DHCP mode
    const ConfigPacket packet = BuildConfigPacket(request);

    ConfigPacket expected{};
    const std::uint8_t head[] = {0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};
    std::copy(std::begin(head), std::end(head), expected.begin());
    expected[18] = 0x01;
    expected[25] = 0x16;
    expected[74] = 0xFF;
    // 0x00+0x1C+0x91+0x03+0x52+0x7A + 0x01 + 0x16 + 0xFF = 0x292; 0x100 - 0x92 = 0x6E
    expected[75] = 0x6E;
    EXPECT_EQ(packet, expected);
    EXPECT_EQ(Sum(packet), 0u);
}

TEST(ConfigPacket, StaticModeCarriesAddressGatewayMaskAndNewMac)
{
    NetworkConfigRequest request;
    request.target = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x03};
    request.dhcp = false;
    request.ip = {192, 168, 7, 42};
    request.newMac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    const ConfigPacket packet = BuildConfigPacket(request);

    const std::uint8_t head[26] = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x03,  // target
                                   192,  168,  7,    42,  // address
                                   192,  168,  7,    1,  // gateway
                                   0xFF, 0xFF, 0xFF, 0x00,  // mask
                                   0x00,  // static
                                   0x02, 0x11, 0x22, 0x33, 0x44, 0x55,  // new MAC
                                   0x17};
    for (std::size_t i = 0; i < sizeof head; ++i) {
        EXPECT_EQ(packet[i], head[i]) << "byte " << i;
    }
    for (std::size_t i = sizeof head; i < 74; ++i) {
        EXPECT_EQ(packet[i], 0) << "byte " << i;
    }
    EXPECT_EQ(packet[74], 0xFF);
    EXPECT_EQ(Sum(packet), 0u);
}

TEST(ConfigPacket, ChecksumOfTheFixedBytesAlone)
{
    // Only the status byte 0xFF and the DHCP markers are set.
    NetworkConfigRequest request;
    request.dhcp = true;
    const ConfigPacket packet = BuildConfigPacket(request);
    EXPECT_EQ(packet[75], static_cast<std::uint8_t>(0x100 - ((1 + 0x16 + 0xFF) & 0xFF)));
}

TEST(ConfigPacket, AnswerIsAcceptedOnlyWhenLongEnoughWithStatusZero)
{
    std::vector<std::uint8_t> answer(76, 0);
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

std::uint8_t Parse(std::u16string_view text, std::uint8_t start = 0x5A)
{
    std::uint8_t byte = start;
    ParseHexByte(text, byte);
    return byte;
}

TEST(HexText, PairsAreReadFromTheStartAndTheLastWholePairWins)
{
    EXPECT_EQ(Parse(u"00"), 0x00);
    EXPECT_EQ(Parse(u"7a"), 0x7A);
    EXPECT_EQ(Parse(u"Fe"), 0xFE);
    EXPECT_EQ(Parse(u"1234"), 0x34);
    EXPECT_EQ(Parse(u"123"), 0x12) << "an odd last digit is left";
    EXPECT_EQ(Parse(u"12G4"), 0x12) << "a pair with a non-digit stops";
}

TEST(HexText, NothingValidLeavesTheByte)
{
    EXPECT_EQ(Parse(u""), 0x5A);
    EXPECT_EQ(Parse(u"A"), 0x5A);
    EXPECT_EQ(Parse(u"ZZ"), 0x5A);
    EXPECT_EQ(Parse(u" 1"), 0x5A);
}

TEST(HexText, CharactersCountByTheirLowByte)
{
    // U+0141 has low byte 0x41 ('A'), U+0130 has 0x30 ('0').
    EXPECT_EQ(Parse(u"\u0141\u0130"), 0xA0);
}

TEST(HexText, ReadingTellsWhetherAnyPairWasValid)
{
    const struct {
        std::u16string_view text;
        std::optional<std::uint8_t> byte;
    } cases[] = {
        {u"0A", 0x0A},       {u"0a", 0x0A},        {u"0a1", 0x0A},        {u"0a1b", 0x1B},        {u"0aZZ", 0x0A},
        {u"", std::nullopt}, {u"a", std::nullopt}, {u"g0", std::nullopt}, {u" 0a", std::nullopt},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(ReadHexByte(k.text), k.byte) << std::string(k.text.begin(), k.text.end());
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
