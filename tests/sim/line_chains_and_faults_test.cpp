// Read chains over the pseudo-terminal, the faults the first line tests do
// not reach, and the serial speed following the Advanced page's setting.

#include "line_client.h"
#include "model_test_util.h"

#include "sim/simulator.h"

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

using namespace test;

SimOptions PtyOnly()
{
    SimOptions options;
    options.tcp = false;
    options.processingDelayMs = 0;
    return options;
}

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
const Bytes kNetworkStatus{0x50, 0x56, 0x54, 0x22, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x27};

TEST(PtyChains, NetworkReadChain)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    sim.Modify([](DeviceState& s) {
        s.dhcp = true;
        s.ip = {192, 168, 0, 100};
        s.subnet = {255, 255, 0, 0};
        s.gateway = {192, 168, 0, 1};
        s.mac = {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03};
        s.tcpPort = 8000;
    });
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(kNetworkStatus));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x22, 0x0B, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x36}));
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x27, 0x04})));
    EXPECT_EQ(port.Read(18),
              (Bytes{0x50, 0x56, 0x54, 0x27, 0x04, 192, 168, 0, 100, 255, 255, 0, 0, 192, 168, 0, 1, 0x58}));
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x22, 0x14})));
    EXPECT_EQ(port.Read(18),
              (Bytes{0x50, 0x56, 0x54, 0x22, 0x14, 0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03, 0, 0, 0, 0, 0, 0, 0x67}));
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x22, 0x78})));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x22, 0x78, 0x1F, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF3}));
}

TEST(PtyChains, VgaStepChain)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    // Clock up twice, read; then down once, read.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x24, 0x47, 0xF0})));
        EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x47, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x55}));
    }
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x24, 0x48})));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x48, 0x34, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x9A}));
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x24, 0x47, 0x0F})));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x47, 0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x74}));
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x24, 0x48})));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x48, 0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x99}));
    EXPECT_EQ(sim.Snapshot().clock, 51);
}

TEST(PtyChains, BaudCommandChangesThePacingAfterItsAnswer)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    EXPECT_EQ(sim.PtyBaud(), 115200u);
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x24, 0x51, 0x04})));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x51, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x73}));
    EXPECT_TRUE(Eventually([&] { return sim.PtyBaud() == 38400u; }));
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    // The factory reset brings the switcher back to 115200.
    ASSERT_TRUE(port.Write(Bytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(Eventually([&] { return sim.Snapshot().factoryResets == 1; }));
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    EXPECT_TRUE(Eventually([&] { return sim.PtyBaud() == 115200u; }));
}

TEST(PtyFaults, HangUpAfterTwoAnswers)
{
    SimOptions options = PtyOnly();
    options.hangUpAfter = 2;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(port.Write(kStatusQuery));
        EXPECT_EQ(port.Read(18), kFactoryStatus) << i;
    }
    ASSERT_TRUE(Eventually([&] { return sim.PtyHungUp(); }));
    pollfd pfd{port.Fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, kReadTimeoutMs), 1);
    EXPECT_NE(pfd.revents & (POLLHUP | POLLERR), 0) << "the panel's side sees the hang-up";
    sim.Stop();
}

TEST(PtyFaults, DelayHoldsEveryNthAnswerBack)
{
    SimOptions options = PtyOnly();
    options.delayEvery = 2;
    options.delayMs = 600;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    ASSERT_TRUE(port.Write(kStatusQuery));
    // Not there while the extra delay runs, there after it.
    EXPECT_TRUE(port.Read(1, 200).empty());
    EXPECT_EQ(port.Read(18), kFactoryStatus);
}

TEST(TcpFaults, DropByClass)
{
    SimOptions options = TcpOnly();
    options.dropClass = 0x22;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kNetworkStatus));
    EXPECT_TRUE(link.Read(1, kSilenceMs).empty());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

TEST(TcpFaults, CoalesceWritesTwoAnswersAtOnce)
{
    SimOptions options = TcpOnly();
    options.coalesceTcp = true;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    Bytes two = kStatusQuery;
    two.insert(two.end(), kStatusQuery.begin(), kStatusQuery.end());
    ASSERT_TRUE(link.Write(two));
    Bytes expected = kFactoryStatus;
    expected.insert(expected.end(), kFactoryStatus.begin(), kFactoryStatus.end());
    EXPECT_EQ(link.ReadOnce(), expected);
    // A lone answer still goes out once nothing joins it.
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

TEST(TcpFaults, CloseAfterCountsPerConnection)
{
    SimOptions options = TcpOnly();
    options.closeTcpAfter = 1;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    for (int round = 0; round < 2; ++round) {
        FdClient link = ConnectTcp(sim.TcpPort());
        ASSERT_TRUE(link.Ok());
        ASSERT_TRUE(link.Write(kStatusQuery));
        EXPECT_EQ(link.Read(18), kFactoryStatus) << round;
        EXPECT_TRUE(link.Read(1).empty());
        EXPECT_TRUE(link.SawEof()) << round;
    }
}

TEST(TcpFaults, SerialHangUpLeavesTcpServing)
{
    SimOptions options = TcpOnly();
    options.pty = true;
    options.hangUpAfter = 1;
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    ASSERT_TRUE(Eventually([&] { return sim.PtyHungUp(); }));
    FdClient link = ConnectTcp(sim.TcpPort());
    ASSERT_TRUE(link.Ok());
    ASSERT_TRUE(link.Write(kStatusQuery));
    EXPECT_EQ(link.Read(18), kFactoryStatus);
}

}  // namespace
}  // namespace velmora::sim
