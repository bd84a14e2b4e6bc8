// What the wire's bytes mean in the settings' names, values read from text,
// the network configuration packet byte for byte and its answer, and which
// hardware addresses a unit can take.

#include "protocol/config_packet.h"
#include "protocol/decimal_text.h"
#include "protocol/frame_meaning.h"
#include "protocol/hex_text.h"
#include "protocol/setting_names.h"
#include "protocol_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace velmora::protocol {
namespace {

struct Meaning {
    Direction direction;
    const char* hex;
    const char* text;
};

const Meaning kMeanings[] = {
    {Direction::Sent, "50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22", "query General status"},
    {Direction::Sent, "50 56 54 02 03 04 00 01 00 00 00 00 00 00 00 00 00 04", "set input DP"},
    {Direction::Received, "50 56 54 02 03 00 00 00 00 00 00 00 00 00 00 00 00 FF", "input accepted"},
    {Direction::Received, "50 56 54 27 01 01 04 00 00 0C 01 04 01 00 00 00 00 39",
     "status: General input DP, audio Emb, auto-switch Last Connected Mode, resolution AUTO, aspect-ratio 16:9, "
     "edid EDID AUTO, hdcp Pass Through"},
    {Direction::Sent, "50 56 54 24 07 05 00 03 00 00 00 00 00 00 00 00 00 2D", "set audio Ext 3 for VGA"},
    {Direction::Sent, "50 56 54 17 17 14 00 00 00 00 00 00 00 00 00 00 00 3C", "set volume 20"},
    {Direction::Received, "50 56 54 17 17 14 00 00 00 00 00 00 00 00 00 00 00 3C", "acknowledged: set volume 20"},
    {Direction::Sent, "50 56 54 17 08 F0 00 00 00 00 00 00 00 00 00 00 00 09", "set mute on"},
    {Direction::Sent, "50 56 54 24 33 05 DC 00 00 00 00 00 00 00 00 00 00 32", "set fade-in 1500"},
    {Direction::Sent, "50 56 54 24 34 00 00 00 00 00 00 00 00 00 00 00 00 52", "read fade-in"},
    {Direction::Received, "50 56 54 24 34 05 DC 00 00 00 00 00 00 00 00 00 00 33", "fade-in: 1500"},
    {Direction::Sent, "50 56 54 24 47 F0 00 00 00 00 00 00 00 00 00 00 00 55", "step clock up"},
    {Direction::Sent, "50 56 54 24 55 02 00 00 00 00 00 00 00 00 00 00 00 75", "set osd-timeout 10 seconds"},
    {Direction::Sent, "50 56 54 22 0B 00 00 00 00 00 00 00 00 00 00 00 00 27", "read dhcp"},
    {Direction::Received, "50 56 54 22 0B 0F 00 00 00 00 00 00 00 00 00 00 00 36", "dhcp on"},
    {Direction::Received, "50 56 54 27 04 0A 00 00 05 FF FF FF 00 0A 00 00 01 3C",
     "ip 10.0.0.5, subnet 255.255.255.0, gateway 10.0.0.1"},
    {Direction::Sent, "50 56 54 01 0B 00 00 00 00 00 00 00 00 00 00 00 00 06", "greeting"},
    {Direction::Received, "50 56 54 27 01 01 04 00 00 0C 01 04 01 00 00 00 00 3F", "checksum wrong"},
    {Direction::Sent, "50 56 54 02 03 03 00 01 00 00 00 00 00", "factory reset (13 bytes)"},
    {Direction::Received, "50 56 54 33 44 00 00 00 00 00 00 00 00 00 00 00 00 71", "class 0x33 command 0x44"},
    {Direction::Received, "56 54 27 01", "4 bytes, no frame"},
};

TEST(FrameMeaning, GoldenFrames)
{
    for (const Meaning& m : kMeanings) {
        EXPECT_EQ(DescribeFrame(FromHex(m.hex), m.direction), m.text) << m.hex;
    }
}

struct Parse {
    const char* name;
    const char* text;
    bool taken;
    const char* shown;  // ValueText of what was taken
};

// clang-format off
const Parse kParses[] = {
    {"input", "vga", true, "VGA"}, {"input", "HDMI2", true, "HDMI 2"}, {"input", "hdmi 6", false, ""},
    {"resolution", "1280X720@60", true, "1280x720@60"}, {"osd-timeout", "10 seconds", true, "10 seconds"},
    {"osd-timeout", "11 seconds", false, ""}, {"aspect-ratio", "16:9", true, "16:9"}, {"volume", "32", true, "32"},
    {"volume", "33", false, ""}, {"volume", "+5", false, ""}, {"volume", "", false, ""},
    {"fade-out", "5000", true, "5000"}, {"fade-out", "5001", false, ""}, {"mixer", "Auto", true, "AUTO"},
    {"mute", "off", true, "off"}, {"mute", "true", true, "on"}, {"clock", "100", true, "100"},
    {"clock", "101", false, ""}, {"ip", "192.168.1.7", true, "192.168.1.7"}, {"ip", "192.168.1", false, ""},
    {"ip", "192.168.1.7.", false, ""}, {"mac", "00-1C-91-03-52-7A", true, "00-1c-91-03-52-7a"},
    {"mac", "000000000000", false, ""}, {"mac", "00-1C-91-03-52", false, ""}, {"tcp-port", "65535", true, "65535"},
    {"tcp-port", "65536", false, ""},
};
// clang-format on

TEST(SettingNames, ValuesFromText)
{
    for (const Parse& p : kParses) {
        const NamedSetting* setting = FindSetting(p.name);
        ASSERT_NE(setting, nullptr) << p.name;
        const auto value = ParseValue(*setting, p.text);
        EXPECT_EQ(value.has_value(), p.taken) << p.name << " " << p.text;
        if (value && p.taken) {
            EXPECT_EQ(ValueText(*setting, *value), p.shown) << p.name << " " << p.text;
        }
    }
}

// A value written by its set command reads back the same from the answer the
// switcher repeats, for every writable setting.
TEST(SettingNames, EverySetCommandCarriesItsValue)
{
    for (const NamedSetting& setting : AllSettings()) {
        if (!Writable(setting) || setting.kind == SettingKind::Step) {
            continue;
        }
        const SettingValue value =
            *ParseValue(setting, setting.kind == SettingKind::Mac                               ? "02:00:00:00:00:09"
                                 : setting.kind == SettingKind::Address                         ? "10.9.8.7"
                                 : setting.texts.empty() && setting.kind != SettingKind::Switch ? "1"
                                 : setting.kind == SettingKind::Switch                          ? "on"
                                                                       : std::string(setting.texts.back()));
        CommandFrame frame;
        BuildSet(setting, value, frame, 2);
        EXPECT_TRUE(ChecksumMatches(frame.Bytes())) << setting.name;
        EXPECT_EQ(ReadCommand(setting, frame.Bytes()), value) << setting.name;
        EXPECT_EQ(frame.GetCommand(), setting.set) << setting.name;
    }
}

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
