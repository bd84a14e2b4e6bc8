// The panel over TCP against the simulated switcher that holds answers back
// to send them two at a time, delays some and corrupts others, reconnected
// again and again: each connection sends a burst of list commands without
// waiting. Every answer arrives once; the corrupted ones reach no page.

#include "soak_support.h"

#include "serial/pty_support.h"
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
    ASSERT_TRUE(PaintOnce(*panel));
    const ProcessCounts start;
    const int lists[] = {c::kResolutionList, c::kAutoSwitchList, c::kAspectList};

    for (int round = 0; round < kTcpReconnects; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(ConnectTo(simAddress));
        ASSERT_TRUE(panel->Token().Ready());
        const int before = panel->ReceiveLogFrames();
        for (int k = 0; k < kBurst; ++k) {
            const int list = lists[k % std::size(lists)];
            const int position = (round + k) % List(list)->GetCount();
            const Reply reply = ChooseFromList(*panel, list, position);
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
        << "threads " << ProcessCounts{}.threads << " (" << start.threads << "), descriptors "
        << ProcessCounts{}.descriptors << " (" << start.descriptors << ")";
    std::printf("[ note ] %d connections, %ld commands answered, %zu replies handled, %ld corrupted\n", kTcpReconnects,
                answers, recorder.handled.size(), answers / kCorruptEvery);
}

}  // namespace
}  // namespace velmora::test
