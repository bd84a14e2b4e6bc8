// Read chains over the pseudo-terminal, the faults the first line tests do
// not reach, and the serial speed following the Advanced page's setting.

#include "line_session.h"

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

using namespace test;

TEST(LineChains, NetworkReadChainOnEitherLine)
{
    struct Case {
        Line line;
        bool dhcp;
        std::array<std::uint8_t, 4> ip, subnet, gateway;
        std::array<std::uint8_t, 6> mac;
        std::uint16_t port;
        Bytes answers[4];
    };
    const Case cases[] = {
        {Line::Pty,
         true,
         {192, 168, 0, 100},
         {255, 255, 0, 0},
         {192, 168, 0, 1},
         {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03},
         8000,
         {Frame({0x50, 0x56, 0x54, 0x22, 0x0B, 0x0F}),
          Frame({0x50, 0x56, 0x54, 0x27, 0x04, 192, 168, 0, 100, 255, 255, 0, 0, 192, 168, 0, 1}),
          Frame({0x50, 0x56, 0x54, 0x22, 0x14, 0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03}),
          Frame({0x50, 0x56, 0x54, 0x22, 0x78, 0x1F, 0x40})}},
        {Line::Tcp,
         false,
         {10, 0, 0, 5},
         {255, 255, 255, 0},
         {10, 0, 0, 1},
         {0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A},
         8080,
         {Frame({0x50, 0x56, 0x54, 0x22, 0x0B, 0xF0}),
          Frame({0x50, 0x56, 0x54, 0x27, 0x04, 10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1}),
          Frame({0x50, 0x56, 0x54, 0x22, 0x14, 0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A}),
          Frame({0x50, 0x56, 0x54, 0x22, 0x78, 0x1F, 0x90})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line == Line::Pty ? "pty" : "tcp");
        LineSession s(c.line, c.line == Line::Pty ? PtyOnly() : TcpOnly());
        ASSERT_TRUE(s.Ok());
        s.sim.Modify([&](DeviceState& state) {
            state.dhcp = c.dhcp;
            state.ip = c.ip;
            state.subnet = c.subnet;
            state.gateway = c.gateway;
            state.mac = c.mac;
            state.tcpPort = c.port;
        });
        ExpectExchanges(s.client, {{kNetworkStatus, c.answers[0]},
                                   {Frame({0x50, 0x56, 0x54, 0x27, 0x04}), c.answers[1]},
                                   {Frame({0x50, 0x56, 0x54, 0x22, 0x14}), c.answers[2]},
                                   {Frame({0x50, 0x56, 0x54, 0x22, 0x78}), c.answers[3]}});
    }
}

TEST(PtyChains, VgaStepChain)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    const Bytes up = Frame({0x50, 0x56, 0x54, 0x24, 0x47, 0xF0});
    const Bytes down = Frame({0x50, 0x56, 0x54, 0x24, 0x47, 0x0F});
    const Bytes read = Frame({0x50, 0x56, 0x54, 0x24, 0x48});
    // Clock up twice, read; then down once, read.
    ExpectExchanges(s.client, {{up, up},
                               {up, up},
                               {read, Frame({0x50, 0x56, 0x54, 0x24, 0x48, 0x34})},
                               {down, down},
                               {read, Frame({0x50, 0x56, 0x54, 0x24, 0x48, 0x33})}});
    EXPECT_EQ(s.sim.Snapshot().clock, 51);
}

TEST(PtyChains, BaudCommandChangesThePacingAfterItsAnswer)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(s.sim.PtyBaud(), 115200u);
    const Bytes baud38400 = Frame({0x50, 0x56, 0x54, 0x24, 0x51, 0x04});
    EXPECT_EQ(Ask(s.client, baud38400), baud38400);
    EXPECT_TRUE(Eventually([&] { return s.sim.PtyBaud() == 38400u; }));
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
    // The factory reset brings the switcher back to 115200.
    ASSERT_TRUE(s.client.Write(kReset));
    ASSERT_TRUE(Eventually([&] { return s.sim.Snapshot().factoryResets == 1; }));
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
    EXPECT_TRUE(Eventually([&] { return s.sim.PtyBaud() == 115200u; }));
}

TEST(PtyFaults, HangUpAfterTwoAnswers)
{
    SimOptions options = PtyOnly();
    options.hangUpAfter = 2;
    LineSession s(Line::Pty, options);
    ASSERT_TRUE(s.Ok());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus) << i;
    }
    ASSERT_TRUE(Eventually([&] { return s.sim.PtyHungUp(); }));
    pollfd pfd{s.client.Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, kReadTimeoutMs), 1);
    EXPECT_NE(pfd.revents & (POLLHUP | POLLERR), 0) << "the panel's side sees the hang-up";
    s.sim.Stop();
}

TEST(PtyFaults, DelayHoldsEveryNthAnswerBack)
{
    SimOptions options = PtyOnly();
    options.delayEvery = 2;
    options.delayMs = 600;
    LineSession s(Line::Pty, options);
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
    ASSERT_TRUE(s.client.Write(kStatusQuery));
    // Not there while the extra delay runs, there after it.
    EXPECT_TRUE(s.client.Read(1, 200).empty());
    EXPECT_EQ(s.client.Read(18), kFactoryStatus);
}

TEST(TcpFaults, CoalesceWritesTwoAnswersAtOnce)
{
    SimOptions options = TcpOnly();
    options.coalesceTcp = true;
    LineSession s(Line::Tcp, options);
    ASSERT_TRUE(s.Ok());
    ASSERT_TRUE(s.client.Write(Joined({kStatusQuery, kStatusQuery})));
    EXPECT_EQ(s.client.ReadOnce(), Joined({kFactoryStatus, kFactoryStatus}));
    // A lone answer still goes out once nothing joins it.
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
}

TEST(TcpFaults, CloseAfterCountsPerConnection)
{
    SimOptions options = TcpOnly();
    options.closeTcpAfter = 1;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    for (int round = 0; round < 2; ++round) {
        FdClient link = ConnectTcp(sim.TcpPort());
        EXPECT_EQ(Ask(link, kStatusQuery), kFactoryStatus) << round;
        EXPECT_TRUE(link.Read(1).empty());
        EXPECT_TRUE(link.SawEof()) << round;
    }
}

TEST(TcpFaults, SerialHangUpLeavesTcpServing)
{
    SimOptions options = TcpOnly();
    options.pty = true;
    options.hangUpAfter = 1;
    LineSession s(Line::Pty, options);
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
    ASSERT_TRUE(Eventually([&] { return s.sim.PtyHungUp(); }));
    FdClient link = ConnectTcp(s.sim.TcpPort());
    EXPECT_EQ(Ask(link, kStatusQuery), kFactoryStatus);
}

}  // namespace
}  // namespace velmora::sim
