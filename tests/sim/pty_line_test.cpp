// The simulator over a real pseudo-terminal.

#include "line_client.h"
#include "model_test_util.h"

#include "sim/line_pacer.h"
#include "sim/simulator.h"

#include <filesystem>
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

const Bytes kStatusQuery{0x50, 0x56, 0x54, 0x27, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22};
const Bytes kFactoryStatus{0x50, 0x56, 0x54, 0x27, 0x01, 0x00, 0x01, 0x00, 0x00, 0x0C, 0x01, 0x04, 0x01, 0, 0, 0, 0, 0x35};
const Bytes kReset{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0};

TEST(PtyLine, AnswersTheGeneralStatus)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    ASSERT_FALSE(sim.PtyPath().empty());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
}

TEST(PtyLine, InputChangeChainToHdmi3)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    // "select HDMI 3" begins with the reset's 13 bytes; the checksum follows at once.
    ASSERT_TRUE(port.Write(Bytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x03}));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}));
    ASSERT_TRUE(port.Write(Bytes{0x50, 0x56, 0x54, 0x24, 0x08, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x29}));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x08, 0x03, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x29}));
    ASSERT_TRUE(port.Write(Bytes{0x50, 0x56, 0x54, 0x24, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x30}));
    EXPECT_EQ(port.Read(18), (Bytes{0x50, 0x56, 0x54, 0x24, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x30}));
    EXPECT_EQ(sim.Snapshot().input, 3);
    EXPECT_EQ(sim.Snapshot().factoryResets, 0);
}

TEST(PtyLine, ThirteenByteResetAfterAnIdleGap)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    ASSERT_TRUE(port.Write(Frame({0x50, 0x56, 0x54, 0x0A, 0x06, 0x03})));
    ASSERT_EQ(port.Read(18).size(), 18u);
    ASSERT_EQ(sim.Snapshot().resolution, 3);

    ASSERT_TRUE(port.Write(kReset));
    EXPECT_TRUE(Eventually([&] { return sim.Snapshot().factoryResets == 1; }));
    EXPECT_EQ(sim.Snapshot().resolution, 13);
    EXPECT_TRUE(port.Read(1, kSilenceMs).empty()) << "the reset is not answered";
    ASSERT_TRUE(port.Write(kStatusQuery));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
}

TEST(PtyLine, ResetFollowedAtOnceByAFrame)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    sim.Modify([](DeviceState& s) { s.input = 4; });
    Bytes both = kReset;
    both.insert(both.end(), kStatusQuery.begin(), kStatusQuery.end());
    ASSERT_TRUE(port.Write(both));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    EXPECT_EQ(sim.Snapshot().factoryResets, 1);
    EXPECT_EQ(sim.PtyResets(), 1);
}

TEST(PtyLine, NoiseAndBadFramesAreSkipped)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    Bytes bad = kStatusQuery;
    bad[17] = 0x23;
    Bytes stream{0x00, 0x50, 0x56, 0x13};
    stream.insert(stream.end(), bad.begin(), bad.end());
    stream.insert(stream.end(), kStatusQuery.begin(), kStatusQuery.end());
    ASSERT_TRUE(port.Write(stream));
    EXPECT_EQ(port.Read(18), kFactoryStatus);
    EXPECT_TRUE(port.Read(1, kSilenceMs).empty());
}

TEST(PtyLine, SurvivesThePanelClosingAndReopening)
{
    Simulator sim(PtyOnly());
    ASSERT_TRUE(sim.Start());
    for (int round = 0; round < 3; ++round) {
        FdClient port = OpenPty(sim.PtyPath());
        ASSERT_TRUE(port.Ok());
        ASSERT_TRUE(port.Write(kStatusQuery));
        EXPECT_EQ(port.Read(18), kFactoryStatus) << "round " << round;
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
        ASSERT_TRUE(port.Ok());
        ASSERT_TRUE(port.Write(kStatusQuery));
        EXPECT_EQ(port.Read(18), kFactoryStatus);
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
    Simulator sim(options);
    ASSERT_TRUE(sim.Start());
    FdClient port = OpenPty(sim.PtyPath());
    ASSERT_TRUE(port.Ok());
    Bytes three;
    for (int i = 0; i < 3; ++i) {
        three.insert(three.end(), kStatusQuery.begin(), kStatusQuery.end());
    }
    ASSERT_TRUE(port.Write(three));
    const Bytes got = port.Read(54);
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
