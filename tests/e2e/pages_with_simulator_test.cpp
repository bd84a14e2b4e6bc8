// The pages against the simulated switcher, driven through the real widgets:
// every control changes the switcher, and the exchanges that take more than
// one frame end with the control showing the switcher's value.

#include "e2e/sim_panel_fixture.h"

#include "appdefs/timer_ids.h"
#include "platform/slider.h"
#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/video_commands.h"
#include "res/audio_ids.h"
#include "res/video_ids.h"

#include <QLineEdit>
#include <QToolButton>

namespace velmora::test {

namespace au = ctl::audio;

TEST_F(PanelWithSimulator, ConnectFillsTheGeneralPageAndInputsAndListsReachTheSwitcher)
{
    // An input change is a chain of three answers; the token is free between
    // them, so the next step waits for the chain's end.
    constexpr std::uint64_t kChainAnswers = 3;
    const auto clickInputAndFinishChain = [&](int id) {
        const std::uint64_t before = panel->Dispatcher().Dispatched();
        Button(id)->click();
        return PumpUntil([&] { return panel->Dispatcher().Dispatched() >= before + kChainAnswers; }, 3s);
    };
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi1)->isChecked(); }, 3s));
    EXPECT_EQ(List(c::kAutoSwitchList)->currentText(), "OFF");
    EXPECT_EQ(List(c::kAspectList)->currentText(), "16:9  ");
    EXPECT_EQ(List(c::kHdcpList)->currentText(), "Pass Through");
    ASSERT_TRUE(clickInputAndFinishChain(c::kVga));
    ASSERT_EQ(simulator->Snapshot().input, 5);
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tExt 1 \t"; }, 3s));

    Choose(c::kResolutionList, 2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
    Choose(c::kEdidList, 0);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().edid == 1; }, 3s));
    Choose(c::kAudioList, 2);  // "Ext 3" while VGA is the input
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().audioSource[4] == 3; }, 3s));

    ASSERT_TRUE(clickInputAndFinishChain(c::kDp));
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tEmb \t"; }, 3s));
    EXPECT_TRUE(Button(c::kDp)->isChecked());
}

using PageChains = SimPanelTest;

TEST_P(PageChains, EveryAudioControlChangesTheSwitcherAndFadesAreReadBack)
{
    simulator->Modify([](sim::DeviceState& s) { s.fadeInMs = 250; });
    ConnectIdle();
    pages::PageWindow* audio = OpenPage(c::kTabAudio);
    ASSERT_NE(audio, nullptr);
    const auto box = [&](int id) { return audio->ControlAs<QLineEdit>(id); };
    ASSERT_TRUE(PumpUntil([&] { return box(au::kFadeInBox)->text() == "250"; }, 3s));
    ASSERT_TRUE(Idle());
    // Acts, then waits for the switcher's answers to have been handled.
    const auto answered = [&](const std::function<void()>& act, int answers = 1) {
        const int frames = panel->ReceiveLogFrames();
        act();
        return PumpUntil([&] { return panel->ReceiveLogFrames() >= frames + answers; }, 3s) && Idle();
    };
    const auto click = [&](int id) { return [=] { audio->ControlAs<QAbstractButton>(id)->click(); }; };
    const auto slide = [&](int id, int value) {
        return [=] {
            auto* slider = audio->ControlAs<platform::Slider>(id);
            slider->setValue(value);
            Click(slider, ThumbRect(slider).center());
        };
    };
    ASSERT_TRUE(answered(click(au::kMute)));
    EXPECT_TRUE(simulator->Snapshot().mute);
    ASSERT_TRUE(answered(click(au::kMicMute)));
    EXPECT_TRUE(simulator->Snapshot().micMute);
    ASSERT_TRUE(answered(slide(au::kVolumeSlider, 30)));
    EXPECT_EQ(simulator->Snapshot().volume, 30);
    ASSERT_TRUE(answered(slide(au::kMicVolumeSlider, 5)));
    EXPECT_EQ(simulator->Snapshot().micVolume, 5);
    for (const auto& [radio, mode] :
         {std::pair{au::kMixerAuto, protocol::kMixerAuto}, std::pair{au::kMixerOn, protocol::kMixerOn}}) {
        ASSERT_TRUE(answered(click(radio)));
        EXPECT_EQ(simulator->Snapshot().mixerMode, mode);
        EXPECT_EQ(audio->Control(au::kMixerVolumeSet)->isEnabled(), mode != protocol::kMixerAuto);
    }
    box(au::kMixerVolumeBox)->setText("30");
    ASSERT_TRUE(answered(click(au::kMixerVolumeSet)));
    EXPECT_EQ(simulator->Snapshot().mixerVolume, 30);
    EXPECT_FALSE(audio->TimerRunning(timer::kMixerAnswer)) << "the acknowledgement stopped the wait";
    // A fade time: the acknowledgement, then the answer to the read request it led to.
    box(au::kFadeInBox)->setText("1500ms");
    ASSERT_TRUE(answered(click(au::kFadeInSet), 2));
    EXPECT_TRUE(PumpUntil([&] { return box(au::kFadeInBox)->text() == "1500"; }, 3s));
    EXPECT_EQ(simulator->Snapshot().fadeInMs, 1500);
}

TEST_P(PageChains, VideoStepsAreReadBackFromTheSwitcher)
{
    simulator->Modify([](sim::DeviceState& s) {
        s.input = protocol::kInputVga;
        s.phase = 20;
    });
    ConnectIdle();
    pages::PageWindow* video = OpenPage(c::kTabVideo);
    ASSERT_NE(video, nullptr);
    auto* phase = video->ControlAs<QLineEdit>(ctl::video::kPhaseBox);
    ASSERT_TRUE(PumpUntil([&] { return phase->text() == "20"; }, 3s));
    QToolButton* up = nullptr;
    for (auto* arrow : video->Control(ctl::video::kPhaseStep)->findChildren<QToolButton*>()) {
        up = arrow->accessibleName() == "up" ? arrow : up;
    }
    ASSERT_NE(up, nullptr);
    for (int i = 0; i < 3; ++i) {
        const int frames = panel->ReceiveLogFrames();
        up->click();
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == frames + 2; }, 3s));
    }
    EXPECT_TRUE(PumpUntil([&] { return phase->text() == "23"; }, 3s)) << phase->text().toStdString();
    EXPECT_EQ(simulator->Snapshot().phase, 23);
}

INSTANTIATE_TEST_SUITE_P(Lines, PageChains, ::testing::Values(Line::Pty, Line::Tcp), LineName);

}  // namespace velmora::test
