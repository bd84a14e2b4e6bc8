// The simulator over TCP on loopback, with and without faults.

#include "line_client.h"
#include "model_test_util.h"

#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <future>

#include <sys/ioctl.h>

namespace velmora::sim {
namespace {

using namespace test;

SimOptions TcpOnly()
{
    SimOptions options;
    options.pty = false;
    options.tcpPort = 0;
    options.processingDelayMs = 0;
    return options;
}

const Bytes kStatusQuery{0x50, 0x56, 0x54, 0x27, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22};
const Bytes kFactoryStatus{0x50, 0x56, 0x54, 0x27, 0x01, 0x00, 0x01, 0x00, 0x00, 0x0C, 0x01, 0x04, 0x01, 0, 0, 0, 0, 0x35};

TEST(TcpLine, BindsAFreePortOnLoopback)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    EXPECT_GT(sim.TcpPort(), 0);
    EXPECT_TRUE(sim.PtyPath().empty());
}

TEST(TcpLine, RefusesABusyPort)
{
    Simulator first(TcpOnly());
    ASSERT_TRUE(first.Start());
    SimOptions options = TcpOnly();
    options.tcpPort = first.TcpPort();
    Simulator second(options);
    EXPECT_FALSE(second.Start());
}

TEST(TcpLine, AnswersTheGeneralStatus)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

TEST(TcpLine, GreetingIsNotAnswered)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(Frame({0x50, 0x56, 0x54, 0x01, 0x0B})));
    EXPECT_TRUE(link.Read(1, kSilenceMs).empty());
}

TEST(TcpLine, FrameInPiecesIsAssembled)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(Bytes(kStatusQuery.begin(), kStatusQuery.begin() + 7)));
    ::usleep(10'000);
    ASSERT_TRUE(link.Write(Bytes(kStatusQuery.begin() + 7, kStatusQuery.end())));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

TEST(TcpLine, NetworkReadChain)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    sim.Modify([](DeviceState& s) {
        s.dhcp = false;
        s.ip = {10, 0, 0, 5};
        s.subnet = {255, 255, 255, 0};
        s.gateway = {10, 0, 0, 1};
        s.mac = {0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};
        s.tcpPort = 8080;
    });
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(Frame({0x50, 0x56, 0x54, 0x22, 0x0B})));
    EXPECT_EQ(link.Read(18), (Bytes{0x50, 0x56, 0x54, 0x22, 0x0B, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x17}));
    ASSERT_TRUE(link.Write(Frame({0x50, 0x56, 0x54, 0x27, 0x04})));
    EXPECT_EQ(link.Read(18), (Bytes{0x50, 0x56, 0x54, 0x27, 0x04, 10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1, 0x3C}));
    ASSERT_TRUE(link.Write(Frame({0x50, 0x56, 0x54, 0x22, 0x14})));
    EXPECT_EQ(link.Read(18), (Bytes{0x50, 0x56, 0x54, 0x22, 0x14, 0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A, 0, 0, 0, 0, 0, 0, 0xAC}));
    ASSERT_TRUE(link.Write(Frame({0x50, 0x56, 0x54, 0x22, 0x78})));
    EXPECT_EQ(link.Read(18), (Bytes{0x50, 0x56, 0x54, 0x22, 0x78, 0x1F, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x43}));
}

TEST(TcpLine, NewConnectionReplacesTheOld)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    FdClient first = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(first.Ok());
    ASSERT_TRUE(first.Write(kStatusQuery));
    ASSERT_EQ(first.Read(18), kFactoryStatus);
    FdClient second = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(second.Ok());
    ASSERT_TRUE(second.Write(kStatusQuery));
    EXPECT_EQ(second.Read(18), kFactoryStatus);
    EXPECT_TRUE(first.Read(1, kSilenceMs).empty());
    EXPECT_TRUE(first.SawEof());
    EXPECT_EQ(sim.TcpConnections(), 2);
}

TEST(TcpLine, ResetOnTcpToo)
{
    Simulator sim(TcpOnly());
    ASSERT_TRUE(sim.Start());
    sim.Modify([](DeviceState& s) { s.hdcp = 1; });
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(Bytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(Eventually([&] { return sim.Snapshot().factoryResets == 1; }));
    EXPECT_EQ(sim.Snapshot().hdcp, 2);
}

constexpr int kSmallBuffer = 4096;

// A link that reads nothing and has room for few answers.
FdClient ConnectNotReading(int port)
{
    FdClient link(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int size = kSmallBuffer;
    ::setsockopt(link.Fd(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (::connect(link.Fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        link.Close();
    }
    return link;
}

// Writes status queries on a link that reads no answer, until the switcher
// takes nothing more (both queues of the link standing still for a while)
// or lets the link go. False if neither happens.
bool FillUntilTheSwitcherStalls(FdClient& link)
{
    constexpr int kBatch = 64;
    constexpr int kMaxRounds = 20'000;
    constexpr int kQuietMs = 500;
    Bytes batch;
    for (int i = 0; i < kBatch; ++i) {
        batch.insert(batch.end(), kStatusQuery.begin(), kStatusQuery.end());
    }
    auto queues = [&] {
        int unread = 0;
        int unsent = 0;
        ::ioctl(link.Fd(), FIONREAD, &unread);
        ::ioctl(link.Fd(), TIOCOUTQ, &unsent);
        return std::pair{unread, unsent};
    };
    for (int round = 0; round < kMaxRounds; ++round) {
        if (::send(link.Fd(), batch.data(), batch.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return true;  // let go
        }
        const auto before = queues();
        pollfd pfd{link.Fd(), POLLOUT, 0};
        if (::poll(&pfd, 1, kQuietMs) == 0 && queues() == before) {
            return true;
        }
    }
    return false;
}

// A panel that stops reading while answers are due: the switcher lets it go
// for the next panel, and stops at once when told to meanwhile.
TEST(TcpLine, PanelThatStopsReadingHoldsUpNeitherTheLineNorTheStop)
{
    SimOptions options = TcpOnly();
    options.tcpSendBuffer = kSmallBuffer;
    auto sim = std::make_unique<Simulator>(options);
    ASSERT_TRUE(sim->Start());
    FdClient stuck = ConnectNotReading(sim->TcpPort());
    ASSERT_TRUE(stuck.Ok());
    ASSERT_TRUE(FillUntilTheSwitcherStalls(stuck));

    FdClient next = ConnectTcp(sim->TcpPort());
    ASSERT_TRUE(next.Ok());
    ASSERT_TRUE(next.Write(kStatusQuery));
    EXPECT_EQ(next.Read(18, 3 * kReadTimeoutMs), kFactoryStatus) << "the panel that stopped reading was let go";

    FdClient last = ConnectNotReading(sim->TcpPort());
    ASSERT_TRUE(last.Ok());
    ASSERT_TRUE(FillUntilTheSwitcherStalls(last));
    auto stopped = std::async(std::launch::async, [&] { sim->Stop(); });
    const bool inTime = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    stuck.Close();  // frees a switcher stuck in a send, so that the test ends either way
    last.Close();
    stopped.get();
    EXPECT_TRUE(inTime) << "the stop waited for a panel that does not read";
}

TEST(TcpFaults, MixerVolumeAboveTheVolumeIsClampedUnlessTheFaultDropsIt)
{
    const Bytes tooLoud = Frame({0x50, 0x56, 0x54, 0x24, 0x31, 0x20});  // volume is 24
    for (const bool drop : {false, true}) {
        SimOptions options = TcpOnly();
        options.dropMixerOverVolume = drop;
        Simulator sim(options);
        ASSERT_TRUE(sim.Start());
        FdClient link = ConnectTcp(sim.TcpPort());
        ASSERT_TRUE(link.Ok());
        ASSERT_TRUE(link.Write(tooLoud));
        if (drop) {
            EXPECT_TRUE(link.Read(18, kSilenceMs).empty());
        } else {
            EXPECT_EQ(link.Read(18), Frame({0x50, 0x56, 0x54, 0x24, 0x31, 24}));
        }
    }
}

// Faults.

TEST(TcpFaults, DropEverySecondAnswer)
{
    SimOptions options = TcpOnly();
    options.dropEvery = 2;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_TRUE(link.Read(18, kSilenceMs).empty());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

TEST(TcpFaults, CorruptEverySecondChecksum)
{
    SimOptions options = TcpOnly();
    options.corruptEvery = 2;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
    ASSERT_TRUE(link.Write(kStatusQuery));
    Bytes corrupt = kFactoryStatus;
    corrupt[17] = 0xCA;
    EXPECT_EQ(link.Read(18), corrupt);
}

TEST(TcpFaults, NoiseBeforeEveryAnswer)
{
    SimOptions options = TcpOnly();
    options.noiseBytes = 3;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    Bytes expected{0x00, 0x11, 0x22};
    expected.insert(expected.end(), kFactoryStatus.begin(), kFactoryStatus.end());
    EXPECT_EQ(link.Read(21), expected);
}

TEST(TcpFaults, SplitAnswerComesInTwoPieces)
{
    SimOptions options = TcpOnly();
    options.splitTcp = true;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    const Bytes first = link.ReadOnce();
    EXPECT_EQ(first, Bytes(kFactoryStatus.begin(), kFactoryStatus.begin() + 9));
    const Bytes second = link.Read(9);
    EXPECT_EQ(second, Bytes(kFactoryStatus.begin() + 9, kFactoryStatus.end()));
}

TEST(TcpFaults, HangUpAfterTwoAnswers)
{
    SimOptions options = TcpOnly();
    options.closeTcpAfter = 2;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(link.Write(kStatusQuery));
        EXPECT_EQ(link.Read(18), kFactoryStatus) << i;
    }
    EXPECT_TRUE(link.Read(1).empty());
    EXPECT_TRUE(link.SawEof());
    // A new connection is served again.
    FdClient again = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(again.Ok());
    ASSERT_TRUE(again.Write(kStatusQuery));
    EXPECT_EQ(again.Read(18), kFactoryStatus);
}

TEST(PtyFaults, DropAndNoiseOnTheSerialLine)
{
    SimOptions options;
    options.tcp = false;
    options.processingDelayMs = 0;
    options.dropEvery = 2;
    options.noiseBytes = 2;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(kStatusQuery));
    Bytes expected{0x00, 0x11};
    expected.insert(expected.end(), kFactoryStatus.begin(), kFactoryStatus.end());
    EXPECT_EQ(port.Read(20), expected);
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_TRUE(port.Read(1, kSilenceMs).empty());
}

}  // namespace
}  // namespace velmora::sim
