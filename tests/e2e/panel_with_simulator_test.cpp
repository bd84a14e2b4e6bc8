// The panel against the simulated switcher over a pseudo-terminal, driven
// through the real widgets as an operator would.

#include "sim_panel_fixture.h"

namespace velmora::test {

TEST_F(PanelWithSimulator, ConnectFillsTheGeneralPageFromTheSwitcher)
{
    Connect();
    // Factory state: HDMI 1, auto switch off, AUTO resolution, 16:9, EDID AUTO, pass-through.
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi1)->isChecked(); }, 3s));
    EXPECT_EQ(List(c::kAutoSwitchList)->currentText(), "OFF");
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "AUTO");
    EXPECT_EQ(List(c::kAspectList)->currentText(), "16:9  ");
    EXPECT_EQ(List(c::kEdidList)->currentText(), "EDID AUTO");
    EXPECT_EQ(List(c::kHdcpList)->currentText(), "Pass Through");
}

TEST_F(PanelWithSimulator, InputChangesAndListsReachTheSwitcher)
{
    // An input change is a chain of three answers (accepted, audio source,
    // done). The token is free between them, so the next step waits for the
    // chain's end: a command sent mid-chain would take the shared frame the
    // chain still reads.
    constexpr std::uint64_t kChainAnswers = 3;
    const auto clickInputAndFinishChain = [&](QAbstractButton* input) {
        const std::uint64_t before = panel->Dispatcher().Dispatched();
        input->click();
        return PumpUntil([&] { return panel->Dispatcher().Dispatched() >= before + kChainAnswers; }, 3s);
    };
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi1)->isChecked(); }, 3s));
    ASSERT_TRUE(clickInputAndFinishChain(Button(c::kVga)));
    ASSERT_EQ(simulator->Snapshot().input, 5);
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tExt 1 \t"; }, 3s));
    EXPECT_TRUE(Button(c::kVga)->isChecked());

    Choose(c::kResolutionList, 2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
    Choose(c::kEdidList, 0);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().edid == 1; }, 3s));
    Choose(c::kAudioList, 2);  // "Ext 3" while VGA is the input
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().audioSource[4] == 3; }, 3s));

    ASSERT_TRUE(clickInputAndFinishChain(Button(c::kDp)));
    ASSERT_EQ(simulator->Snapshot().input, 4);
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tEmb \t"; }, 3s));
    EXPECT_TRUE(Button(c::kDp)->isChecked());
}

TEST_F(PanelWithSimulator, DisconnectThenConnectReopensTheSamePort)
{
    Connect();
    ASSERT_TRUE(Idle());
    Button(c::kComConnect)->click();
    EXPECT_FALSE(panel->Connection().ComOpen());
    Connect();
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 2; }, 3s));
}

}  // namespace velmora::test
