// The pages' exchanges that take more than one frame, end to end against the
// simulated switcher over each line: a write, its acknowledgement, the
// read-back and the control that shows the switcher's value.

#include "e2e/sim_panel.h"

#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/video_commands.h"
#include "res/audio_ids.h"
#include "res/video_ids.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QToolButton>

namespace velmora::test {

namespace v = ctl::video;

class PageChains : public SimPanelTest {};

TEST_P(PageChains, VideoStepsAreReadBackFromTheSwitcher)
{
    simulator->Modify([](sim::DeviceState& s) {
        s.input = protocol::kInputVga;
        s.phase = 20;
    });
    Connect();
    pages::PageWindow* video = OpenPage(ctl::main::kTabVideo);
    ASSERT_NE(video, nullptr);
    auto* phase = video->ControlAs<QLineEdit>(v::kPhaseBox);
    ASSERT_TRUE(PumpUntil([&] { return phase->text() == "20"; }, 3s));
    ASSERT_TRUE(phase->isEnabled());
    QToolButton* up = nullptr;
    for (auto* arrow : video->Control(v::kPhaseStep)->findChildren<QToolButton*>()) {
        if (arrow->accessibleName() == "up") {
            up = arrow;
        }
    }
    ASSERT_NE(up, nullptr);
    for (int i = 0; i < 3; ++i) {
        const int frames = panel->ReceiveLogFrames();
        up->click();
        // The acknowledgement, then the answer to the read request it led to.
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == frames + 2; }, 3s));
    }
    EXPECT_TRUE(PumpUntil([&] { return phase->text() == "23"; }, 3s)) << phase->text().toStdString();
    EXPECT_EQ(simulator->Snapshot().phase, 23);
}

TEST_P(PageChains, AudioFadeTimesAreReadBackFromTheSwitcher)
{
    namespace au = ctl::audio;
    simulator->Modify([](sim::DeviceState& s) {
        s.fadeInMs = 250;
        s.fadeOutMs = 4000;
    });
    Connect();
    pages::PageWindow* audio = OpenPage(ctl::main::kTabAudio);
    ASSERT_NE(audio, nullptr);
    struct Fade {
        int box, set;
        const char *before, *typed, *after;
        std::uint16_t sim::DeviceState::*field;
    };
    const Fade fades[] = {
        {au::kFadeInBox, au::kFadeInSet, "250", "1500ms", "1500", &sim::DeviceState::fadeInMs},
        {au::kFadeOutBox, au::kFadeOutSet, "4000", " 5000", "5000", &sim::DeviceState::fadeOutMs},
    };
    for (const auto& f : fades) {
        SCOPED_TRACE(f.typed);
        auto* box = audio->ControlAs<QLineEdit>(f.box);
        ASSERT_TRUE(PumpUntil([&] { return box->text() == f.before; }, 3s)) << box->text().toStdString();
        box->setText(f.typed);
        const int frames = panel->ReceiveLogFrames();
        audio->ControlAs<QAbstractButton>(f.set)->click();
        // The acknowledgement, then the answer to the read request it led to.
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == frames + 2; }, 3s));
        EXPECT_TRUE(PumpUntil([&] { return box->text() == f.after; }, 3s)) << box->text().toStdString();
        EXPECT_EQ(simulator->Snapshot().*f.field, QString(f.after).toInt());
        EXPECT_TRUE(panel->Token().Ready());
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, PageChains, ::testing::Values(Line::Pty, Line::Tcp), LineName);

}  // namespace velmora::test
