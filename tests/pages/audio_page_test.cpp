// The Audio page over a pseudo-terminal: the status answer filling every
// control, each control's frame, the mixer mode enabling the mixer's
// controls, typed values and their refusal, and the mixer volume's time-out.

#include "panel_fixture.h"

#include "appdefs/timer_ids.h"
#include "pages/audio_page.h"
#include "protocol/audio_commands.h"
#include "res/audio_ids.h"

#include <QMessageBox>

namespace velmora::test {

using namespace protocol;
namespace a = ctl::audio;

namespace {

// Bytes 5 to 14 of an audio status answer.
struct AudioBytes {
    std::uint8_t mute, volume, micMute, micVolume, mixerMode, mixerVolume, fadeInHigh, fadeInLow, fadeOutHigh,
        fadeOutLow;
};

FrameBytes AudioStatus(const AudioBytes& b)
{
    namespace st = audio_status;
    return MakeFrame(kAudioStatus, {{st::kMute, b.mute},
                                    {st::kVolume, b.volume},
                                    {st::kMicMute, b.micMute},
                                    {st::kMicVolume, b.micVolume},
                                    {st::kMixerMode, b.mixerMode},
                                    {st::kMixerVolume, b.mixerVolume},
                                    {st::kFadeIn, b.fadeInHigh},
                                    {st::kFadeIn + 1, b.fadeInLow},
                                    {st::kFadeOut, b.fadeOutHigh},
                                    {st::kFadeOut + 1, b.fadeOutLow}});
}

constexpr AudioBytes kStatus{kOff, 20, kOn, 16, kMixerOn, 12, 0x01, 0xF4, 0x13, 0x88};
constexpr int kRadios[] = {a::kMixerOn, a::kMixerAuto, a::kMixerOff};
constexpr int kMixerControls[] = {a::kMixerVolumeBox, a::kMixerVolumeSet, a::kFadeInBox,
                                  a::kFadeInSet,      a::kFadeOutBox,     a::kFadeOutSet};
const QString kInputError = QStringLiteral(" Input value error!");

}  // namespace

class AudioPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        OpenPage(c::kTabAudio, kAudioStatus, AudioStatus(kStatus));
    }
    pages::AudioDlg* Audio() { return static_cast<pages::AudioDlg*>(page); }
    bool Enabled(int id) { return PageCtl<QWidget>(id)->isEnabled(); }
    bool MixerControlsAre(bool enabled)
    {
        return std::all_of(std::begin(kMixerControls), std::end(kMixerControls),
                           [&](int id) { return Enabled(id) == enabled; });
    }
    int CheckedRadio()
    {
        int checked = 0;
        for (const int id : kRadios) {
            checked = PageButton(id)->isChecked() ? (checked ? -1 : id) : checked;
        }
        return checked;
    }

    // Types into the box and clicks Set; returns the text of a plain message
    // box that opened (closed with its only button, OK) and whether the token was free meanwhile.
    std::pair<QString, bool> TypeAndSet(int box, int set, const QString& text)
    {
        std::pair<QString, bool> seen{QString(), true};
        ModalWatcher watcher([&](QWidget* modal) {
            auto* plain = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(plain, nullptr);
            EXPECT_EQ(plain->buttons().size(), 1);
            seen = {plain->text(), panel->Token().Ready()};
            plain->button(QMessageBox::Ok)->click();
        });
        PageCtl<QLineEdit>(box)->setText(text);
        PageButton(set)->click();
        return seen;
    }
    void Slide(int slider, int value)
    {
        PageCtl<QSlider>(slider)->setValue(value);
        ClickThumb(slider);
    }
};

TEST_F(AudioPageTest, StatusValuesInsideAtAndBeyondTheirRanges)
{
    struct Case {
        AudioBytes bytes;
        bool mute, micMute;
        int volume, micVolume;  // where the sliders stand, and what their boxes show
        const char *mixerVolume, *fadeIn, *fadeOut;
    };
    const Case cases[] = {
        {kStatus, true, false, 20, 16, "12", "500", "5000"},
        {{kOn, 0, kOff, 32, kMixerOff, 0, 0, 0, 0, 0}, false, true, 0, 32, "0", "0", "0"},
        {{kOff, 33, 0xFF, 255, kMixerOff, 255, 0x13, 0x89, 0xFF, 0xFF}, true, false, 32, 32, "255", "5001", "65535"},
        {{0x01, 17, kOn, 1, kMixerOff, 7, 0x05, 0xDC, 0x00, 0x01}, false, false, 17, 1, "7", "1500", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        Answer(AudioStatus(c.bytes));
        EXPECT_TRUE(panel->Token().Ready());
        EXPECT_EQ(PageButton(a::kMute)->isChecked(), c.mute);
        EXPECT_EQ(PageButton(a::kMicMute)->isChecked(), c.micMute);
        EXPECT_EQ(PageCtl<QSlider>(a::kVolumeSlider)->value(), c.volume);
        EXPECT_EQ(BoxText(a::kVolumeBox), QString::number(c.volume));
        EXPECT_EQ(Audio()->VolumeLimit(), c.volume) << "the mixer may not exceed the audio volume";
        EXPECT_EQ(PageCtl<QSlider>(a::kMicVolumeSlider)->value(), c.micVolume);
        EXPECT_EQ(BoxText(a::kMicVolumeBox), QString::number(c.micVolume));
        EXPECT_EQ(BoxText(a::kMixerVolumeBox), c.mixerVolume);
        EXPECT_EQ(BoxText(a::kFadeInBox), c.fadeIn);
        EXPECT_EQ(BoxText(a::kFadeOutBox), c.fadeOut);
    }
}

TEST_F(AudioPageTest, MixerModeChecksItsRadioAndSetsTheMixerControls)
{
    struct Case {
        std::uint8_t before, mode;
        int checked;  // 0: none of the three
        bool enabled;
    };
    const Case cases[] = {
        {kMixerOn, 0, 0, true},
        {kMixerAuto, 0, 0, false},
        {kMixerAuto, kMixerOn, a::kMixerOn, true},
        {kMixerOn, kMixerOff, a::kMixerOff, true},
        {kMixerOn, kMixerAuto, a::kMixerAuto, false},
        {kMixerAuto, 4, 0, false},
        {kMixerOff, 0xFF, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.before) << " then " << int(c.mode));
        Answer(AudioStatus({kOn, 20, kOn, 16, c.before, 12, 0, 0, 0, 0}));
        Answer(AudioStatus({kOn, 20, kOn, 16, c.mode, 12, 0, 0, 0, 0}));
        EXPECT_EQ(CheckedRadio(), c.checked);
        EXPECT_TRUE(MixerControlsAre(c.enabled));
        EXPECT_TRUE(std::all_of(std::begin(kRadios), std::end(kRadios), [&](int id) { return Enabled(id); }));
    }
    // The mixer mode's answer sets the controls and leaves the radios as they are.
    Answer(AudioStatus({kOn, 20, kOn, 16, kMixerAuto, 12, 0, 0, 0, 0}));
    const std::pair<std::uint8_t, bool> answers[] = {
        {kMixerOn, true}, {kMixerAuto, false}, {0, false}, {kMixerOff, true}, {9, true}};
    for (const auto& [mode, enabled] : answers) {
        Answer(MakeFrame(kMixerMode.set, {{kValueByte, mode}}));
        EXPECT_TRUE(MixerControlsAre(enabled)) << int(mode);
    }
    EXPECT_EQ(CheckedRadio(), a::kMixerAuto);
    // The group stays exclusive after all three were unchecked.
    Answer(AudioStatus({kOn, 20, kOn, 16, 0, 12, 0, 0, 0, 0}));
    PageButton(a::kMixerOff)->click();
    Acknowledge(ReadFrame());
    PageButton(a::kMixerOn)->click();
    EXPECT_EQ(CheckedRadio(), a::kMixerOn);
}

TEST_F(AudioPageTest, EveryControlSendsItsFrameAndTypedValuesOutOfRangeAreRefusedInAPlainBox)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        Bytes frame;  // empty: refused
        bool fade;  // acknowledged at once, then read back
    };
    const auto click = [&](int id) { return [=, this] { PageButton(id)->click(); }; };
    const auto type = [&](int box, int set, const char* text) {
        return [=, this] { EXPECT_EQ(TypeAndSet(box, set, text).first, QString()); };
    };
    const auto refuse = [&](int box, int set, const char* text) {
        return [=, this] {
            const auto [shown, tokenFree] = TypeAndSet(box, set, text);
            EXPECT_EQ(shown, kInputError);
            EXPECT_FALSE(tokenFree) << "given back once the box is closed";
        };
    };
    const Case cases[] = {
        {"mixer volume 21", refuse(a::kMixerVolumeBox, a::kMixerVolumeSet, "21"), {}, true},  // the audio volume is 20
        {"mixer volume -1", refuse(a::kMixerVolumeBox, a::kMixerVolumeSet, "-1"), {}, true},
        {"fade in 5001", refuse(a::kFadeInBox, a::kFadeInSet, "5001"), {}, true},
        {"fade in -1", refuse(a::kFadeInBox, a::kFadeInSet, "-1"), {}, true},
        {"fade out  -1", refuse(a::kFadeOutBox, a::kFadeOutSet, " -1"), {}, true},
        {"fade out 99999999999", refuse(a::kFadeOutBox, a::kFadeOutSet, "99999999999"), {}, true},
        {"unmute", click(a::kMute), Frame(kMute.set, {{kValueByte, kOff}}), false},
        {"mute", click(a::kMute), Frame(kMute.set, {{kValueByte, kOn}}), false},
        {"mic mute", click(a::kMicMute),
         Bytes{0x50, 0x56, 0x54, 0x24, 0x0A, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x18}, false},
        {"mic unmute", click(a::kMicMute), Frame(kMicMute.set, {{kValueByte, kOff}}), false},
        {"volume 0", [&] { Slide(a::kVolumeSlider, 0); }, Frame(kVolume.set, {{kValueByte, 0}}), false},
        {"volume 32", [&] { Slide(a::kVolumeSlider, 32); }, Frame(kVolume.set, {{kValueByte, 32}}), false},
        {"mic 31", [&] { Slide(a::kMicVolumeSlider, 31); }, Frame(kMicVolume.set, {{kValueByte, 31}}), false},
        {"ON", click(a::kMixerOn), Frame(kMixerMode.set, {{kValueByte, 1}}), false},
        {"AUTO", click(a::kMixerAuto), Frame(kMixerMode.set, {{kValueByte, 3}}), false},
        {"OFF", click(a::kMixerOff), Frame(kMixerMode.set, {{kValueByte, 2}}), false},
        {"mixer volume", type(a::kMixerVolumeBox, a::kMixerVolumeSet, "32"),
         Frame(kMixerVolume.set, {{kValueByte, 32}}), false},
        {"mixer volume +7", type(a::kMixerVolumeBox, a::kMixerVolumeSet, "  +7"),
         Frame(kMixerVolume.set, {{kValueByte, 7}}), false},
        {"mixer volume abc", type(a::kMixerVolumeBox, a::kMixerVolumeSet, "abc"), Frame(kMixerVolume.set), false},
        {"fade in 5000", type(a::kFadeInBox, a::kFadeInSet, " 5000"),
         Bytes{0x50, 0x56, 0x54, 0x24, 0x33, 0x13, 0x88, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xEC}, true},
        {"fade in 1500ms", type(a::kFadeInBox, a::kFadeInSet, "1500ms"),
         Frame(kFadeIn.set, {{kValueByte, 0x05}, {kSecondValueByte, 0xDC}}), true},
        {"fade out -0", type(a::kFadeOutBox, a::kFadeOutSet, "-0"), Frame(kFadeOut.set), true},
        {"fade out 256 ms", type(a::kFadeOutBox, a::kFadeOutSet, "256 ms"), Frame(kFadeOut.set, {{kValueByte, 0x01}}),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        if (c.frame.empty()) {
            EXPECT_TRUE(LineQuiet());
            EXPECT_TRUE(panel->Token().Ready());
            EXPECT_FALSE(pages::MessageBoxShowing()) << "the panel's own box stays shut";
            continue;
        }
        EXPECT_EQ(ReadFrame(), c.frame);
        EXPECT_EQ(panel->Token().Ready(), c.fade);
        Acknowledge(c.frame);
        if (c.fade) {
            // The switcher may store another value than the one sent; the box shows what it reads back.
            const Command read{c.frame[kClassByte], static_cast<std::uint8_t>(c.frame[kCommandByte] + 1)};
            EXPECT_EQ(ReadFrame(), Frame(read));
            Answer(MakeFrame(read, {{kValueByte, 0x01}, {kSecondValueByte, 0xF4}}));
            EXPECT_EQ(BoxText(c.frame[kCommandByte] == kFadeIn.set.cmd ? a::kFadeInBox : a::kFadeOutBox), "500");
        }
        EXPECT_TRUE(panel->Token().Ready());
    }
}

TEST_F(AudioPageTest, PageKeysMoveTheBoxAndTheLimitButSendNothingAndDisconnectedSlidersShowNoMessage)
{
    auto* slider = PageCtl<QSlider>(a::kVolumeSlider);
    slider->setFocus();
    PressKey(slider, Qt::Key_PageUp);
    PressKey(slider, Qt::Key_Left);
    EXPECT_EQ(slider->value(), 21) << "arrow keys move by nothing";
    EXPECT_EQ(BoxText(a::kVolumeBox), "21");
    EXPECT_EQ(Audio()->VolumeLimit(), 21);
    EXPECT_TRUE(LineQuiet());
    ClickChannelEnd(a::kMicVolumeSlider);
    EXPECT_EQ(ReadFrame(), Frame(kMicVolume.set, {{kValueByte, 17}}));
    EXPECT_EQ(BoxText(a::kMicVolumeBox), "17");
    EXPECT_EQ(Audio()->VolumeLimit(), 21) << "the microphone sets no limit";
    Answer(MakeFrame(kMicVolume.set, {{kValueByte, 17}}));
    Ctl<QAbstractButton>(c::kComConnect)->click();
    ASSERT_FALSE(panel->Connection().ComOpen());
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    for (const int id : {a::kVolumeSlider, a::kMicVolumeSlider}) {
        auto* moved = PageCtl<QSlider>(id);
        moved->setValue(3);
        moved->setFocus();
        PressKey(moved, Qt::Key_PageUp);
        moved->repaint();
        EXPECT_EQ(moved->value(), 4);
    }
    PumpFor(50ms);
    EXPECT_EQ(watcher.Seen(), 0);
    EXPECT_EQ(BoxText(a::kVolumeBox), "21") << "not refreshed while the link is down";
    EXPECT_EQ(BoxText(a::kMicVolumeBox), "17");
    // Letting go is a command: that one says why nothing is sent.
    ClickThumb(a::kVolumeSlider);
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(pages::MessageText(), "Open COM failed!");
}

// A page whose status never came has seen no audio volume but the slider's 0.
TEST_F(PageTest, UntilAStatusArrivesOnlyZeroIsAcceptedAsMixerVolume)
{
    Connect();
    Answer(MakeFrame(kGeneralStatus));
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabAudio));
    ASSERT_EQ(ReadFrame(), Frame(kAudioStatus));
    page = panel->Pages().Existing(panel->CurrentPage());
    QStringList shown;
    ModalWatcher watcher([&](QWidget* modal) {
        shown << static_cast<QMessageBox*>(modal)->text();
        Dismiss(modal);
    });
    for (const char* text : {"1", "0"}) {
        PageCtl<QLineEdit>(a::kMixerVolumeBox)->setText(text);
        PageButton(a::kMixerVolumeSet)->click();
    }
    EXPECT_EQ(shown, QStringList{kInputError});
    EXPECT_EQ(ReadFrame(), Frame(kMixerVolume.set));
}

TEST_F(AudioPageTest, AMixerVolumeWithoutAnswerIsSentTwiceThenTimesOut)
{
    QStringList shown;
    bool tokenFreeWhileShown = true;
    ModalWatcher watcher([&](QWidget* modal) {
        shown << pages::MessageText();
        tokenFreeWhileShown = panel->Token().Ready();
        Dismiss(modal);
    });
    // Answered before and after the repetition: no time-out.
    for (const int answerAt : {1000, timer::kMixerAnswerMs + 1000}) {
        TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "20");
        const Bytes sent = ReadFrame();
        Advance(answerAt);
        if (answerAt > timer::kMixerAnswerMs) {
            ASSERT_EQ(ReadFrame(), sent);
        }
        Acknowledge(sent);
        EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
        EXPECT_FALSE(page->TimerRunning(timer::kMixerRetry));
        Advance(3 * timer::kMixerAnswerMs);
        EXPECT_TRUE(LineQuiet());
    }
    EXPECT_TRUE(shown.isEmpty());
    // The repetition is the mixer volume even after a stray frame freed the
    // token and the mute refilled the shared buffer.
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "9");
    const Bytes first = ReadFrame();
    ASSERT_EQ(first, Frame(kMixerVolume.set, {{kValueByte, 9}}));
    EXPECT_TRUE(page->TimerRunning(timer::kMixerAnswer));
    Answer(MakeFrame(kMute.set, {{kValueByte, kOn}}));
    PageButton(a::kMute)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMute.set, {{kValueByte, kOff}}));
    Advance(timer::kMixerAnswerMs - 1);
    EXPECT_TRUE(LineQuiet());
    Advance(1);
    EXPECT_EQ(ReadFrame(), first) << "the same frame once more at 2000 ms";
    EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
    EXPECT_TRUE(page->TimerRunning(timer::kMixerRetry));
    Advance(timer::kMixerAnswerMs - 1);
    EXPECT_TRUE(shown.isEmpty());
    Advance(1);  // 4000 ms: the box shows and is closed before Advance returns
    EXPECT_EQ(shown, QStringList{"Time Out"});
    EXPECT_FALSE(tokenFreeWhileShown);
    EXPECT_TRUE(panel->Token().Ready()) << "back after the box closed";
    EXPECT_FALSE(page->TimerRunning(timer::kMixerRetry));
    Advance(10 * timer::kMixerAnswerMs);
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(AudioPageTest, TheTimeOutClosesAProgressPopup)
{
    bool popupClosedBeforeMessage = false;
    ModalWatcher watcher([&](QWidget* modal) {
        if (modal == pages::OpenStatusPopup()) {
            QTimer::singleShot(0, [this] { Advance(2 * timer::kMixerAnswerMs); });
            return;
        }
        popupClosedBeforeMessage = !pages::StatusPopupShowing();
        Dismiss(modal);
    });
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "1");
    ASSERT_EQ(ReadFrame(), Frame(kMixerVolume.set, {{kValueByte, 1}}));
    pages::ShowStatus();  // returns once the time-out has closed it
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(popupClosedBeforeMessage);
    EXPECT_EQ(pages::MessageText(), "Time Out");
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(AudioPageTest, WhileAnAnswerIsAwaitedCommandsAreDroppedSilentlyAndTheSliderBoxWaits)
{
    PageButton(a::kMute)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMute.set, {{kValueByte, kOff}}));
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    PageButton(a::kMicMute)->click();
    PageButton(a::kMixerAuto)->click();
    ClickThumb(a::kMicVolumeSlider);
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "99");  // refused before it is read
    TypeAndSet(a::kFadeInBox, a::kFadeInSet, "100");
    auto* slider = PageCtl<QSlider>(a::kVolumeSlider);
    slider->setValue(25);
    ClickThumb(a::kVolumeSlider);
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(watcher.Seen(), 0) << "no message";
    EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
    EXPECT_EQ(BoxText(a::kVolumeBox), "20");
    EXPECT_EQ(Audio()->VolumeLimit(), 20);
    Answer(MakeFrame(kMute.set, {{kValueByte, kOff}}));
    slider->repaint();  // the next paint catches up
    EXPECT_EQ(BoxText(a::kVolumeBox), "25");
    EXPECT_EQ(Audio()->VolumeLimit(), 25);
    PageButton(a::kMixerOff)->click();
    EXPECT_EQ(ReadFrame(), Frame(kMixerMode.set, {{kValueByte, kMixerOff}}));
}

}  // namespace velmora::test
