// The simulator over a real pseudo-terminal.

#include "line_session.h"

#include "sim/line_pacer.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

using namespace test;

TEST(PtyLine, AnswersTheGeneralStatus)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_FALSE(s.sim.PtyPath().empty());
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
}

TEST(PtyLine, InputChangeChainToHdmi3)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    // "select HDMI 3" begins with the reset's 13 bytes; the checksum follows at once.
    const Bytes selectHdmi3 = Joined({kReset, {0, 0, 0, 0, 0x03}});
    const Bytes inputTo3 = Frame({0x50, 0x56, 0x54, 0x24, 0x08, 0x03});
    const Bytes refresh = Frame({0x50, 0x56, 0x54, 0x24, 0x12});
    ExpectExchanges(
        s.client,
        {{selectHdmi3, Frame({0x50, 0x56, 0x54, 0x02, 0x03, 0x00})}, {inputTo3, inputTo3}, {refresh, refresh}});
    EXPECT_EQ(s.sim.Snapshot().input, 3);
    EXPECT_EQ(s.sim.Snapshot().factoryResets, 0);
}

TEST(PtyLine, ThirteenByteResetAfterAnIdleGap)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(Ask(s.client, Frame({0x50, 0x56, 0x54, 0x0A, 0x06, 0x03})).size(), 18u);
    ASSERT_EQ(s.sim.Snapshot().resolution, 3);

    ASSERT_TRUE(s.client.Write(kReset));
    EXPECT_TRUE(Eventually([&] { return s.sim.Snapshot().factoryResets == 1; }));
    EXPECT_EQ(s.sim.Snapshot().resolution, 13);
    EXPECT_TRUE(s.client.Read(1, kSilenceMs).empty()) << "the reset is not answered";
    EXPECT_EQ(Ask(s.client, kStatusQuery), kFactoryStatus);
}

TEST(PtyLine, ResetFollowedAtOnceByAFrame)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    s.sim.Modify([](DeviceState& state) { state.input = 4; });
    EXPECT_EQ(Ask(s.client, Joined({kReset, kStatusQuery})), kFactoryStatus);
    EXPECT_EQ(s.sim.Snapshot().factoryResets, 1);
    EXPECT_EQ(s.sim.PtyResets(), 1);
}

TEST(PtyLine, NoiseAndBadFramesAreSkipped)
{
    LineSession s(Line::Pty, PtyOnly());
    ASSERT_TRUE(s.Ok());
    Bytes bad = kStatusQuery;
    bad[17] = 0x23;
    EXPECT_EQ(Ask(s.client, Joined({{0x00, 0x50, 0x56, 0x13}, bad, kStatusQuery})), kFactoryStatus);
    EXPECT_TRUE(s.client.Read(1, kSilenceMs).empty());
}

TEST(PtyLine, SurvivesThePanelClosingAndReopening)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    for (int round = 0; round < 3; ++round) {
        FdClient port = OpenPty(sim.PtyPath());
        EXPECT_EQ(Ask(port, kStatusQuery), kFactoryStatus) << "round " << round;
    }
}

TEST(PtyLine, LinksIntoThePortDirectoryAndRemovesTheLink)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velmora-sim-test-" + std::to_string(::getpid()));
    SimOptions options = PtyOnly();
    options.portDir = dir.string();
    options.comNumber = 7;
    {
        Simulator sim(options);
        ASSERT_TRUE(sim.Start());
        const fs::path link = dir / "com7";
        EXPECT_EQ(sim.LinkPath(), link.string());
        EXPECT_EQ(fs::read_symlink(link), fs::path(sim.PtyPath()));
        FdClient port = OpenPty(link.string());
        EXPECT_EQ(Ask(port, kStatusQuery), kFactoryStatus);
        sim.Stop();
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
    fs::remove_all(dir);
}

TEST(PtyLine, PacedAnswersStillArriveWhole)
{
    SimOptions options = PtyOnly();
    options.baud = 9600;
    options.processingDelayMs = 2;
    LineSession s(Line::Pty, options);
    ASSERT_TRUE(s.Ok());
    const Bytes got = Ask(s.client, Joined({kStatusQuery, kStatusQuery, kStatusQuery}), 54);
    ASSERT_EQ(got.size(), 54u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Bytes(got.begin() + i * 18, got.begin() + (i + 1) * 18), kFactoryStatus);
    }
}

// A receiver has a byte once its stop bits are through: byte k at the end
// of its slot. A paced exchange (command in, answer out) therefore takes at
// least 36 byte times from the command's first start bit to the answer's
// last stop bit.
TEST(LinePacer, EachByteIsDeliveredAtTheEndOfItsSlot)
{
    using std::chrono::nanoseconds;
    const LinePacer pacer(115200);
    const nanoseconds byte = pacer.ByteTime();
    EXPECT_EQ(byte, nanoseconds(1'000'000'000LL * kBitsPerByte / 115200));
    EXPECT_EQ(pacer.BytesArrived(nanoseconds(0)), 0u);
    EXPECT_EQ(pacer.BytesArrived(byte - nanoseconds(1)), 0u);
    EXPECT_EQ(pacer.BytesArrived(byte), 1u);
    EXPECT_EQ(pacer.BytesArrived(byte * 18 - nanoseconds(1)), 17u);
    EXPECT_EQ(pacer.BytesArrived(byte * 18), 18u);
    EXPECT_EQ(pacer.BytesArrived(nanoseconds(-1)), 0u);

    // The answer starts when the command's 18th byte is in.
    const nanoseconds commandIn = byte * 18;
    EXPECT_EQ(pacer.BytesArrived(byte * 36 - nanoseconds(1) - commandIn), 17u) << "answer whole before 36 byte times";
    EXPECT_EQ(pacer.BytesArrived(byte * 36 - commandIn), 18u);
}

}  // namespace
}  // namespace velmora::sim
