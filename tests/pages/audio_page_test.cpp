// The Audio page over a pseudo-terminal: the status answer filling every
// control, each control's frame, the mixer mode enabling the mixer's
// controls, the typed values and their refusal, the fade times' read-back
// and the mixer volume's time-out on the manual clock.

#include "pages/page_fixture.h"

#include "appdefs/timer_ids.h"
#include "pages/audio_page.h"
#include "protocol/audio_commands.h"
#include "res/audio_ids.h"

#include <QApplication>
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
    return MakeFrame(kAudioStatus, {{audio_status::kMute, b.mute},
                                    {audio_status::kVolume, b.volume},
                                    {audio_status::kMicMute, b.micMute},
                                    {audio_status::kMicVolume, b.micVolume},
                                    {audio_status::kMixerMode, b.mixerMode},
                                    {audio_status::kMixerVolume, b.mixerVolume},
                                    {audio_status::kFadeIn, b.fadeInHigh},
                                    {audio_status::kFadeIn + 1, b.fadeInLow},
                                    {audio_status::kFadeOut, b.fadeOutHigh},
                                    {audio_status::kFadeOut + 1, b.fadeOutLow}});
}

// Muted audio at 20, unmuted microphone at 16, mixer ON at 12, fades 500 and 5000 ms.
const FrameBytes kStatus = AudioStatus({kOff, 20, kOn, 16, kMixerOn, 12, 0x01, 0xF4, 0x13, 0x88});

constexpr int kRadios[] = {a::kMixerOn, a::kMixerAuto, a::kMixerOff};
constexpr int kMixerControls[] = {a::kMixerVolumeBox, a::kMixerVolumeSet, a::kFadeInBox,
                                  a::kFadeInSet,      a::kFadeOutBox,     a::kFadeOutSet};

// What a plain message box showed, answered with its only button.
struct PlainBox {
    QString text;
    QStringList buttons;
    bool tokenFreeWhileShown = true;
};

}  // namespace

class AudioPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        OpenPage(c::kTabAudio, kAudioStatus, kStatus);
    }
    pages::AudioDlg* Audio() { return static_cast<pages::AudioDlg*>(page); }
    QAbstractButton* PageButton(int id) { return PageCtl<QAbstractButton>(id); }
    void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }
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
            if (PageButton(id)->isChecked()) {
                checked = checked ? -1 : id;
            }
        }
        return checked;
    }

    // Types into the box and clicks Set; a plain message box that opens is
    // read and closed with OK.
    PlainBox TypeAndSet(int box, int set, const QString& text)
    {
        PlainBox seen;
        ModalWatcher watcher([&](QWidget* modal) {
            if (auto* plain = qobject_cast<QMessageBox*>(modal)) {
                seen.text = plain->text();
                for (auto* button : plain->buttons()) {
                    seen.buttons << (plain->standardButton(button) == QMessageBox::Ok ? QStringLiteral("Ok")
                                                                                      : button->text());
                }
                seen.tokenFreeWhileShown = panel->Token().Ready();
                plain->button(QMessageBox::Ok)->click();
            }
        });
        PageCtl<QLineEdit>(box)->setText(text);
        PageButton(set)->click();
        return seen;
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
        {{kOff, 20, kOn, 16, kMixerOn, 12, 0x01, 0xF4, 0x13, 0x88}, true, false, 20, 16, "12", "500", "5000"},
        {{kOn, 0, kOff, 32, kMixerOff, 0, 0, 0, 0, 0}, false, true, 0, 32, "0", "0", "0"},
        {{0x00, 32, 0xFF, 0, kMixerOff, 32, 0x01, 0xF4, 0x01, 0xF4}, false, false, 32, 0, "32", "500", "500"},
        {{kOff, 33, kOff, 255, kMixerOff, 255, 0x13, 0x89, 0xFF, 0xFF}, true, true, 32, 32, "255", "5001", "65535"},
        {{0x01, 17, kOn, 1, kMixerOff, 7, 0x05, 0xDC, 0x00, 0x01}, false, false, 17, 1, "7", "1500", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        Status(AudioStatus(c.bytes));
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
        {kMixerOn, 4, 0, true},
        {kMixerAuto, 4, 0, false},
        {kMixerOff, 0xFF, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.before) << " then " << int(c.mode));
        Status(AudioStatus({kOn, 20, kOn, 16, c.before, 12, 0, 0, 0, 0}));
        Status(AudioStatus({kOn, 20, kOn, 16, c.mode, 12, 0, 0, 0, 0}));
        EXPECT_EQ(CheckedRadio(), c.checked);
        EXPECT_TRUE(MixerControlsAre(c.enabled));
        EXPECT_TRUE(std::all_of(std::begin(kRadios), std::end(kRadios), [&](int id) { return Enabled(id); }));
    }
    // The group stays exclusive after all three were unchecked.
    PageButton(a::kMixerOff)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMixerMode.set, {{kValueByte, kMixerOff}}));
    Answer(MakeFrame(kMixerMode.set, {{kValueByte, kMixerOff}}));
    PageButton(a::kMixerOn)->click();
    EXPECT_EQ(CheckedRadio(), a::kMixerOn);
}

TEST_F(AudioPageTest, TheMixerModeAnswerEnablesOrDisablesTheMixerControls)
{
    Status(AudioStatus({kOn, 20, kOn, 16, kMixerAuto, 12, 0, 0, 0, 0}));
    ASSERT_TRUE(MixerControlsAre(false));
    const std::pair<std::uint8_t, bool> answers[] = {
        {kMixerOn, true}, {kMixerAuto, false}, {0, false}, {kMixerOff, true}, {9, true}, {kMixerAuto, false},
    };
    for (const auto& [mode, enabled] : answers) {
        Answer(MakeFrame(kMixerMode.set, {{kValueByte, mode}}));
        EXPECT_TRUE(MixerControlsAre(enabled)) << int(mode);
    }
    EXPECT_EQ(CheckedRadio(), a::kMixerAuto) << "the answer leaves the radios as they are";
}

TEST_F(AudioPageTest, EveryControlSendsItsFrame)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<std::uint8_t> frame;
        bool tokenBackAtOnce;
    };
    auto* volume = PageCtl<QSlider>(a::kVolumeSlider);
    auto* mic = PageCtl<QSlider>(a::kMicVolumeSlider);
    const Case cases[] = {
        {"unmute", [&] { PageButton(a::kMute)->click(); }, Frame(kMute.set, {{kValueByte, kOff}}), false},
        {"mute", [&] { PageButton(a::kMute)->click(); }, Frame(kMute.set, {{kValueByte, kOn}}), false},
        {"mic mute", [&] { PageButton(a::kMicMute)->click(); }, Frame(kMicMute.set, {{kValueByte, kOn}}), false},
        {"mic unmute", [&] { PageButton(a::kMicMute)->click(); }, Frame(kMicMute.set, {{kValueByte, kOff}}), false},
        {"volume 0",
         [&] {
             volume->setValue(0);
             ClickThumb(a::kVolumeSlider);
         },
         Frame(kVolume.set, {{kValueByte, 0}}), false},
        {"volume 32",
         [&] {
             volume->setValue(32);
             ClickThumb(a::kVolumeSlider);
         },
         Frame(kVolume.set, {{kValueByte, 32}}), false},
        {"mic 31",
         [&] {
             mic->setValue(31);
             ClickThumb(a::kMicVolumeSlider);
         },
         Frame(kMicVolume.set, {{kValueByte, 31}}), false},
        {"ON", [&] { PageButton(a::kMixerOn)->click(); }, Frame(kMixerMode.set, {{kValueByte, 1}}), false},
        {"AUTO", [&] { PageButton(a::kMixerAuto)->click(); }, Frame(kMixerMode.set, {{kValueByte, 3}}), false},
        {"OFF", [&] { PageButton(a::kMixerOff)->click(); }, Frame(kMixerMode.set, {{kValueByte, 2}}), false},
        {"mixer volume", [&] { TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "32"); },
         Frame(kMixerVolume.set, {{kValueByte, 32}}), false},
        {"fade in", [&] { TypeAndSet(a::kFadeInBox, a::kFadeInSet, "4660"); },
         Frame(kFadeIn.set, {{kValueByte, 0x12}, {kSecondValueByte, 0x34}}), true},
        {"fade out", [&] { TypeAndSet(a::kFadeOutBox, a::kFadeOutSet, "0"); }, Frame(kFadeOut.set), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(ReadFrame(), c.frame);
        EXPECT_EQ(panel->Token().Ready(), c.tokenBackAtOnce);
        const std::vector<std::uint8_t>& sent = c.frame;
        FrameBytes echo{};
        std::copy(sent.begin(), sent.end(), echo.begin());
        Answer(echo);
        if (c.tokenBackAtOnce) {
            EXPECT_EQ(ReadFrame().at(kCommandByte), sent[kCommandByte] + 1) << "the read-back follows";
        }
        EXPECT_TRUE(panel->Token().Ready());
    }
}

TEST_F(AudioPageTest, MuteAndAFadeTimeGoOutByteForByte)
{
    PageButton(a::kMicMute)->click();
    EXPECT_EQ(ReadFrame(),
              (std::vector<std::uint8_t>{0x50, 0x56, 0x54, 0x24, 0x0A, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x18}));
    Answer(MakeFrame(kMicMute.set, {{kValueByte, kOn}}));
    TypeAndSet(a::kFadeInBox, a::kFadeInSet, "5000");
    EXPECT_EQ(ReadFrame(), (std::vector<std::uint8_t>{0x50, 0x56, 0x54, 0x24, 0x33, 0x13, 0x88, 0, 0, 0, 0, 0, 0, 0, 0,
                                                      0, 0, 0xEC}));
}

TEST_F(AudioPageTest, PageKeysMoveTheBoxAndTheLimitButSendNothing)
{
    auto* slider = PageCtl<QSlider>(a::kVolumeSlider);
    slider->setFocus();
    PressKey(slider, Qt::Key_PageUp);
    EXPECT_EQ(slider->value(), 21);
    PressKey(slider, Qt::Key_Left);
    EXPECT_EQ(slider->value(), 21) << "arrow keys move by nothing";
    EXPECT_EQ(BoxText(a::kVolumeBox), "21");
    EXPECT_EQ(Audio()->VolumeLimit(), 21);
    EXPECT_TRUE(LineQuiet());
    ClickChannelEnd(a::kMicVolumeSlider);
    EXPECT_EQ(ReadFrame(), Frame(kMicVolume.set, {{kValueByte, 17}}));
    EXPECT_EQ(BoxText(a::kMicVolumeBox), "17");
    EXPECT_EQ(Audio()->VolumeLimit(), 21) << "the microphone sets no limit";
}

TEST_F(AudioPageTest, TypedValuesOutOfRangeAreRefusedInAPlainBox)
{
    struct Case {
        int box, set;
        const char* text;
    };
    const Case cases[] = {
        {a::kMixerVolumeBox, a::kMixerVolumeSet, "21"},  // the audio volume is 20
        {a::kMixerVolumeBox, a::kMixerVolumeSet, "-1"}, {a::kFadeInBox, a::kFadeInSet, "5001"},
        {a::kFadeInBox, a::kFadeInSet, "-1"},           {a::kFadeOutBox, a::kFadeOutSet, "5001"},
        {a::kFadeOutBox, a::kFadeOutSet, " -1"},        {a::kFadeOutBox, a::kFadeOutSet, "99999999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const PlainBox seen = TypeAndSet(c.box, c.set, c.text);
        EXPECT_EQ(seen.text, " Input value error!");
        EXPECT_EQ(seen.buttons, QStringList{"Ok"});
        EXPECT_FALSE(seen.tokenFreeWhileShown);
        EXPECT_TRUE(panel->Token().Ready()) << "given back once the box is closed";
        EXPECT_TRUE(LineQuiet());
    }
    EXPECT_FALSE(pages::MessageBoxShowing()) << "the panel's own box stays shut";
}

TEST_F(AudioPageTest, TypedValuesAreReadAsDecimalsUpToTheFirstOtherCharacter)
{
    struct Case {
        int box, set;
        const char* text;
        std::vector<std::uint8_t> frame;
    };
    const Case cases[] = {
        {a::kMixerVolumeBox, a::kMixerVolumeSet, "20", Frame(kMixerVolume.set, {{kValueByte, 20}})},
        {a::kMixerVolumeBox, a::kMixerVolumeSet, "  +7", Frame(kMixerVolume.set, {{kValueByte, 7}})},
        {a::kMixerVolumeBox, a::kMixerVolumeSet, "abc", Frame(kMixerVolume.set)},
        {a::kFadeInBox, a::kFadeInSet, "1500ms", Frame(kFadeIn.set, {{kValueByte, 0x05}, {kSecondValueByte, 0xDC}})},
        {a::kFadeInBox, a::kFadeInSet, " 5000", Frame(kFadeIn.set, {{kValueByte, 0x13}, {kSecondValueByte, 0x88}})},
        {a::kFadeOutBox, a::kFadeOutSet, "-0", Frame(kFadeOut.set)},
        {a::kFadeOutBox, a::kFadeOutSet, "256 ms", Frame(kFadeOut.set, {{kValueByte, 0x01}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TypeAndSet(c.box, c.set, c.text).text, QString());
        EXPECT_EQ(ReadFrame(), c.frame);
        Answer(MakeFrame(kMute.set));  // any frame gives the token back
        ASSERT_TRUE(panel->Token().Ready());
    }
}

// A page whose status never came has seen no audio volume but the slider's 0.
TEST_F(PageTest, UntilAStatusArrivesOnlyZeroIsAcceptedAsMixerVolume)
{
    Connect();
    Answer(MakeFrame(kGeneralStatus));
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabAudio));
    ASSERT_EQ(ReadFrame(), Frame(kAudioStatus));
    page = panel->Pages().Existing(panel->CurrentPage());
    auto* audio = static_cast<pages::AudioDlg*>(page);
    EXPECT_EQ(audio->VolumeLimit(), 0);
    QStringList shown;
    ModalWatcher watcher([&](QWidget* modal) {
        shown << static_cast<QMessageBox*>(modal)->text();
        Dismiss(modal);
    });
    for (const char* text : {"1", "0"}) {
        page->ControlAs<QLineEdit>(a::kMixerVolumeBox)->setText(text);
        page->ControlAs<QAbstractButton>(a::kMixerVolumeSet)->click();
    }
    EXPECT_EQ(shown, QStringList{" Input value error!"});
    EXPECT_EQ(ReadFrame(), Frame(kMixerVolume.set));
}

TEST_F(AudioPageTest, EachFadeTimeIsAcknowledgedThenReadBack)
{
    struct Case {
        int box, set;
        const WordSetting* setting;
        const char* typed;
        std::uint8_t high, low;
        const char* shown;
    };
    // The switcher may store another value than the one sent; the box shows what it reads back.
    const Case cases[] = {
        {a::kFadeInBox, a::kFadeInSet, &kFadeIn, "1500", 0x05, 0xDC, "1500"},
        {a::kFadeOutBox, a::kFadeOutSet, &kFadeOut, "750", 0x01, 0xF4, "500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TypeAndSet(c.box, c.set, c.typed);
        const auto sent = ReadFrame();
        ASSERT_EQ(sent.at(kCommandByte), c.setting->set.cmd);
        EXPECT_TRUE(panel->Token().Ready()) << "a fade time waits for nothing";
        Answer(MakeFrame(c.setting->set, {{kValueByte, sent[kValueByte]}, {kSecondValueByte, sent[kSecondValueByte]}}));
        EXPECT_EQ(ReadFrame(), Frame(c.setting->read));
        EXPECT_TRUE(panel->Token().Ready());
        Answer(MakeFrame(c.setting->read, {{kValueByte, c.high}, {kSecondValueByte, c.low}}));
        EXPECT_EQ(BoxText(c.box), c.shown);
    }
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
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "9");
    const auto first = ReadFrame();
    ASSERT_EQ(first, Frame(kMixerVolume.set, {{kValueByte, 9}}));
    EXPECT_TRUE(page->TimerRunning(timer::kMixerAnswer));
    Advance(timer::kMixerAnswerMs - 1);
    EXPECT_TRUE(LineQuiet());
    Advance(1);
    EXPECT_EQ(ReadFrame(), first) << "the same frame once more at 2000 ms";
    EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
    EXPECT_TRUE(page->TimerRunning(timer::kMixerRetry));
    EXPECT_FALSE(panel->Token().Ready());
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

TEST_F(AudioPageTest, TheAcknowledgementStopsTheTimeOut)
{
    for (const int answerAt : {1000, timer::kMixerAnswerMs + 1000}) {
        SCOPED_TRACE(answerAt);
        ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
        TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "20");
        ASSERT_EQ(ReadFrame(), Frame(kMixerVolume.set, {{kValueByte, 20}}));
        Advance(answerAt);
        if (answerAt > timer::kMixerAnswerMs) {
            ASSERT_EQ(ReadFrame(), Frame(kMixerVolume.set, {{kValueByte, 20}}));
        }
        Answer(MakeFrame(kMixerVolume.set, {{kValueByte, 20}}));
        EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
        EXPECT_FALSE(page->TimerRunning(timer::kMixerRetry));
        EXPECT_TRUE(panel->Token().Ready());
        Advance(3 * timer::kMixerAnswerMs);
        EXPECT_TRUE(LineQuiet());
        EXPECT_EQ(watcher.Seen(), 0);
    }
}

TEST_F(AudioPageTest, TheRepetitionIsTheMixerVolumeEvenIfTheBufferWasRefilled)
{
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "5");
    const auto mixer = ReadFrame();
    // A stray frame gives the token back, and the mute reuses the shared buffer.
    Answer(MakeFrame(kMute.set, {{kValueByte, kOn}}));
    PageButton(a::kMute)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMute.set, {{kValueByte, kOff}}));
    Advance(timer::kMixerAnswerMs);
    EXPECT_EQ(ReadFrame(), mixer);
    Answer(MakeFrame(kMixerVolume.set, {{kValueByte, 5}}));
    EXPECT_FALSE(page->TimerRunning(timer::kMixerRetry));
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

TEST_F(AudioPageTest, ACommandWhileAnAnswerIsAwaitedIsDroppedSilently)
{
    PageButton(a::kMute)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMute.set, {{kValueByte, kOff}}));
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    PageButton(a::kMicMute)->click();
    PageButton(a::kMixerAuto)->click();
    ClickThumb(a::kVolumeSlider);
    ClickThumb(a::kMicVolumeSlider);
    TypeAndSet(a::kMixerVolumeBox, a::kMixerVolumeSet, "99");  // refused before it is read
    TypeAndSet(a::kFadeInBox, a::kFadeInSet, "100");
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(watcher.Seen(), 0) << "no message";
    EXPECT_FALSE(page->TimerRunning(timer::kMixerAnswer));
    Answer(MakeFrame(kMute.set, {{kValueByte, kOff}}));
    PageButton(a::kMixerOff)->click();
    EXPECT_EQ(ReadFrame(), Frame(kMixerMode.set, {{kValueByte, kMixerOff}}));
}

TEST_F(AudioPageTest, WhileAnAnswerIsAwaitedTheSliderBoxWaitsToo)
{
    PageButton(a::kMute)->click();
    ASSERT_EQ(ReadFrame(), Frame(kMute.set, {{kValueByte, kOff}}));
    auto* slider = PageCtl<QSlider>(a::kVolumeSlider);
    slider->setValue(25);
    EXPECT_EQ(BoxText(a::kVolumeBox), "20");
    EXPECT_EQ(Audio()->VolumeLimit(), 20);
    Answer(MakeFrame(kMute.set, {{kValueByte, kOff}}));
    slider->repaint();  // the next paint catches up
    EXPECT_EQ(BoxText(a::kVolumeBox), "25");
    EXPECT_EQ(Audio()->VolumeLimit(), 25);
}

TEST_F(AudioPageTest, DisconnectedSlidersRepaintAndMoveWithoutAMessage)
{
    Ctl<QAbstractButton>(c::kComConnect)->click();
    ASSERT_FALSE(panel->Connection().ComOpen());
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    for (const int id : {a::kVolumeSlider, a::kMicVolumeSlider}) {
        auto* slider = PageCtl<QSlider>(id);
        slider->repaint();
        slider->setValue(3);
        slider->setFocus();
        PressKey(slider, Qt::Key_PageUp);
        slider->repaint();
        EXPECT_EQ(slider->value(), 4);
    }
    PumpFor(50ms);
    EXPECT_EQ(watcher.Seen(), 0);
    EXPECT_EQ(BoxText(a::kVolumeBox), "20") << "not refreshed while the link is down";
    EXPECT_EQ(BoxText(a::kMicVolumeBox), "16");
    EXPECT_EQ(Audio()->VolumeLimit(), 20);
    // Letting go is a command: that one says why nothing is sent.
    ClickThumb(a::kVolumeSlider);
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(pages::MessageText(), "Open COM failed!");
}

}  // namespace velmora::test
