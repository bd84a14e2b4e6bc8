// velmoractl's exit status for each way a command can end, its messages,
// help and version.

#include "ctl_fixture.h"

#include "transport/serial_lock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::test {
namespace {

constexpr int kDone = 0;
constexpr int kUsage = 2;
constexpr int kTimeout = 3;
constexpr int kUnreachable = 4;
constexpr int kBusy = 5;
constexpr int kRefused = 6;

TEST_F(CtlWithSimulator, UsageErrors)
{
    const QStringList cases[] = {
        {"frobnicate"},        {"set", "volume"},
        {"set", "volme", "4"}, {"set", "hardware-version", "2.0"},
        {"status", "lights"},  {"status", "--timeout", "soon"},
        {"status", "--bogus"}, {"raw", "2"},
        {"raw", "zz"},         {"configure", "02005e100001"},
    };
    for (const QStringList& words : cases) {
        const CtlRun run = Ctl(OverPty(), words);
        EXPECT_EQ(run.exit, kUsage) << words.join(' ').toStdString() << "\n" << Shown(run);
        EXPECT_FALSE(run.err.isEmpty()) << words.join(' ').toStdString();
    }
    // Neither a port nor a host.
    EXPECT_EQ(RunCtl({"status"}).exit, kUsage);
}

TEST_F(CtlWithSimulator, ValuesOutOfRangeAreRefusedBeforeAnythingIsSent)
{
    const long answers = switcher->PtyAnswersWritten();
    const QStringList cases[] = {
        {"set", "volume", "33"},     {"set", "fade-in", "5001"},
        {"set", "fade-in", "-1"},    {"set", "contrast", "12abc"},
        {"set", "input", "hdmi 4"},  {"set", "mute", "maybe"},
        {"set", "ip", "10.0.0.256"}, {"set", "mac", "01:00:5e:00:00:01"},  // a group address
        {"set", "tcp-port", "0"},    {"set", "volume", "7", "color", "61"},
    };
    for (const QStringList& words : cases) {
        const CtlRun run = Ctl(OverPty(), words);
        EXPECT_EQ(run.exit, kRefused) << words.join(' ').toStdString() << "\n" << Shown(run);
    }
    EXPECT_EQ(switcher->PtyAnswersWritten(), answers) << "a refused value reached the switcher";
    EXPECT_EQ(State(), sim::DeviceState{});

    // Limits that depend on the switcher's state are read from it first.
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "25"}).exit, kRefused);  // volume is 24
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "24"}).exit, kDone);
    ASSERT_EQ(Ctl(OverPty(), {"set", "input", "vga"}).exit, kDone);
    EXPECT_EQ(Ctl(OverPty(), {"set", "audio", "emb"}).exit, kRefused);

    const CtlRun json = Ctl(OverPty(), {"set", "volume", "99", "--json"});
    EXPECT_EQ(json.Json().value("exit").toInt(), kRefused) << Shown(json);
    EXPECT_TRUE(json.Json().value("error").toString().contains("nothing was sent")) << Shown(json);
}

TEST_F(CtlWithSimulator, MissingPortsAndRefusedHosts)
{
    const CtlRun missing = RunCtl({"--port-dir", portDir.path(), "--port", "COM200", "status"});
    EXPECT_EQ(missing.exit, kUnreachable) << Shown(missing);
    EXPECT_EQ(RunCtl({"--port", portDir.filePath("none"), "status"}).exit, kUnreachable);

    // A bound socket that does not listen refuses connections.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof where;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(ntohs(where.sin_port));
    const CtlRun refused = RunCtl({"--host", host, "status", "--json"});
    ::close(fd);
    EXPECT_EQ(refused.exit, kUnreachable) << Shown(refused);
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

    const CtlRun busy = Ctl(OverPty(), {"status"});
    EXPECT_EQ(busy.exit, kBusy) << Shown(busy);
    EXPECT_TRUE(busy.err.contains(QStringLiteral("COM%1: busy, ").arg(kSimCom) + holder)) << Shown(busy);

    const CtlRun ports = RunCtl({"--port-dir", portDir.path(), "ports", "--json"});
    ASSERT_EQ(ports.exit, kDone) << Shown(ports);
    const QJsonArray list = ports.Json().value("ports").toArray();
    const auto ours = std::find_if(list.begin(), list.end(), [](const QJsonValue& port) {
        return port.toObject().value("port").toString() == QStringLiteral("COM%1").arg(kSimCom);
    });
    ASSERT_NE(ours, list.end()) << Shown(ports);
    EXPECT_TRUE(ours->toObject().value("state").toString().startsWith(holder)) << Shown(ports);
    EXPECT_EQ(ours->toObject().value("device").toString().toStdString(), device);

    lock.Release(fd);
    ::close(fd);
    EXPECT_EQ(Ctl(OverPty(), {"status"}).exit, kDone);
    const CtlRun freed = RunCtl({"--port-dir", portDir.path(), "ports"});
    EXPECT_TRUE(freed.out.contains(QStringLiteral("COM%1  ").arg(kSimCom))) << Shown(freed);
}

TEST_F(CtlWithSimulator, HelpForTheProgramAndEachCommandAndTheVersion)
{
    const CtlRun version = RunCtl({"--version"});
    EXPECT_EQ(version.out, QStringLiteral("velmoractl " VELMORA_VERSION "\n"));
    const CtlRun help = RunCtl({"--help"});
    EXPECT_EQ(help.exit, kDone);
    EXPECT_TRUE(help.out.startsWith("Usage: velmoractl")) << Shown(help);
    for (const char* command : {"ports", "search", "configure", "status", "set", "raw"}) {
        const CtlRun own = RunCtl({command, "--help"});
        EXPECT_EQ(own.exit, kDone) << command;
        EXPECT_TRUE(own.out.startsWith(QStringLiteral("Usage: velmoractl %1").arg(command))) << Shown(own);
        EXPECT_EQ(RunCtl({"help", command}).out, own.out);
    }
    EXPECT_EQ(RunCtl({"help", "dance"}).exit, kUsage);
}

class SilentSwitcher : public CtlWithSimulator {
protected:
    void SetUp() override {}
};

TEST_F(SilentSwitcher, NoAnswerEndsInTheTimeOutAfterOneRetry)
{
    sim::SimOptions options;
    options.dropEvery = 1;
    StartSwitcher(options);
    const CtlRun run = Ctl(OverPty(), {"status", "--timeout", "0.2", "--json"});
    EXPECT_EQ(run.exit, kTimeout) << Shown(run);
    EXPECT_TRUE(run.Json().value("error").toString().contains("query General status")) << Shown(run);
    EXPECT_TRUE(run.Json().value("error").toString().contains("sent twice")) << Shown(run);
    EXPECT_EQ(Ctl(OverTcp(), {"set", "volume", "3", "--timeout", "0.2"}).exit, kTimeout);
}

TEST_F(SilentSwitcher, OneLostAnswerIsMadeGoodByTheRetry)
{
    sim::SimOptions options;
    options.dropEvery = 2;  // the second answer of the run is lost
    StartSwitcher(options);
    ASSERT_EQ(Ctl(OverPty(), {"status", "advanced"}).exit, kDone);
    const CtlRun run = Ctl(OverPty(), {"set", "volume", "9", "--timeout", "0.3"});
    EXPECT_EQ(run.exit, kDone) << Shown(run);
    EXPECT_EQ(run.out, "volume: 9\n");
}

TEST_F(SilentSwitcher, WrongChecksumsAreNoAnswer)
{
    sim::SimOptions options;
    options.corruptEvery = 1;
    StartSwitcher(options);
    EXPECT_EQ(Ctl(OverTcp(), {"status", "--timeout", "0.2"}).exit, kTimeout);
}

}  // namespace
}  // namespace velmora::test
