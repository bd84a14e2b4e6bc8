// The panel over TCP with answers coalesced, delayed and corrupted, reconnected
// again and again, each time a burst of list commands: every answer arrives
// once, the corrupted ones reach no page.

#include "soak_support.h"

#include "tcp/tcp_fixture.h"

namespace velmora::test {
namespace {

constexpr int kBurst = 10;  // even: answers go out in pairs
constexpr int kCorruptEvery = 9;

class TcpSoak : public TcpPanelTest {};

TEST_F(TcpSoak, BurstsAreAnsweredOnceAcrossReconnects)
{
    serial_test::Watchdog watchdog(170s, "tcp soak");
    sim::SimOptions options;
    options.coalesceTcp = true;
    options.delayEvery = 7;
    options.delayMs = 2;
    options.corruptEvery = kCorruptEvery;
    ASSERT_NO_FATAL_FAILURE(StartSimulator(options));
    RecordingReceiver recorder(*panel);
    std::vector<Reply> expected;
    long answers = 0;
    // Qt paints large areas with threads of a pool of its own, started at the
    // first such paint: the soak counts from a window painted once.
    ASSERT_TRUE(PumpUntil([&] { return panel->windowHandle() && panel->windowHandle()->isExposed(); }));
    panel->repaint();
    const ProcessCounts start;
    const int lists[] = {c::kResolutionList, c::kAutoSwitchList, c::kAspectList};

    for (int round = 0; round < kTcpReconnects; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(ConnectTo(simAddress));
        ASSERT_TRUE(panel->Token().Ready());
        const int before = panel->ReceiveLogFrames();
        for (int k = 0; k < kBurst; ++k) {
            const int list = lists[k % std::size(lists)];
            const Reply reply = ChooseFromList(*panel, list, (round + k) % List(list)->GetCount());
            if (++answers % kCorruptEvery != 0) {
                expected.push_back(reply);
            }
        }
        ASSERT_TRUE(PumpUntil([&] { return FramesSince(*panel, before) >= kBurst; }, 5s))
            << FramesSince(*panel, before) << " of " << kBurst;
        ASSERT_EQ(FramesSince(*panel, before), kBurst) << "no frame twice";
        Button(c::kTcpConnect)->click();  // Disconnect
        ASSERT_EQ(ConnectText(), "Connect");
    }
    EXPECT_EQ(recorder.handled, expected);
    EXPECT_EQ(simulator->TcpConnections(), kTcpReconnects);
    // The switcher notices each close on its own thread.
    EXPECT_TRUE(PumpUntil([&] { return ProcessCounts{}.NoMoreThan(start); }))
        << ProcessCounts{}.Text() << " (at the start " << start.Text() << ")";
}

}  // namespace
}  // namespace velmora::test
