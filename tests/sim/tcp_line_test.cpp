// The simulator over TCP on loopback, with and without faults.

#include "line_session.h"

#include <gtest/gtest.h>

#include <future>

#include <sys/ioctl.h>

namespace velmora::sim {
namespace {

using namespace test;

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

TEST(TcpLine, AnswersTheGeneralStatusButNotTheGreeting)
{
    LineSession s(Line::Tcp, TcpOnly());
    ASSERT_TRUE(s.Ok());
    ExpectExchanges(s.client, {{kStatusQuery, kFactoryStatus}, {Frame({0x50, 0x56, 0x54, 0x01, 0x0B}), {}}});
}

TEST(TcpLine, FrameInPiecesIsAssembled)
{
    LineSession s(Line::Tcp, TcpOnly());
    ASSERT_TRUE(s.Ok());
    ASSERT_TRUE(s.client.Write(Bytes(kStatusQuery.begin(), kStatusQuery.begin() + 7)));
    ::usleep(10'000);
    EXPECT_EQ(Ask(s.client, Bytes(kStatusQuery.begin() + 7, kStatusQuery.end())), kFactoryStatus);
}

TEST(TcpLine, NewConnectionReplacesTheOld)
{
    LineSession s(Line::Tcp, TcpOnly());
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
    FdClient second = ConnectTcp(s.sim.TcpPort());
    EXPECT_EQ(Ask(second, kStatusQuery), kFactoryStatus);
    EXPECT_TRUE(s.client.Read(1, kSilenceMs).empty());
    EXPECT_TRUE(s.client.SawEof());
    EXPECT_EQ(s.sim.TcpConnections(), 2);
}

TEST(TcpLine, ResetOnTcpToo)
{
    LineSession s(Line::Tcp, TcpOnly());
    ASSERT_TRUE(s.Ok());
    s.sim.Modify([](DeviceState& state) { state.hdcp = 1; });
    ASSERT_TRUE(s.client.Write(kReset));
    EXPECT_TRUE(Eventually([&] { return s.sim.Snapshot().factoryResets == 1; }));
    EXPECT_EQ(s.sim.Snapshot().hdcp, 2);
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
        SCOPED_TRACE(drop);
        SimOptions options = TcpOnly();
        options.dropMixerOverVolume = drop;
        LineSession s(Line::Tcp, options);
        ASSERT_TRUE(s.Ok());
        ExpectExchanges(s.client, {{tooLoud, drop ? Bytes{} : Frame({0x50, 0x56, 0x54, 0x24, 0x31, 24})}});
    }
}

// A fault set on a line, and what the panel then sees for each frame it sends.
struct FaultCase {
    const char* name;
    Line line;
    void (*set)(SimOptions&);
    std::vector<Exchange> steps;
};

Bytes Corrupted(Bytes frame)
{
    frame.back() = 0xCA;
    return frame;
}

TEST(LineFaults, AnswersAreDroppedCorruptedOrPrecededByNoise)
{
    const FaultCase cases[] = {
        {"drop every second",
         Line::Tcp,
         [](SimOptions& o) { o.dropEvery = 2; },
         {{kStatusQuery, kFactoryStatus}, {kStatusQuery, {}}, {kStatusQuery, kFactoryStatus}}},
        {"corrupt every second",
         Line::Tcp,
         [](SimOptions& o) { o.corruptEvery = 2; },
         {{kStatusQuery, kFactoryStatus}, {kStatusQuery, Corrupted(kFactoryStatus)}}},
        {"noise before every answer",
         Line::Tcp,
         [](SimOptions& o) { o.noiseBytes = 3; },
         {{kStatusQuery, Joined({{0x00, 0x11, 0x22}, kFactoryStatus})}}},
        {"drop by class",
         Line::Tcp,
         [](SimOptions& o) { o.dropClass = 0x22; },
         {{kNetworkStatus, {}}, {kStatusQuery, kFactoryStatus}}},
        {"drop and noise on the serial line",
         Line::Pty,
         [](SimOptions& o) {
             o.dropEvery = 2;
             o.noiseBytes = 2;
         },
         {{kStatusQuery, Joined({{0x00, 0x11}, kFactoryStatus})}, {kStatusQuery, {}}}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimOptions options = c.line == Line::Pty ? PtyOnly() : TcpOnly();
        c.set(options);
        LineSession s(c.line, options);
        ASSERT_TRUE(s.Ok());
        ExpectExchanges(s.client, c.steps);
    }
}

TEST(TcpFaults, SplitAnswerComesInTwoPieces)
{
    SimOptions options = TcpOnly();
    options.splitTcp = true;
    LineSession s(Line::Tcp, options);
    ASSERT_TRUE(s.Ok());
    ASSERT_TRUE(s.client.Write(kStatusQuery));
    EXPECT_EQ(s.client.ReadOnce(), Bytes(kFactoryStatus.begin(), kFactoryStatus.begin() + 9));
    EXPECT_EQ(s.client.Read(9), Bytes(kFactoryStatus.begin() + 9, kFactoryStatus.end()));
}

TEST(TcpFaults, HangUpAfterTwoAnswers)
{
    SimOptions options = TcpOnly();
    options.closeTcpAfter = 2;
    LineSession s(Line::Tcp, options);
    ASSERT_TRUE(s.Ok());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus) << i;
    }
    EXPECT_TRUE(s.client.Read(1).empty());
    EXPECT_TRUE(s.client.SawEof());
    // A new connection is served again.
    FdClient again = ConnectTcp(s.sim.TcpPort());
    EXPECT_EQ(Ask(again, kStatusQuery), kFactoryStatus);
}

}  // namespace
}  // namespace velmora::sim
