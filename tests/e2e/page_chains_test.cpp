// The pages' exchanges that take more than one frame, end to end against the
// simulated switcher over each line: a write, its acknowledgement, the
// read-back and the control that shows the switcher's value.

#include "e2e/sim_panel.h"

#include "protocol/commands.h"
#include "protocol/video_commands.h"
#include "res/video_ids.h"

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

INSTANTIATE_TEST_SUITE_P(Lines, PageChains, ::testing::Values(Line::Pty, Line::Tcp), LineName);

}  // namespace velmora::test
