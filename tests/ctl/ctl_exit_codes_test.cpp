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
    std::for_each(std::begin(usage), std::end(usage), [&](const auto& words) { check(words, kUsage); });
    std::for_each(std::begin(refused), std::end(refused), [&](const auto& words) { check(words, kRefused); });
    EXPECT_EQ(switcher->PtyAnswersWritten(), answers) << "a refused command reached the switcher";
    EXPECT_EQ(State(), sim::DeviceState{});
    EXPECT_EQ(RunCtl({"status"}).exit, kUsage) << "neither a port nor a host";

    // Limits that depend on the switcher's state are read from it first.
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "25"}).exit, kRefused);  // volume is 24
    EXPECT_EQ(Ctl(OverPty(), {"set", "mixer-volume", "24"}).exit, kDone);
    ASSERT_EQ(Ctl(OverPty(), {"set", "input", "vga"}).exit, kDone);
    EXPECT_EQ(Ctl(OverPty(), {"set", "audio", "emb"}).exit, kRefused);

    const ProgramRun json = Ctl(OverPty(), {"set", "volume", "99", "--json"});
    EXPECT_EQ(json.Json().value("exit").toInt(), kRefused) << json.Shown();
    EXPECT_TRUE(json.Json().value("error").toString().contains("nothing was sent")) << json.Shown();
}

TEST_F(CtlWithSimulator, MissingPortsAndRefusedHosts)
{
    const ProgramRun missing = RunCtl({"--port-dir", portDir.path(), "--port", "COM200", "status"});
    EXPECT_EQ(missing.exit, kUnreachable) << missing.Shown();
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
    const ProgramRun refused = RunCtl({"--host", host, "status", "--json"});
    ::close(fd);
    EXPECT_EQ(refused.exit, kUnreachable) << refused.Shown();
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
    EXPECT_EQ(busy.exit, kBusy) << busy.Shown();
    EXPECT_TRUE(busy.err.contains(QStringLiteral("COM%1: busy, ").arg(kSimCom) + holder)) << busy.Shown();

    const ProgramRun ports = RunCtl({"--port-dir", portDir.path(), "ports", "--json"});
    ASSERT_EQ(ports.exit, kDone) << ports.Shown();
    const QJsonArray list = ports.Json().value("ports").toArray();
    const auto ours = std::find_if(list.begin(), list.end(), [](const QJsonValue& port) {
        return port.toObject().value("port").toString() == QStringLiteral("COM%1").arg(kSimCom);
    });
    ASSERT_NE(ours, list.end()) << ports.Shown();
    EXPECT_TRUE(ours->toObject().value("state").toString().startsWith(holder)) << ports.Shown();
    EXPECT_EQ(ours->toObject().value("device").toString().toStdString(), device);

    lock.Release(fd);
    ::close(fd);
    EXPECT_EQ(Ctl(OverPty(), {"status"}).exit, kDone);
    const ProgramRun freed = RunCtl({"--port-dir", portDir.path(), "ports"});
    EXPECT_TRUE(freed.out.contains(QStringLiteral("COM%1  ").arg(kSimCom))) << freed.Shown();
}

TEST_F(CtlWithSimulator, HelpForTheProgramAndEachCommandAndTheVersion)
{
    const ProgramRun version = RunCtl({"--version"});
    EXPECT_EQ(version.out, QStringLiteral("velmoractl " VELMORA_VERSION "\n"));
    const ProgramRun help = RunCtl({"--help"});
    EXPECT_EQ(help.exit, kDone);
    EXPECT_TRUE(help.out.startsWith("Usage: velmoractl")) << help.Shown();
    for (const char* command : {"ports", "search", "configure", "status", "set", "raw"}) {
        const ProgramRun own = RunCtl({command, "--help"});
        EXPECT_EQ(own.exit, kDone) << command;
        EXPECT_TRUE(own.out.startsWith(QStringLiteral("Usage: velmoractl %1").arg(command))) << own.Shown();
        EXPECT_EQ(RunCtl({"help", command}).out, own.out);
    }
    EXPECT_EQ(RunCtl({"help", "dance"}).exit, kUsage);
}

// Answers lost or garbled: one retry, then the time-out that names the command.
TEST_F(CtlWithSimulator, LostAnswersAreSentOnceMoreThenTimeOut)
{
    StartSwitcher(1);
    const ProgramRun run = Ctl(OverPty(), {"status", "--timeout", "0.2", "--json"});
    EXPECT_EQ(run.exit, kTimeout) << run.Shown();
    EXPECT_TRUE(run.Json().value("error").toString().contains("query General status")) << run.Shown();
    EXPECT_TRUE(run.Json().value("error").toString().contains("sent twice")) << run.Shown();
    EXPECT_EQ(Ctl(OverTcp(), {"set", "volume", "3", "--timeout", "0.2"}).exit, kTimeout);

    StartSwitcher(0, 1);  // wrong checksums are no answer
    EXPECT_EQ(Ctl(OverTcp(), {"status", "--timeout", "0.2"}).exit, kTimeout);

    StartSwitcher(2);  // the second answer of the run is lost
    ASSERT_EQ(Ctl(OverPty(), {"status", "advanced"}).exit, kDone);
    const ProgramRun retried = Ctl(OverPty(), {"set", "volume", "9", "--timeout", "0.3"});
    EXPECT_EQ(retried.exit, kDone) << retried.Shown();
    EXPECT_EQ(retried.out, "volume: 9\n");
}

}  // namespace
}  // namespace velmora::test
