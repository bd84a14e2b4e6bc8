// The panel over a pseudo-terminal against the simulated switcher with line
// noise before every answer and some answers late, connected and
// disconnected again and again: each connection asks for the status, changes
// the input (three answers in a row) and a few lists; every fourth ends in
// the middle of an answer, whose cut-off start must not cost the next
// connection its first answer.

#include "soak_support.h"

#include "e2e/sim_panel_fixture.h"
#include "serial/pty_support.h"

namespace velmora::test {
namespace {

constexpr int kListsPerCycle = 4;
constexpr int kCutEvery = 4;
constexpr int kInputChainAnswers = 3;  // input accepted, its audio source, done

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

    // Sends with `act`, which expects `count` answers, and waits for them.
    void ExpectAnswers(const std::function<void()>& act, int count)
    {
        const int before = panel->ReceiveLogFrames();
        act();
        answersDue += count;
        ASSERT_TRUE(PumpUntil([&] { return FramesSince(*panel, before) >= count; }, 3s))
            << FramesSince(*panel, before) << " of " << count;
        ASSERT_EQ(FramesSince(*panel, before), count) << "no frame twice";
    }

    void ConnectAndAskStatus()
    {
        ExpectAnswers([&] { Connect(); }, 1);  // the status query
        const auto autoSwitch = static_cast<std::uint8_t>(simulator->Snapshot().autoSwitch - 1);
        expected.push_back({protocol::kGeneralStatus.cls, protocol::kGeneralStatus.cmd, autoSwitch});
    }

    void ChangeInput(std::uint8_t input)
    {
        ExpectAnswers([&] { Button(c::kInputButtons[input - 1])->click(); }, kInputChainAnswers);
        expected.push_back({protocol::kSelectInput.cls, protocol::kSelectInput.cmd, protocol::kInputAccepted});
        expected.push_back({protocol::kQueryAudioSource.cls, protocol::kQueryAudioSource.cmd, input});
        expected.push_back({protocol::kInputChangeDone.cls, protocol::kInputChangeDone.cmd, 0});
        ASSERT_TRUE(panel->Token().Ready());
    }

    void ChooseResolution(int cycle, int k)
    {
        const int position = (cycle + k) % panel->ControlAs<platform::ComboBox>(c::kResolutionList)->GetCount();
        ExpectAnswers([&] { expected.push_back(ChooseFromList(*panel, c::kResolutionList, position)); }, 1);
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
        ASSERT_TRUE(PumpUntil([&] { return ThreadsNamed(transport::kSerialWorkerName) == 0; }));
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
        ASSERT_NO_FATAL_FAILURE(ConnectAndAskStatus());
        ASSERT_NO_FATAL_FAILURE(ChangeInput(static_cast<std::uint8_t>(cycle % protocol::kInputCount + 1)));
        for (int k = 0; k < kListsPerCycle; ++k) {
            ASSERT_NO_FATAL_FAILURE(ChooseResolution(cycle, k));
        }
        if (cycle % kCutEvery == kCutEvery - 1) {
            ASSERT_NO_FATAL_FAILURE(DisconnectMidAnswer());
        } else {
            ASSERT_NO_FATAL_FAILURE(Disconnect());
        }
        if (!start) {
            // After the first round: what a closed port keeps is there from now on.
            start = ProcessCounts{};
        }
    }
    EXPECT_EQ(recorder->handled, expected);
    EXPECT_EQ(simulator->PtyAnswersWritten(), answersDue) << "the switcher answered every command";
    EXPECT_GT(cuts, 0) << "some connections ended mid-answer";
    EXPECT_TRUE(PumpUntil([&] { return ProcessCounts{}.NoMoreThan(*start); }))
        << "threads " << ProcessCounts{}.threads << " (" << start->threads << "), descriptors "
        << ProcessCounts{}.descriptors << " (" << start->descriptors << ")";
    std::printf("[ note ] %d connections, %ld commands answered, %zu replies handled, %d cut mid-answer\n", kPtyCycles,
                answersDue, recorder->handled.size(), cuts);
}

}  // namespace
}  // namespace velmora::test
