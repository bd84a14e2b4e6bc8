// The panel over a noisy, sometimes late pseudo-terminal, connected again and
// again; every fourth connection ends mid-answer, which must not cost the
// next one its first answer.

#include "soak_support.h"

#include "e2e/sim_panel_fixture.h"

namespace velmora::test {
namespace {

constexpr int kListsPerCycle = 4;
constexpr int kCutEvery = 4;

class PtySoak : public PanelWithSimulator {
protected:
    void SetUp() override
    {
        sim::SimOptions options;
        // The panel takes what one read brings in one go: at this speed an
        // answer arrives over some ten milliseconds, so even a busy machine
        // sees it begun and not yet whole.
        options.baud = 19200;
        options.noiseBytes = 24;
        options.delayEvery = 5;
        options.delayMs = 3;
        ASSERT_NO_FATAL_FAILURE(StartWith(options));
        recorder = std::make_unique<RecordingReceiver>(*panel);
    }
    void TearDown() override
    {
        recorder.reset();
        PanelWithSimulator::TearDown();
    }

    // Runs `act`, which sends commands and says the replies due, and waits for their answers.
    void ExpectAnswers(const std::function<std::vector<Reply>()>& act)
    {
        const int before = panel->ReceiveLogFrames();
        const std::vector<Reply> replies = act();
        const int count = static_cast<int>(replies.size());
        answersDue += count;
        ASSERT_TRUE(PumpUntil([&] { return FramesSince(*panel, before) >= count; }, 3s))
            << FramesSince(*panel, before) << " of " << count;
        ASSERT_EQ(FramesSince(*panel, before), count) << "no frame twice";
        expected.insert(expected.end(), replies.begin(), replies.end());
    }

    // One more command, and Disconnect once its answer has begun to arrive.
    void DisconnectMidAnswer()
    {
        const int before = panel->ReceiveLogFrames();
        const Reply reply = ChooseFromList(*panel, c::kAspectList, 0);
        ++answersDue;
        // Event by event, so that the moment between the frame's start and
        // its end is not passed over.
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!panel->SerialReplies().Synchronised() && FramesSince(*panel, before) == 0) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no answer";
            QCoreApplication::processEvents();
        }
        if (FramesSince(*panel, before) == 0) {
            ++cuts;
        } else {
            expected.push_back(reply);  // it came whole before the cut could fall
        }
        Disconnect();
    }

    void Disconnect()
    {
        Button(c::kComConnect)->click();
        ASSERT_FALSE(panel->Connection().ComOpen());
        // The switcher's last bytes are out before the next connection.
        ASSERT_TRUE(PumpUntil([&] { return simulator->PtyAnswersWritten() == answersDue; }, 3s));
        ASSERT_TRUE(PumpUntil([&] { return CountEntries("/proc/self/task", transport::kSerialWorkerName) == 0; }));
    }

    std::unique_ptr<RecordingReceiver> recorder;
    std::vector<Reply> expected;
    long answersDue = 0;  // one answer for each command sent
    int cuts = 0;
};

TEST_F(PtySoak, EveryCommandIsAnsweredOnceAcrossConnectDisconnectCycles)
{
    serial_test::Watchdog watchdog(170s, "pty soak");
    std::optional<ProcessCounts> start;
    for (int cycle = 0; cycle < kPtyCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        const auto autoSwitch = static_cast<std::uint8_t>(simulator->Snapshot().autoSwitch - 1);
        ASSERT_NO_FATAL_FAILURE(ExpectAnswers([&] {
            Connect();
            return std::vector<Reply>{{protocol::kGeneralStatus.cls, protocol::kGeneralStatus.cmd, autoSwitch}};
        }));
        const auto input = static_cast<std::uint8_t>(cycle % protocol::kInputCount + 1);
        ASSERT_NO_FATAL_FAILURE(ExpectAnswers([&] {
            Button(c::kInputButtons[input - 1])->click();
            return std::vector<Reply>{
                {protocol::kSelectInput.cls, protocol::kSelectInput.cmd, protocol::kInputAccepted},
                {protocol::kQueryAudioSource.cls, protocol::kQueryAudioSource.cmd, input},
                {protocol::kInputChangeDone.cls, protocol::kInputChangeDone.cmd, 0}};
        }));
        ASSERT_TRUE(panel->Token().Ready());
        for (int k = 0; k < kListsPerCycle; ++k) {
            const int position = (cycle + k) % List(c::kResolutionList)->GetCount();
            ASSERT_NO_FATAL_FAILURE(ExpectAnswers(
                [&] { return std::vector<Reply>{ChooseFromList(*panel, c::kResolutionList, position)}; }));
        }
        if (cycle % kCutEvery == kCutEvery - 1) {
            ASSERT_NO_FATAL_FAILURE(DisconnectMidAnswer());
        } else {
            ASSERT_NO_FATAL_FAILURE(Disconnect());
        }
        if (!start) {
            start = ProcessCounts{};  // after the first round: what a closed port keeps is there from now on
        }
    }
    EXPECT_EQ(recorder->handled, expected);
    EXPECT_EQ(simulator->PtyAnswersWritten(), answersDue) << "the switcher answered every command";
    EXPECT_GT(cuts, 0) << "some connections ended mid-answer";
    EXPECT_TRUE(PumpUntil([&] { return ProcessCounts{}.NoMoreThan(*start); }))
        << ProcessCounts{}.Text() << " (at the start " << start->Text() << ")";
}

}  // namespace
}  // namespace velmora::test
