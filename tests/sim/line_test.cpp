// The simulator over a real pseudo-terminal and over TCP on loopback, with
// and without faults.

#include "sim_fixture.h"

#include "sim/line_pacer.h"

#include <filesystem>
#include <functional>
#include <future>

#include <sys/ioctl.h>

namespace velmora::test {
namespace {

using sim::SimOptions;

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

Bytes Corrupted(Bytes frame)
{
    frame.back() = 0xCA;
    return frame;
}

// Options set on a line, and what the panel then sees for each frame it sends.
struct LineCase {
    const char* name;
    Line line;
    void (*set)(SimOptions&);
    std::vector<Exchange> steps;
    std::function<void(sim::DeviceState&)> state = {};
};
LineCase Case(Line line, const char* name, void (*set)(SimOptions&), std::vector<Exchange> steps,
              std::function<void(sim::DeviceState&)> state = {})
{
    return {name, line, set, std::move(steps), std::move(state)};
}

const LineCase kLineCases[] = {
    Case(Line::Tcp, "status, and no answer to the greeting", nullptr,
         {{kStatusQuery, kFactoryStatus}, {Wire({0x01, 0x0B}), {}}}),
    Case(Line::Tcp, "a frame in two pieces", nullptr,
         {{Slice(kStatusQuery, 0, 7), {}, Arrives::Later}, {Slice(kStatusQuery, 7, 18), kFactoryStatus}}),
    Case(Line::Pty, "select HDMI 3 begins with the reset's 13 bytes", nullptr,
         {{Joined({kReset, {0, 0, 0, 0, 0x03}}), Wire({0x02, 0x03})},
          {Wire({0x24, 0x08, 0x03}), Wire({0x24, 0x08, 0x03})},
          {Wire({0x24, 0x12}), Wire({0x24, 0x12})},
          {kStatusQuery, Wire({0x27, 0x01, 0x00, 0x03, 0x00, 0x00, 0x0C, 0x01, 0x04, 0x01})}}),
    Case(Line::Pty, "the 13-byte reset after an idle gap", nullptr,
         {{Wire({0x0A, 0x06, 0x03}), Wire({0x0A, 0x06, 0x03})}, {kReset, {}}, {kStatusQuery, kFactoryStatus}}),
    Case(Line::Pty, "the reset followed at once by a frame", nullptr,
         {{Joined({kReset, kStatusQuery}), kFactoryStatus}}, [](sim::DeviceState& s) { s.input = 4; }),
    Case(Line::Tcp, "the reset on TCP", nullptr, {{kReset, {}}, {kStatusQuery, kFactoryStatus}},
         [](sim::DeviceState& s) { s.hdcp = 1; }),
    Case(Line::Pty, "noise and a bad frame are skipped", nullptr,
         {{Joined({{0x00, 0x50, 0x56, 0x13}, Corrupted(kStatusQuery), kStatusQuery}), kFactoryStatus}, {{}, {}}}),
    Case(Line::Pty, "paced answers arrive whole", [](SimOptions& o) { o.baud = 9600; },
         {{Joined({kStatusQuery, kStatusQuery, kStatusQuery}),
           Joined({kFactoryStatus, kFactoryStatus, kFactoryStatus})}}),
    Case(Line::Tcp, "drop every second", [](SimOptions& o) { o.dropEvery = 2; },
         {{kStatusQuery, kFactoryStatus}, {kStatusQuery, {}}, {kStatusQuery, kFactoryStatus}}),
    Case(Line::Tcp, "corrupt every second", [](SimOptions& o) { o.corruptEvery = 2; },
         {{kStatusQuery, kFactoryStatus}, {kStatusQuery, Corrupted(kFactoryStatus)}}),
    Case(Line::Tcp, "noise before every answer", [](SimOptions& o) { o.noiseBytes = 3; },
         {{kStatusQuery, Joined({{0x00, 0x11, 0x22}, kFactoryStatus})}}),
    Case(Line::Tcp, "drop by class", [](SimOptions& o) { o.dropClass = 0x22; },
         {{Wire({0x22, 0x0B}), {}}, {kStatusQuery, kFactoryStatus}}),
    Case(Line::Pty, "drop and noise on the serial line",
         [](SimOptions& o) {
             o.dropEvery = 2;
             o.noiseBytes = 2;
         },
         {{kStatusQuery, Joined({{0x00, 0x11}, kFactoryStatus})}, {kStatusQuery, {}}}),
    Case(Line::Pty, "every second answer held back",
         [](SimOptions& o) {
             o.delayEvery = 2;
             o.delayMs = 600;
         },
         {{kStatusQuery, kFactoryStatus}, {kStatusQuery, kFactoryStatus, Arrives::Late}}),
    Case(Line::Tcp, "a split answer comes in two pieces", [](SimOptions& o) { o.splitTcp = true; },
         {{kStatusQuery, Slice(kFactoryStatus, 0, 9), Arrives::AtOnce}, {{}, Slice(kFactoryStatus, 9, 18)}}),
    Case(Line::Tcp, "answers coalesced two at a time, a lone one still sent",
         [](SimOptions& o) { o.coalesceTcp = true; },
         {{Joined({kStatusQuery, kStatusQuery}), Joined({kFactoryStatus, kFactoryStatus}), Arrives::AtOnce},
          {kStatusQuery, kFactoryStatus}}),
    Case(Line::Tcp, "a mixer volume above the volume dropped by the fault",
         [](SimOptions& o) { o.dropMixerOverVolume = true; },
         {{Wire({0x24, 0x31, 0x20}), {}}, {Wire({0x24, 0x31, 0x10}), Wire({0x24, 0x31, 0x10})}}),
};

TEST(SimLine, AnswersOnEachLineWithItsFaults)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        SimOptions options;
        if (c.set) {
            c.set(options);
        }
        options.pty = c.line == Line::Pty;
        options.tcp = c.line == Line::Tcp;
        options.tcpPort = 0;
        LineSession s(c.line, options);
        ASSERT_TRUE(s.client.Ok());
        if (c.state) {
            s.sim.Modify(c.state);
        }
        ExpectExchanges(s.client, c.steps);
    }
    LineSession s(Line::Pty, Lines(true, false));
    ExpectExchanges(s.client, {{Joined({kReset, kStatusQuery}), kFactoryStatus}});
    EXPECT_EQ(s.sim.PtyResets(), 1);
}

TEST(SimLine, BaudCommandChangesThePacingUntilTheFactoryReset)
{
    LineSession s(Line::Pty, Lines(true, false));
    ASSERT_TRUE(s.client.Ok());
    EXPECT_EQ(s.sim.PtyBaud(), 115200u);
    const Bytes baud38400 = Wire({0x24, 0x51, 0x04});
    ExpectExchanges(s.client, {{baud38400, baud38400}, {kStatusQuery, kFactoryStatus}});
    EXPECT_TRUE(WaitUntil([&] { return s.sim.PtyBaud() == 38400u; }));
    ExpectExchanges(s.client, {{kReset, {}}, {kStatusQuery, kFactoryStatus}});
    EXPECT_TRUE(WaitUntil([&] { return s.sim.PtyBaud() == 115200u; }));
}

TEST(SimLine, PortLinkServesEachOpeningAndGoesWithTheStop)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velmora-sim-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    SimOptions options = Lines(true, false);
    options.portDir = dir.string();
    options.comNumber = 7;
    sim::Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    const fs::path link = dir / "com7";
    EXPECT_EQ(sim.LinkPath(), link.string());
    EXPECT_EQ(fs::read_symlink(link), fs::path(sim.PtyPath()));
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(OpenRaw(link.string()).Ask(kStatusQuery, kWireFrame), kFactoryStatus) << round;
    }
    sim.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    fs::remove_all(dir);
}

TEST(SimLine, SerialHangUpIsSeenAndLeavesTcpServing)
{
    SimOptions options = Lines(true, true);
    options.hangUpAfter = 2;
    LineSession s(Line::Pty, options);
    ASSERT_TRUE(s.client.Ok());
    ExpectExchanges(s.client, {{kStatusQuery, kFactoryStatus}, {kStatusQuery, kFactoryStatus}});
    ASSERT_TRUE(WaitUntil([&] { return s.sim.PtyHungUp(); }));
    pollfd pfd{s.client.Get(), POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, kReadTimeoutMs), 1);
    EXPECT_NE(pfd.revents & (POLLHUP | POLLERR), 0) << "the panel's side sees the hang-up";
    EXPECT_EQ(ConnectTcp(s.sim.TcpPort()).Ask(kStatusQuery, kWireFrame), kFactoryStatus);
}

TEST(SimLine, TcpConnectionsReplaceEachOtherAndCloseAfterTheirCount)
{
    SimOptions options = Lines(false, true);
    sim::Simulator first(options);
    ASSERT_TRUE(first.Start());
    EXPECT_GT(first.TcpPort(), 0);
    EXPECT_TRUE(first.PtyPath().empty());
    options.tcpPort = first.TcpPort();
    EXPECT_FALSE(sim::Simulator(options).Start()) << "the port is taken";

    const Fd old = ConnectTcp(first.TcpPort());
    EXPECT_EQ(old.Ask(kStatusQuery, kWireFrame), kFactoryStatus);
    EXPECT_EQ(ConnectTcp(first.TcpPort()).Ask(kStatusQuery, kWireFrame), kFactoryStatus);
    EXPECT_TRUE(old.Read(1).empty());
    EXPECT_TRUE(old.SawEof()) << "the new connection replaced the old";
    EXPECT_EQ(first.TcpConnections(), 2);

    options = Lines(false, true);
    options.closeTcpAfter = 2;
    sim::Simulator closing(options);
    ASSERT_TRUE(closing.Start());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const Fd link = ConnectTcp(closing.TcpPort());
        ExpectExchanges(link, {{kStatusQuery, kFactoryStatus}, {kStatusQuery, kFactoryStatus}});
        EXPECT_TRUE(link.Read(1).empty());
        EXPECT_TRUE(link.SawEof()) << round;
    }
}

constexpr int kSmallBuffer = 4096;

// Writes status queries on a link that reads no answer, until the switcher
// takes nothing more (both queues of the link standing still for a while)
// or lets the link go. False if neither happens.
bool FillUntilTheSwitcherStalls(const Fd& link)
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
        ::ioctl(link.Get(), FIONREAD, &unread);
        ::ioctl(link.Get(), TIOCOUTQ, &unsent);
        return std::pair{unread, unsent};
    };
    for (int round = 0; round < kMaxRounds; ++round) {
        if (::send(link.Get(), batch.data(), batch.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return true;  // let go
        }
        const auto before = queues();
        pollfd pfd{link.Get(), POLLOUT, 0};
        if (::poll(&pfd, 1, kQuietMs) == 0 && queues() == before) {
            return true;
        }
    }
    return false;
}

// A panel that stops reading while answers are due: the switcher lets it go
// for the next panel, and stops at once when told to meanwhile.
TEST(SimLine, PanelThatStopsReadingHoldsUpNeitherTheLineNorTheStop)
{
    SimOptions options = Lines(false, true);
    options.tcpSendBuffer = kSmallBuffer;
    auto sim = std::make_unique<sim::Simulator>(options);
    ASSERT_TRUE(sim->Start());
    Fd stuck = ConnectTcp(sim->TcpPort(), "127.0.0.1", kSmallBuffer);
    ASSERT_TRUE(FillUntilTheSwitcherStalls(stuck));
    const Fd next = ConnectTcp(sim->TcpPort());
    ASSERT_TRUE(next.Write(kStatusQuery));
    EXPECT_EQ(next.Read(kWireFrame, 2 * kReadTimeoutMs), kFactoryStatus) << "the panel that stopped reading was let go";

    Fd last = ConnectTcp(sim->TcpPort(), "127.0.0.1", kSmallBuffer);
    ASSERT_TRUE(FillUntilTheSwitcherStalls(last));
    auto stopped = std::async(std::launch::async, [&] { sim->Stop(); });
    const bool inTime = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    stuck.Close();  // frees a switcher stuck in a send, so that the test ends either way
    last.Close();
    stopped.get();
    EXPECT_TRUE(inTime) << "the stop waited for a panel that does not read";
}

// A receiver has a byte once its stop bits are through: byte k at the end
// of its slot, so a paced exchange takes at least 36 byte times.
TEST(LinePacer, EachByteIsDeliveredAtTheEndOfItsSlot)
{
    using std::chrono::nanoseconds;
    const sim::LinePacer pacer(115200);
    const nanoseconds byte = pacer.ByteTime();
    EXPECT_EQ(byte, nanoseconds(1'000'000'000LL * sim::kBitsPerByte / 115200));
    const std::pair<nanoseconds, std::size_t> cases[] = {
        {nanoseconds(-1), 0},
        {nanoseconds(0), 0},
        {byte - nanoseconds(1), 0},
        {byte, 1},
        {byte * 18 - nanoseconds(1), 17},
        {byte * 18, 18},
    };
    for (const auto& [elapsed, bytes] : cases) {
        EXPECT_EQ(pacer.BytesArrived(elapsed), bytes) << elapsed.count();
    }
}

}  // namespace
}  // namespace velmora::test
