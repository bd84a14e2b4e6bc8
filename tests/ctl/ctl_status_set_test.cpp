// velmoractl reads and writes every setting of the simulated switcher, over
// its pseudo-terminal and over TCP.

#include "ctl_fixture.h"

#include "protocol/list_texts.h"
#include "protocol/setting_names.h"

#include <QJsonArray>

namespace velmora::test {
namespace {

namespace t = protocol::list_texts;

QString Text(std::string_view listText) { return QString::fromStdString(protocol::Trimmed(listText)); }

template <std::size_t N>
QString Dotted(const std::array<std::uint8_t, N>& bytes)
{
    QStringList parts;
    for (const std::uint8_t b : bytes) {
        parts << QString::number(b);
    }
    return parts.join('.');
}

// What `status all --json` must print for a switcher in this state.
QJsonObject Expected(const sim::DeviceState& s)
{
    QJsonObject general{
        {"input", Text(t::kInputs[s.input - 1])},
        {"audio", Text(t::kAudio[s.audioSource[s.input - 1]])},
        {"auto-switch", Text(t::kAutoSwitch[s.autoSwitch - 1])},
        {"resolution", Text(t::kResolution[s.resolution - 1])},
        {"aspect-ratio", Text(t::kAspectRatio[s.aspectRatio - 1])},
        {"edid", Text(t::kEdid[s.edid - 1])},
        {"hdcp", Text(t::kHdcp[s.hdcp - 1])},
    };
    QJsonObject video{
        {"contrast", s.contrast},    {"brightness", s.brightness}, {"color", s.color},
        {"sharpness", s.sharpness},  {"h-size", s.vgaHSize},       {"v-size", s.vgaVSize},
        {"h-position", s.hPosition}, {"v-position", s.vPosition},  {"clock", s.clock},
        {"phase", s.phase},
    };
    QJsonObject audio{
        {"mute", s.mute},
        {"volume", s.volume},
        {"mic-mute", s.micMute},
        {"mic-volume", s.micVolume},
        {"mixer", Text(t::kMixer[s.mixerMode - 1])},
        {"mixer-volume", s.mixerVolume},
        {"fade-in", s.fadeInMs},
        {"fade-out", s.fadeOutMs},
    };
    const auto& m = s.mac;
    QJsonObject network{
        {"dhcp", s.dhcp},
        {"ip", Dotted(s.ip)},
        {"subnet", Dotted(s.subnet)},
        {"gateway", Dotted(s.gateway)},
        {"mac", QString::asprintf("%02x-%02x-%02x-%02x-%02x-%02x", m[0], m[1], m[2], m[3], m[4], m[5])},
        {"tcp-port", s.tcpPort},
    };
    QJsonObject advanced{
        {"beep", s.beep},
        {"power", s.power},
        {"serial-baud", Text(t::kSerialBaud[s.serialBaud - 1])},
        {"sleep-timer", Text(t::kSleepTimer[s.sleepTimer - 1])},
        {"osd-timeout", Text(t::kOsdTimeout[s.osdTimeout - 1])},
        {"hardware-version", QStringLiteral("%1.%2").arg(s.versionMajor).arg(s.versionMinor)},
    };
    return {{"general", general}, {"video", video}, {"audio", audio}, {"network", network}, {"advanced", advanced}};
}

// A switcher far from its factory settings, so that no value reads right by chance.
void Unusual(sim::DeviceState& s)
{
    s.input = 4;
    s.audioSource = {0, 2, 0, 5, 3};
    s.autoSwitch = 3;
    s.resolution = 8;
    s.aspectRatio = 3;
    s.edid = 2;
    s.hdcp = 1;
    s.contrast = 91;
    s.brightness = 7;
    s.color = 44;
    s.sharpness = 19;
    s.vgaHSize = 2;
    s.vgaVSize = 17;
    s.hPosition = 61;
    s.vPosition = 33;
    s.clock = 80;
    s.phase = 4;
    s.mute = true;
    s.volume = 31;
    s.micMute = true;
    s.micVolume = 9;
    s.mixerMode = 3;
    s.mixerVolume = 30;
    s.fadeInMs = 4321;
    s.fadeOutMs = 258;
    s.beep = false;
    s.power = false;
    s.serialBaud = 3;
    s.sleepTimer = 5;
    s.osdTimeout = 6;
    s.versionMajor = 3;
    s.versionMinor = 14;
    s.dhcp = true;
    s.ip = {10, 1, 2, 3};
    s.subnet = {255, 255, 0, 0};
    s.gateway = {10, 1, 0, 1};
    s.mac = {0x02, 0xAB, 0xCD, 0xEF, 0x01, 0x23};
    s.tcpPort = 4001;
}

class StatusAll : public CtlWithSimulator, public ::testing::WithParamInterface<bool> {};

TEST_P(StatusAll, JsonEqualsTheSwitchersState)
{
    switcher->Modify(Unusual);
    const CtlRun run = Ctl(GetParam() ? OverTcp() : OverPty(), {"status", "all", "--json"});
    ASSERT_EQ(run.exit, 0) << Shown(run);
    EXPECT_EQ(run.Json(), Expected(State())) << Shown(run);
    // The text form names the same values, one a line.
    const CtlRun text = Ctl(GetParam() ? OverTcp() : OverPty(), {"status", "general"});
    EXPECT_TRUE(text.out.contains("input: DP\n")) << Shown(text);
    EXPECT_TRUE(text.out.contains("resolution: 1680x1050@60\n")) << Shown(text);
}

INSTANTIATE_TEST_SUITE_P(Lines, StatusAll, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tcp" : "Pty"; });

struct SetCase {
    const char* name;
    const char* value;
    const char* page;
    QJsonValue shown;
};

// Every writable setting, each to a value it does not have.
const SetCase kSetCases[] = {
    {"input", "dp", "general", "DP"},
    {"audio", "ext 3", "general", "Ext 3"},
    {"auto-switch", "priority mode", "general", "Priority Mode"},
    {"resolution", "1280x720@60", "general", "1280x720@60"},
    {"aspect-ratio", "4:3", "general", "4:3"},
    {"edid", "EDID HDBT", "general", "EDID HDBT"},
    {"hdcp", "hdcp 1.4", "general", "HDCP 1.4"},
    {"contrast", "77", "video", 77},
    {"brightness", "12", "video", 12},
    {"color", "60", "video", 60},
    {"sharpness", "3", "video", 3},
    {"h-size", "20", "video", 20},
    {"v-size", "0", "video", 0},
    {"h-position", "52", "video", 52},
    {"v-position", "47", "video", 47},
    {"clock", "51", "video", 51},
    {"phase", "45", "video", 45},
    {"mute", "on", "audio", true},
    {"volume", "20", "audio", 20},
    {"mic-mute", "on", "audio", true},
    {"mic-volume", "5", "audio", 5},
    {"mixer", "auto", "audio", "AUTO"},
    {"mixer-volume", "18", "audio", 18},
    {"fade-in", "1500", "audio", 1500},
    {"fade-out", "5000", "audio", 5000},
    {"ip", "10.0.0.5", "network", "10.0.0.5"},
    {"subnet", "255.255.0.0", "network", "255.255.0.0"},
    {"gateway", "10.0.0.1", "network", "10.0.0.1"},
    {"mac", "02:00:5e:10:00:01", "network", "02-00-5e-10-00-01"},
    {"tcp-port", "8080", "network", 8080},
    {"dhcp", "on", "network", true},
    {"beep", "off", "advanced", false},
    {"power", "off", "advanced", false},
    {"sleep-timer", "5 minutes", "advanced", "5 minutes"},
    {"osd-timeout", "10 seconds", "advanced", "10 seconds"},
    {"serial-baud", "9600", "advanced", "9600"},
};

TEST_F(CtlWithSimulator, EverySettingSetIsShownByStatus)
{
    std::size_t writable = 0;
    for (const auto& setting : protocol::AllSettings()) {
        writable += protocol::Writable(setting) ? 1 : 0;
    }
    EXPECT_EQ(std::size(kSetCases), writable) << "a writable setting has no case";
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.name);
        const CtlRun set = Ctl(OverPty(), {"set", c.name, c.value, "--json"});
        ASSERT_EQ(set.exit, 0) << Shown(set);
        EXPECT_EQ(set.Json().value(c.name), c.shown) << Shown(set);
        const CtlRun status = Ctl(OverPty(), {"status", c.page, "--json"});
        ASSERT_EQ(status.exit, 0) << Shown(status);
        EXPECT_EQ(status.Json().value(c.name), c.shown) << Shown(status);
    }
    // An address written ends in static addressing, as the Network page's chain does.
    const CtlRun ip = Ctl(OverPty(), {"set", "ip", "10.0.0.6", "--json"});
    EXPECT_EQ(ip.Json(), (QJsonObject{{"ip", "10.0.0.6"}, {"dhcp", false}})) << Shown(ip);
    EXPECT_FALSE(State().dhcp);
}

TEST_F(CtlWithSimulator, SeveralSettingsOverTcpInOneCall)
{
    const CtlRun set =
        Ctl(OverTcp(), {"set", "input", "VGA", "volume", "7", "fade-out", "250", "osd-timeout", "\t25 seconds \t"});
    ASSERT_EQ(set.exit, 0) << Shown(set);
    EXPECT_EQ(set.out, "input: VGA\naudio: Ext 1\nvolume: 7\nfade-out: 250\nosd-timeout: 25 seconds\n");
    const sim::DeviceState s = State();
    EXPECT_EQ(s.input, 5);
    EXPECT_EQ(s.volume, 7);
    EXPECT_EQ(s.fadeOutMs, 250);
    EXPECT_EQ(s.osdTimeout, 5);
}

TEST_F(CtlWithSimulator, RawSendsOneFrameAndDecodesTheAnswer)
{
    const CtlRun run = Ctl(OverPty(), {"raw", "27", "01", "--json"});
    ASSERT_EQ(run.exit, 0) << Shown(run);
    EXPECT_EQ(run.Json().value("sent").toString(), "50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22");
    EXPECT_EQ(run.Json().value("sent-meaning").toString(), "query General status");
    EXPECT_TRUE(run.Json().value("meaning").toString().startsWith("status: General input HDMI 1, audio Emb"))
        << Shown(run);
    // A whole frame with any checksum: the checksum is made again.
    const CtlRun whole = Ctl(OverTcp(), {"raw", "505654"
                                                "171717"
                                                "0000000000000000000000"
                                                "00"});
    ASSERT_EQ(whole.exit, 0) << Shown(whole);
    EXPECT_TRUE(whole.out.contains("meaning: acknowledged: set volume 23\n")) << Shown(whole);
    EXPECT_EQ(State().volume, 23);
}

}  // namespace
}  // namespace velmora::test
