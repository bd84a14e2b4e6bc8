// The Video page over a pseudo-terminal: the status answer filling every
// control, each slider's frame when it is let go, and the VGA steps with
// their acknowledgement and read-back.

#include "panel_fixture.h"

#include "platform/up_down.h"
#include "protocol/video_commands.h"
#include "res/video_ids.h"

#include <QToolButton>

namespace velmora::test {

using namespace protocol;
namespace v = ctl::video;

namespace {

const struct {
    int slider, box;
    const ValueSetting* setting;
    bool tokenBackAtOnce;
} kSliders[] = {
    {v::kContrastSlider, v::kContrastBox, &kContrast, true},
    {v::kBrightnessSlider, v::kBrightnessBox, &kBrightness, true},
    {v::kColorSlider, v::kColorBox, &kColor, true},
    {v::kSharpnessSlider, v::kSharpnessBox, &kSharpness, true},
    {v::kHSizeSlider, v::kHSizeBox, &kVgaHSize, false},
    {v::kVSizeSlider, v::kVSizeBox, &kVgaVSize, false},
};

const struct {
    int upDown, box;
    const StepSetting* setting;
} kSteps[] = {
    {v::kHPositionStep, v::kHPositionBox, &kHPosition},
    {v::kVPositionStep, v::kVPositionBox, &kVPosition},
    {v::kClockStep, v::kClockBox, &kClock},
    {v::kPhaseStep, v::kPhaseBox, &kPhase},
};

FrameBytes VideoStatus(std::initializer_list<std::uint8_t> bytes5to15)
{
    CommandFrame frame;
    frame.Begin(kVideoStatus);
    std::size_t at = video_status::kContrast;
    for (const std::uint8_t b : bytes5to15) {
        frame.Set(at++, b);
    }
    frame.Seal();
    return frame.Bytes();
}

const FrameBytes kVgaStatus = VideoStatus({50, 60, 30, 10, 12, 8, 40, 41, 42, 43, kInputVga});

}  // namespace

class VideoPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        OpenPage(c::kTabVideo, kVideoStatus, kVgaStatus);
    }
    QToolButton* Arrow(int upDownId, const char* which)
    {
        for (auto* button : PageCtl<QWidget>(upDownId)->findChildren<QToolButton*>()) {
            if (button->accessibleName() == QLatin1String(which)) {
                return button;
            }
        }
        return nullptr;
    }
    void ExpectSliders(std::array<int, 6> positions)
    {
        for (std::size_t i = 0; i < std::size(kSliders); ++i) {
            EXPECT_EQ(PageCtl<QSlider>(kSliders[i].slider)->value(), positions[i]) << i;
            EXPECT_EQ(BoxText(kSliders[i].box), QString::number(positions[i])) << i;
        }
    }
};

TEST_F(VideoPageTest, StatusAnswerFillsEverySliderAndBoxAndOnlyVgaEnablesTheSteps)
{
    ExpectSliders({50, 60, 30, 10, 12, 8});
    for (std::size_t i = 0; i < std::size(kSteps); ++i) {
        EXPECT_EQ(BoxText(kSteps[i].box), QString::number(40 + i));
        EXPECT_TRUE(PageCtl<QWidget>(kSteps[i].box)->isEnabled());
        EXPECT_TRUE(PageCtl<QWidget>(kSteps[i].upDown)->isEnabled());
    }
    EXPECT_TRUE(panel->Token().Ready());
    // Contrast at its end, brightness and colour beyond theirs, the sizes at 0 and 255; not VGA.
    Answer(VideoStatus({100, 101, 255, 20, 0, 255, 90, 91, 92, 93, kInputDp}));
    ExpectSliders({100, 100, 60, 20, 0, 20});
    for (const auto& s : kSteps) {
        EXPECT_FALSE(PageCtl<QWidget>(s.box)->isEnabled());
        EXPECT_FALSE(PageCtl<QWidget>(s.upDown)->isEnabled());
    }
    EXPECT_EQ(BoxText(v::kHPositionBox), "40") << "kept from the VGA status";
    Answer(kVgaStatus);
    EXPECT_TRUE(PageCtl<QWidget>(v::kPhaseStep)->isEnabled());
}

TEST_F(VideoPageTest, LettingGoOfEachSliderSendsItsSetting)
{
    for (const auto& s : kSliders) {
        SCOPED_TRACE(s.slider);
        PageCtl<QSlider>(s.slider)->setValue(s.setting->max - 3);  // as page keys would, sending nothing
        ASSERT_TRUE(LineQuiet());
        ClickThumb(s.slider);
        const auto value = static_cast<std::uint8_t>(s.setting->max - 3);
        const auto expected = s.setting->echoByte ? Frame(s.setting->set, {{kValueByte, value}, {7, value}})
                                                  : Frame(s.setting->set, {{kValueByte, value}});
        EXPECT_EQ(ReadFrame(), expected);
        EXPECT_EQ(panel->Token().Ready(), s.tokenBackAtOnce);
        if (!s.tokenBackAtOnce) {
            Answer(MakeFrame(s.setting->set, {{kValueByte, value}}));
        }
    }
    PageCtl<QSlider>(v::kContrastSlider)->setValue(37);
    ClickThumb(v::kContrastSlider);
    EXPECT_EQ(ReadFrame(), (Bytes{0x50, 0x56, 0x54, 0x08, 0x01, 0x25, 0x00, 0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4D}));
    PageCtl<QSlider>(v::kHSizeSlider)->setValue(20);
    ClickThumb(v::kHSizeSlider);
    EXPECT_EQ(ReadFrame(), (Bytes{0x50, 0x56, 0x54, 0x24, 0x37, 0x14, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x69}));
}

TEST_F(VideoPageTest, AClickInTheChannelSendsAndKeyboardMovesDoNot)
{
    auto* slider = PageCtl<QSlider>(v::kSharpnessSlider);
    slider->setFocus();
    PressKey(slider, Qt::Key_PageUp);
    PressKey(slider, Qt::Key_Right);
    EXPECT_EQ(slider->value(), 11) << "page keys move by one, arrow keys by nothing";
    EXPECT_EQ(BoxText(v::kSharpnessBox), "11");
    EXPECT_TRUE(LineQuiet());
    ClickChannelEnd(v::kSharpnessSlider);
    EXPECT_EQ(ReadFrame(), Frame(kSharpness.set, {{kValueByte, 12}, {7, 12}}));
}

TEST_F(VideoPageTest, EachStepIsAcknowledgedThenReadBack)
{
    for (const auto& s : kSteps) {
        SCOPED_TRACE(s.upDown);
        for (const char* arrow : {"up", "down"}) {
            Arrow(s.upDown, arrow)->click();
            const std::uint8_t direction = arrow[0] == 'u' ? kStepUp : kStepDown;
            EXPECT_EQ(ReadFrame(), Frame(s.setting->step, {{kValueByte, direction}}));
            EXPECT_FALSE(panel->Token().Ready());
            Answer(MakeFrame(s.setting->step, {{kValueByte, direction}}));
            EXPECT_EQ(ReadFrame(), Frame(s.setting->read));
            Answer(MakeFrame(s.setting->read, {{kValueByte, 77}}));
            EXPECT_EQ(BoxText(s.box), "77");
            EXPECT_TRUE(panel->Token().Ready());
        }
    }
    PageCtl<platform::UpDown>(v::kClockStep)->Step(2);
    EXPECT_TRUE(LineQuiet()) << "a step other than one sends nothing";
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(VideoPageTest, ACommandWhileAnAnswerIsAwaitedIsDroppedSilently)
{
    ClickThumb(v::kVSizeSlider);
    ASSERT_EQ(ReadFrame(), Frame(kVgaVSize.set, {{kValueByte, 8}}));
    ClickThumb(v::kContrastSlider);
    Arrow(v::kPhaseStep, "up")->click();
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(pages::MessageText(), QString()) << "no message";
    Answer(MakeFrame(kVgaVSize.set, {{kValueByte, 8}}));
    ClickThumb(v::kContrastSlider);
    EXPECT_EQ(ReadFrame(), Frame(kContrast.set, {{kValueByte, 50}, {7, 50}}));
}

TEST_F(VideoPageTest, ReturnEscapeAndSpaceStopAtThePage)
{
    auto* box = PageCtl<QLineEdit>(v::kHPositionBox);
    box->setFocus();
    box->setText("4");
    for (const auto key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape, Qt::Key_2}) {
        PressKey(box, key);
    }
    EXPECT_EQ(box->text(), "42") << "other keys reach the box";
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(LineQuiet());
}

}  // namespace velmora::test
