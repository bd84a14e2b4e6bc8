// Frames read in the settings' names, and setting values read from text:
// golden vectors taken from the wire.

#include "protocol_helpers.h"

#include "protocol/frame_meaning.h"
#include "protocol/setting_names.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora::protocol
