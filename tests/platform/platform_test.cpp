// The window platform: sorted and explicit list insertion, timers by id on
// the manual clock, and messages posted and sent across threads.

#include "gui_helpers.h"
#include "platform/combo_box.h"
#include "platform/timers.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace velmora::platform;
using namespace std::chrono_literals;

TEST(ComboBox, SortedListKeepsTextOrderAndExplicitInsertWins)
{
    ComboBox sorted(true, false);
    sorted.AddString("10.0.0.3");
    sorted.AddString("10.0.0.20");
    sorted.AddString("192.168.0.1");
    EXPECT_EQ(sorted.GetLBText(0), "10.0.0.20");
    EXPECT_EQ(sorted.GetLBText(1), "10.0.0.3");
    sorted.InsertString(0, "zzz");
    EXPECT_EQ(sorted.GetLBText(0), "zzz");
    sorted.SetCurSel(7);
    EXPECT_EQ(sorted.GetCurSel(), -1) << "an out-of-range selection clears it";
    sorted.DeleteString(42);  // ignored
    EXPECT_EQ(sorted.GetCount(), 4);
}

namespace {

class TimerWindow : public Window {
public:
    void OnTimer(int id) override
    {
        fired.push_back({id, TimerScheduler::Instance().NowMs()});
        if (id == 2) {
            KillTimer(2);  // a one-shot stops itself
        }
    }
    std::vector<std::pair<int, std::int64_t>> fired;
};

}  // namespace

TEST(Timers, ManualClockFiresDueTimersInTimeOrder)
{
    auto& scheduler = TimerScheduler::Instance();
    scheduler.UseManualClock(true);
    TimerWindow window;
    const auto start = scheduler.NowMs();
    window.SetTimer(1, 600);
    window.SetTimer(2, 900);
    scheduler.Advance(1800);
    std::vector<std::pair<int, std::int64_t>> expected{
        {1, start + 600}, {2, start + 900}, {1, start + 1200}, {1, start + 1800}};
    EXPECT_EQ(window.fired, expected);
    EXPECT_TRUE(window.TimerRunning(1));
    EXPECT_FALSE(window.TimerRunning(2));
    window.SetTimer(1, 100);  // restarting replaces the period
    scheduler.Advance(250);
    EXPECT_EQ(window.fired.size(), 6u);
    scheduler.UseManualClock(false);
}

TEST(Timers, AKilledTimerNeverFiresAgain)
{
    constexpr int kRepeating = 1;
    TimerWindow window;
    window.SetTimer(kRepeating, 10);
    ASSERT_TRUE(velmora::test::PumpUntil([&] { return window.fired.size() == 1; }));
    window.KillTimer(kRepeating);
    // Also where deferred deletions wait for an outer loop, as under a test's pump.
    velmora::test::PumpFor(100ms);
    EXPECT_EQ(window.fired.size(), 1u);
    EXPECT_FALSE(window.TimerRunning(kRepeating));
}

TEST(Messages, SendFromAnotherThreadWaitsUntilHandled)
{
    Window window;
    std::vector<int> seen;
    window.OnMessage(0x500, [&](WParam w, LParam) {
        seen.push_back(static_cast<int>(w));
        return LResult{0};
    });
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int i = 0; i < 50; ++i) {
            window.Send(0x500, static_cast<WParam>(i));
        }
        done = true;
    });
    ASSERT_TRUE(velmora::test::PumpUntil([&] { return done.load(); }, 5s));
    sender.join();
    ASSERT_EQ(seen.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(seen[i], i);
    }
}

TEST(Messages, ClosingTheGateReleasesABlockedSenderAndDropsItsMessage)
{
    Window window;
    int handled = 0;
    window.OnMessage(0x501, [&](WParam, LParam) { return LResult{++handled}; });
    auto gate = std::make_shared<DeliveryGate>();
    std::atomic<bool> returned{false};
    std::atomic<bool> delivered{true};
    std::thread sender([&] {
        delivered = SendAndWait(&window, 0x501, 0, 0, gate);
        returned = true;
    });
    // The main thread does not pump: the sender stays blocked until the gate closes.
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(returned.load());
    gate->Close();
    sender.join();
    EXPECT_FALSE(delivered.load());
    velmora::test::PumpFor(20ms);
    EXPECT_EQ(handled, 0) << "a message of a closed gate is never handled";
}
