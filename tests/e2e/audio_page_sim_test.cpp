// The Audio page against the simulated switcher over each line, as in the
// demo: every control changes the switcher.

#include "e2e/sim_panel.h"

#include "appdefs/timer_ids.h"
#include "platform/slider.h"
#include "protocol/audio_commands.h"
#include "res/audio_ids.h"

#include <QLineEdit>

namespace velmora::test {

namespace au = ctl::audio;

class AudioWithSimulator : public SimPanelTest {
protected:
    void SetUp() override
    {
        SimPanelTest::SetUp();
        Connect();
        audio = OpenPage(ctl::main::kTabAudio);
        ASSERT_NE(audio, nullptr);
        // The fade boxes are empty until the audio status has come.
        ASSERT_TRUE(PumpUntil([&] { return !BoxText(au::kFadeOutBox).isEmpty(); }, 3s));
        ASSERT_TRUE(Idle());
    }
    QAbstractButton* PageButton(int id) { return audio->ControlAs<QAbstractButton>(id); }
    QString BoxText(int id) { return audio->ControlAs<QLineEdit>(id)->text(); }
    // Acts, then waits for the switcher's answer to have been handled.
    bool Answered(const std::function<void()>& act)
    {
        const int frames = panel->ReceiveLogFrames();
        act();
        return PumpUntil([&] { return panel->ReceiveLogFrames() > frames; }, 3s) && Idle();
    }

    pages::PageWindow* audio = nullptr;
};

TEST_P(AudioWithSimulator, EveryControlChangesTheSwitcher)
{
    ASSERT_TRUE(Answered([&] { PageButton(au::kMute)->click(); }));
    EXPECT_TRUE(simulator->Snapshot().mute);
    ASSERT_TRUE(Answered([&] { PageButton(au::kMicMute)->click(); }));
    EXPECT_TRUE(simulator->Snapshot().micMute);
    ASSERT_TRUE(Answered([&] { PageButton(au::kMicMute)->click(); }));
    EXPECT_FALSE(simulator->Snapshot().micMute);

    auto* volume = audio->ControlAs<platform::Slider>(au::kVolumeSlider);
    volume->setValue(30);
    ASSERT_TRUE(Answered([&] { Click(volume, ThumbRect(volume).center()); }));
    EXPECT_EQ(simulator->Snapshot().volume, 30);
    auto* mic = audio->ControlAs<platform::Slider>(au::kMicVolumeSlider);
    mic->setValue(5);
    ASSERT_TRUE(Answered([&] { Click(mic, ThumbRect(mic).center()); }));
    EXPECT_EQ(simulator->Snapshot().micVolume, 5);

    for (const auto& [radio, mode] :
         {std::pair{au::kMixerAuto, protocol::kMixerAuto}, std::pair{au::kMixerOn, protocol::kMixerOn}}) {
        ASSERT_TRUE(Answered([&] { PageButton(radio)->click(); }));
        EXPECT_EQ(simulator->Snapshot().mixerMode, mode);
        EXPECT_EQ(PageButton(au::kMixerVolumeSet)->isEnabled(), mode != protocol::kMixerAuto);
    }

    audio->ControlAs<QLineEdit>(au::kMixerVolumeBox)->setText("30");
    ASSERT_TRUE(Answered([&] { PageButton(au::kMixerVolumeSet)->click(); }));
    EXPECT_EQ(simulator->Snapshot().mixerVolume, 30);
    EXPECT_FALSE(audio->TimerRunning(timer::kMixerAnswer)) << "the acknowledgement stopped the wait";
}

INSTANTIATE_TEST_SUITE_P(Lines, AudioWithSimulator, ::testing::Values(Line::Pty, Line::Tcp), LineName);

}  // namespace velmora::test
