// velmoractl against the simulated switcher, on a pseudo-terminal linked
// into a port map directory as COM9 and on a free TCP port of loopback: every
// setting read and written, and the exit status of each way a command ends.

#include "ctl_run.h"
#include "exit_codes.h"

#include "protocol/setting_names.h"
#include "sim/simulator.h"
#include "transport/serial_lock.h"

#include <QTemporaryDir>

#include <memory>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {
namespace {

constexpr int kSimCom = 9;

class CtlWithSimulator : public ::testing::Test {
protected:
    void StartSwitcher(int dropEvery = 0, int corruptEvery = 0)
    {
        ASSERT_TRUE(portDir.isValid());
        sim::SimOptions options;
        options.dropEvery = dropEvery;
        options.corruptEvery = corruptEvery;
        options.portDir = portDir.path().toStdString();
        options.comNumber = kSimCom;
        options.tcpPort = 0;
        switcher.reset();  // its port map link goes with it
        switcher = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(switcher->Start());
    }
    void SetUp() override { StartSwitcher(); }

    QStringList OverPty() const
    {
        return {"--port-dir", portDir.path(), "--port", QStringLiteral("COM%1").arg(kSimCom)};
    }
    QStringList OverTcp() const { return {"--host", QStringLiteral("127.0.0.1:%1").arg(switcher->TcpPort())}; }
    ProgramRun Ctl(const QStringList& where, const QStringList& words) { return RunCtl(where + words); }
    sim::DeviceState State() const { return switcher->Snapshot(); }

    QTemporaryDir portDir;
    std::unique_ptr<sim::Simulator> switcher;
};

using namespace velmora::cli;

TEST_F(CtlWithSimulator, UsageErrorsAndValuesOutOfRangeSendNothing)
{
    const long answers = switcher->PtyAnswersWritten();
    const QStringList usage[] = {
        {"frobnicate"},        {"set", "volume"},
        {"set", "volme", "4"}, {"set", "hardware-version", "2.0"},
        {"status", "lights"},  {"status", "--timeout", "soon"},
        {"status", "--bogus"}, {"raw", "2"},
        {"raw", "zz"},         {"configure", "02005e100001"},
    };
    const QStringList refused[] = {
        {"set", "volume", "33"},     {"set", "fade-in", "5001"},
        {"set", "fade-in", "-1"},    {"set", "contrast", "12abc"},
        {"set", "input", "hdmi 4"},  {"set", "mute", "maybe"},
        {"set", "ip", "10.0.0.256"}, {"set", "mac", "01:00:5e:00:00:01"},  // a group address
        {"set", "tcp-port", "0"},    {"set", "volume", "7", "color", "61"},
    };
    const auto check = [this](const QStringList& words, int exit) {
        const ProgramRun run = Ctl(OverPty(), words);
        EXPECT_EQ(run.exit, exit) << words.join(' ').toStdString() << "\n" << run.Shown();
        EXPECT_FALSE(run.err.isEmpty()) << words.join(' ').toStdString();
    };
    std::for_each(std::begin(usage), std::end(usage), [&](const auto& words) { check(words, kExitUsage); });
    std::for_each(std::begin(refused), std::end(refused), [&](const auto& words) { check(words, kExitRefusedValue); });
    EXPECT_EQ(switcher->PtyAnswersWritten(), answers) << "a refused command reached the switcher";
    EXPECT_EQ(State(), sim::DeviceState{});
    EXPECT_EQ(RunCtl({"status"}).exit, kExitUsage) << "neither a port nor a host";

    // Limits that depend on the switcher's state are read from it first.
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "25"}).exit, kExitRefusedValue);  // volume is 24
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "24"}).exit, kExitDone);
    ASSERT_EQ(Ctl(OverPty(), {"set", "input", "vga"}).exit, kExitDone);
    EXPECT_EQ(Ctl(OverPty(), {"set", "audio", "emb"}).exit, kExitRefusedValue);

    const ProgramRun json = Ctl(OverPty(), {"set", "volume", "99", "--json"});
    EXPECT_EQ(json.Json().value("exit").toInt(), kExitRefusedValue) << json.Shown();
    EXPECT_TRUE(json.Json().value("error").toString().contains("nothing was sent")) << json.Shown();
}

TEST_F(CtlWithSimulator, MissingPortsAndRefusedHosts)
{
    const ProgramRun missing = RunCtl({"--port-dir", portDir.path(), "--port", "COM200", "status"});
    EXPECT_EQ(missing.exit, kExitUnreachable) << missing.Shown();
    EXPECT_EQ(RunCtl({"--port", portDir.filePath("none"), "status"}).exit, kExitUnreachable);

    // A bound socket that does not listen refuses connections.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof where;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(ntohs(where.sin_port));
    const ProgramRun refused = RunCtl({"--host", host, "status", "--json"});
    ::close(fd);
    EXPECT_EQ(refused.exit, kExitUnreachable) << refused.Shown();
    EXPECT_EQ(refused.Json().value("error").toString(), host + " refused");
}

TEST_F(CtlWithSimulator, PortHeldByAnotherProgramIsBusyAndNamesIt)
{
    const std::string device = switcher->LinkPath();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    transport::SerialLock lock;
    ASSERT_TRUE(lock.Acquire(fd, device));
    const QString holder = QStringLiteral("held by PID %1").arg(::getpid());

    const ProgramRun busy = Ctl(OverPty(), {"status"});
    EXPECT_EQ(busy.exit, kExitBusy) << busy.Shown();
    EXPECT_TRUE(busy.err.contains(QStringLiteral("COM%1: busy, ").arg(kSimCom) + holder)) << busy.Shown();

    const ProgramRun ports = RunCtl({"--port-dir", portDir.path(), "ports", "--json"});
    ASSERT_EQ(ports.exit, kExitDone) << ports.Shown();
    const QJsonArray list = ports.Json().value("ports").toArray();
    const auto ours = std::find_if(list.begin(), list.end(), [](const QJsonValue& port) {
        return port.toObject().value("port").toString() == QStringLiteral("COM%1").arg(kSimCom);
    });
    ASSERT_NE(ours, list.end()) << ports.Shown();
    EXPECT_TRUE(ours->toObject().value("state").toString().startsWith(holder)) << ports.Shown();
    EXPECT_EQ(ours->toObject().value("device").toString().toStdString(), device);

    lock.Release(fd);
    ::close(fd);
    EXPECT_EQ(Ctl(OverPty(), {"status"}).exit, kExitDone);
    const ProgramRun freed = RunCtl({"--port-dir", portDir.path(), "ports"});
    EXPECT_TRUE(freed.out.contains(QStringLiteral("COM%1  ").arg(kSimCom))) << freed.Shown();
}

TEST_F(CtlWithSimulator, HelpForTheProgramAndEachCommandAndTheVersion)
{
    const ProgramRun version = RunCtl({"--version"});
    EXPECT_EQ(version.out, QStringLiteral("velmoractl " VELMORA_VERSION "\n"));
    const ProgramRun help = RunCtl({"--help"});
    EXPECT_EQ(help.exit, kExitDone);
    EXPECT_TRUE(help.out.startsWith("Usage: velmoractl")) << help.Shown();
    for (const char* command : {"ports", "search", "configure", "status", "set", "raw"}) {
        const ProgramRun own = RunCtl({command, "--help"});
        EXPECT_EQ(own.exit, kExitDone) << command;
        EXPECT_TRUE(own.out.startsWith(QStringLiteral("Usage: velmoractl %1").arg(command))) << own.Shown();
        EXPECT_EQ(RunCtl({"help", command}).out, own.out);
    }
    EXPECT_EQ(RunCtl({"help", "dance"}).exit, kExitUsage);
}

// Answers lost or garbled: one retry, then the time-out that names the command.
TEST_F(CtlWithSimulator, LostAnswersAreSentOnceMoreThenTimeOut)
{
    StartSwitcher(1);
    const ProgramRun run = Ctl(OverPty(), {"status", "--timeout", "0.2", "--json"});
    EXPECT_EQ(run.exit, kExitTimeout) << run.Shown();
    EXPECT_TRUE(run.Json().value("error").toString().contains("query General status")) << run.Shown();
    EXPECT_TRUE(run.Json().value("error").toString().contains("sent twice")) << run.Shown();
    EXPECT_EQ(Ctl(OverTcp(), {"set", "volume", "3", "--timeout", "0.2"}).exit, kExitTimeout);

    StartSwitcher(0, 1);  // wrong checksums are no answer
    EXPECT_EQ(Ctl(OverTcp(), {"status", "--timeout", "0.2"}).exit, kExitTimeout);

    StartSwitcher(2);  // the second answer of the run is lost
    ASSERT_EQ(Ctl(OverPty(), {"status", "advanced"}).exit, kExitDone);
    const ProgramRun retried = Ctl(OverPty(), {"set", "volume", "9", "--timeout", "0.3"});
    EXPECT_EQ(retried.exit, kExitDone) << retried.Shown();
    EXPECT_EQ(retried.out, "volume: 9\n");
}

// A switcher far from its factory settings, so that no value reads right by chance.
// clang-format off
const sim::DeviceState kUnusual{
    .input = 4, .audioSource = {0, 2, 0, 5, 3}, .autoSwitch = 3, .resolution = 8, .aspectRatio = 3, .edid = 2,
    .hdcp = 1, .contrast = 91, .brightness = 7, .color = 44, .sharpness = 19, .vgaHSize = 2, .vgaVSize = 17,
    .hPosition = 61, .vPosition = 33, .clock = 80, .phase = 4, .mute = true, .volume = 31, .micMute = true,
    .micVolume = 9, .mixerMode = 3, .mixerVolume = 30, .fadeInMs = 4321, .fadeOutMs = 258, .beep = false,
    .power = false, .serialBaud = 3, .sleepTimer = 5, .osdTimeout = 6, .versionMajor = 3, .versionMinor = 14,
    .dhcp = true, .ip = {10, 1, 2, 3}, .subnet = {255, 255, 0, 0}, .gateway = {10, 1, 0, 1},
    .mac = {0x02, 0xAB, 0xCD, 0xEF, 0x01, 0x23}, .tcpPort = 4001};
// clang-format on

// What `status all --json` prints for it.
const char* const kUnusualJson = R"({
 "general": {"input": "DP", "audio": "Ext 5", "auto-switch": "First Connected Mode", "resolution": "1680x1050@60",
             "aspect-ratio": "16:10", "edid": "EDID 2.0", "hdcp": "HDCP 1.4"},
 "video": {"contrast": 91, "brightness": 7, "color": 44, "sharpness": 19, "h-size": 2, "v-size": 17,
           "h-position": 61, "v-position": 33, "clock": 80, "phase": 4},
 "audio": {"mute": true, "volume": 31, "mic-mute": true, "mic-volume": 9, "mixer": "AUTO", "mixer-volume": 30,
           "fade-in": 4321, "fade-out": 258},
 "network": {"dhcp": true, "ip": "10.1.2.3", "subnet": "255.255.0.0", "gateway": "10.1.0.1",
             "mac": "02-ab-cd-ef-01-23", "tcp-port": 4001},
 "advanced": {"beep": false, "power": false, "serial-baud": "19200", "sleep-timer": "15 minutes",
              "osd-timeout": "30 seconds", "hardware-version": "3.14"}})";

class StatusAll : public CtlWithSimulator, public ::testing::WithParamInterface<bool> {};

TEST_P(StatusAll, JsonEqualsTheSwitchersState)
{
    switcher->Modify([](sim::DeviceState& s) { s = kUnusual; });
    const ProgramRun run = Ctl(GetParam() ? OverTcp() : OverPty(), {"status", "all", "--json"});
    ASSERT_EQ(run.exit, kExitDone) << run.Shown();
    EXPECT_EQ(run.Json(), QJsonDocument::fromJson(kUnusualJson).object()) << run.Shown();
    const ProgramRun text = Ctl(GetParam() ? OverTcp() : OverPty(), {"status", "general"});
    EXPECT_TRUE(text.out.contains("input: DP\n") && text.out.contains("resolution: 1680x1050@60\n")) << text.Shown();
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
// clang-format off
const SetCase kSetCases[] = {
    {"input", "dp", "general", "DP"}, {"audio", "ext 3", "general", "Ext 3"},
    {"auto-switch", "priority mode", "general", "Priority Mode"},
    {"resolution", "1280x720@60", "general", "1280x720@60"}, {"aspect-ratio", "4:3", "general", "4:3"},
    {"edid", "EDID HDBT", "general", "EDID HDBT"}, {"hdcp", "hdcp 1.4", "general", "HDCP 1.4"},
    {"contrast", "77", "video", 77}, {"brightness", "12", "video", 12}, {"color", "60", "video", 60},
    {"sharpness", "3", "video", 3}, {"h-size", "20", "video", 20}, {"v-size", "0", "video", 0},
    {"h-position", "52", "video", 52}, {"v-position", "47", "video", 47}, {"clock", "51", "video", 51},
    {"phase", "45", "video", 45}, {"mute", "on", "audio", true}, {"volume", "20", "audio", 20},
    {"mic-mute", "on", "audio", true}, {"mic-volume", "5", "audio", 5}, {"mixer", "auto", "audio", "AUTO"},
    {"mixer-volume", "18", "audio", 18}, {"fade-in", "1500", "audio", 1500}, {"fade-out", "5000", "audio", 5000},
    {"ip", "10.0.0.5", "network", "10.0.0.5"}, {"subnet", "255.255.0.0", "network", "255.255.0.0"},
    {"gateway", "10.0.0.1", "network", "10.0.0.1"}, {"mac", "02:00:5e:10:00:01", "network", "02-00-5e-10-00-01"},
    {"tcp-port", "8080", "network", 8080}, {"dhcp", "on", "network", true}, {"beep", "off", "advanced", false},
    {"power", "off", "advanced", false}, {"sleep-timer", "5 minutes", "advanced", "5 minutes"},
    {"osd-timeout", "10 seconds", "advanced", "10 seconds"}, {"serial-baud", "9600", "advanced", "9600"},
};
// clang-format on

TEST_F(CtlWithSimulator, EverySettingSetIsShownByStatus)
{
    std::size_t writable = 0;
    for (const auto& setting : protocol::AllSettings()) {
        writable += protocol::Writable(setting) ? 1 : 0;
    }
    EXPECT_EQ(std::size(kSetCases), writable) << "a writable setting has no case";
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.name);
        const ProgramRun set = Ctl(OverPty(), {"set", c.name, c.value, "--json"});
        ASSERT_EQ(set.exit, kExitDone) << set.Shown();
        EXPECT_EQ(set.Json().value(c.name), c.shown) << set.Shown();
        const ProgramRun status = Ctl(OverPty(), {"status", c.page, "--json"});
        ASSERT_EQ(status.exit, kExitDone) << status.Shown();
        EXPECT_EQ(status.Json().value(c.name), c.shown) << status.Shown();
    }
    // An address written ends in static addressing, as the Network page's chain does.
    const ProgramRun ip = Ctl(OverPty(), {"set", "ip", "10.0.0.6", "--json"});
    EXPECT_EQ(ip.Json(), (QJsonObject{{"ip", "10.0.0.6"}, {"dhcp", false}})) << ip.Shown();
    EXPECT_FALSE(State().dhcp);
}

TEST_F(CtlWithSimulator, SeveralSettingsOverTcpInOneCall)
{
    const ProgramRun set =
        Ctl(OverTcp(), {"set", "input", "VGA", "volume", "7", "fade-out", "250", "osd-timeout", "\t25 seconds \t"});
    ASSERT_EQ(set.exit, kExitDone) << set.Shown();
    EXPECT_EQ(set.out, "input: VGA\naudio: Ext 1\nvolume: 7\nfade-out: 250\nosd-timeout: 25 seconds\n");
    const sim::DeviceState s = State();
    EXPECT_EQ(s.input, 5);
    EXPECT_EQ(s.volume, 7);
    EXPECT_EQ(s.fadeOutMs, 250);
    EXPECT_EQ(s.osdTimeout, 5);
}

TEST_F(CtlWithSimulator, RawSendsOneFrameAndDecodesTheAnswer)
{
    const ProgramRun run = Ctl(OverPty(), {"raw", "27", "01", "--json"});
    ASSERT_EQ(run.exit, kExitDone) << run.Shown();
    EXPECT_EQ(run.Json().value("sent").toString(), "50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22");
    EXPECT_EQ(run.Json().value("sent-meaning").toString(), "query General status");
    EXPECT_TRUE(run.Json().value("meaning").toString().startsWith("status: General input HDMI 1, audio Emb"))
        << run.Shown();
    // A whole frame with any checksum: the checksum is made again.
    const ProgramRun whole = Ctl(OverTcp(), {"raw", "505654"
                                                    "171717"
                                                    "0000000000000000000000"
                                                    "00"});
    ASSERT_EQ(whole.exit, kExitDone) << whole.Shown();
    EXPECT_TRUE(whole.out.contains("meaning: acknowledged: set volume 23\n")) << whole.Shown();
    EXPECT_EQ(State().volume, 23);
}

}  // namespace
}  // namespace velmora::test
