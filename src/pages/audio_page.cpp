#include "pages/audio_page.h"

#include "appdefs/page_codes.h"
#include "appdefs/timer_ids.h"
#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "platform/slider.h"
#include "platform/system_message.h"
#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/decimal_text.h"
#include "res/audio_ids.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QLineEdit>

#include <optional>

namespace velmora::pages {

namespace c = ctl::audio;
namespace p = protocol;

namespace {

// A volume slider and the box that shows its position.
struct SliderControl {
    int slider;
    int box;
    const p::ValueSetting* setting;
    bool setsLimit;  // the audio volume bounds the mixer's audio volume
};

constexpr SliderControl kSliders[] = {
    {c::kVolumeSlider, c::kVolumeBox, &p::kVolume, true},
    {c::kMicVolumeSlider, c::kMicVolumeBox, &p::kMicVolume, false},
};

struct MuteControl {
    int button;
    const p::SwitchSetting* setting;
};

constexpr MuteControl kMutes[] = {{c::kMute, &p::kMute}, {c::kMicMute, &p::kMicMute}};

struct ModeControl {
    int radio;
    std::uint8_t mode;
};

constexpr ModeControl kModes[] = {
    {c::kMixerOn, p::kMixerOn},
    {c::kMixerAuto, p::kMixerAuto},
    {c::kMixerOff, p::kMixerOff},
};

// A fade time: its box, its Set button and the setting it sends.
struct FadeControl {
    int box;
    int set;
    const p::WordSetting* setting;
};

constexpr FadeControl kFades[] = {
    {c::kFadeInBox, c::kFadeInSet, &p::kFadeIn},
    {c::kFadeOutBox, c::kFadeOutSet, &p::kFadeOut},
};

// What the mixer's audio volume and fade times are set with.
constexpr int kMixerControls[] = {c::kMixerVolumeBox, c::kMixerVolumeSet, c::kFadeInBox,
                                  c::kFadeInSet,      c::kFadeOutBox,     c::kFadeOutSet};

// In AUTO the mixer sets itself and its controls are disabled; ON and OFF
// enable them; any other mode leaves them as they are.
std::optional<bool> MixerControlsEnabled(std::uint8_t mode)
{
    switch (mode) {
    case p::kMixerOn:
    case p::kMixerOff:
        return true;
    case p::kMixerAuto:
        return false;
    default:
        return std::nullopt;
    }
}

}  // namespace

const ReplyRoute<AudioDlg> AudioDlg::kReplies[] = {
    {p::kAudioStatus, &AudioDlg::OnStatus},
    {p::kMixerVolume.set, &AudioDlg::OnMixerVolumeAnswer},
    {p::kMixerMode.set, &AudioDlg::OnMixerModeAnswer},
    {p::kFadeIn.set, nullptr, p::kFadeIn.read},
    {p::kFadeOut.set, nullptr, p::kFadeOut.read},
    {p::kFadeIn.read, &AudioDlg::OnFadeTime},
    {p::kFadeOut.read, &AudioDlg::OnFadeTime},
};

AudioDlg::AudioDlg(PageHost& host, QWidget* parent) : PageWindow(page::kAudio, res::AudioTemplate(), host, parent)
{
    // Arrow keys move a slider by nothing, page keys by one.
    for (const auto& s : kSliders) {
        auto* slider = ControlAs<platform::Slider>(s.slider);
        slider->Setup(s.setting->min, s.setting->max, 0, 1);
        slider->installEventFilter(this);
    }
}

void AudioDlg::HandleReply(protocol::ReplyFrame frame) { Route(kReplies, frame); }

void AudioDlg::OnCommand(int id, platform::Notify code, int)
{
    switch (code) {
    case platform::Notify::Clicked:
        OnClicked(id);
        break;
    case platform::Notify::Moved:
        RefreshSliderBox(id);
        break;
    case platform::Notify::Released:
        OnSliderReleased(id);
        break;
    default:
        break;
    }
}

void AudioDlg::OnClicked(int id)
{
    if (FindControl(kMutes, &MuteControl::button, id)) {
        OnMute(id);
    } else if (FindControl(kModes, &ModeControl::radio, id)) {
        OnMixerMode(id);
    } else if (id == c::kMixerVolumeSet) {
        OnSetMixerVolume();
    } else if (FindControl(kFades, &FadeControl::set, id)) {
        OnSetFadeTime(id);
    }
}

// Every paint of a slider refreshes its box too, as long as the link is up
// and free; the test shows no message, since a message box closing over the
// page would repaint the slider and bring it back.
bool AudioDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        for (const auto& s : kSliders) {
            if (watched == Control(s.slider)) {
                RefreshSliderBox(s.slider);
            }
        }
    }
    return PageWindow::eventFilter(watched, event);
}

void AudioDlg::RefreshSliderBox(int sliderId)
{
    if (FindControl(kSliders, &SliderControl::slider, sliderId) && LinkIdle()) {
        ShowSliderPosition(sliderId);
    }
}

void AudioDlg::OnSliderReleased(int sliderId)
{
    const SliderControl* s = FindControl(kSliders, &SliderControl::slider, sliderId);
    if (!s || !CheckConnection()) {
        return;
    }
    const auto position = static_cast<std::uint8_t>(ControlAs<platform::Slider>(sliderId)->value());
    Send(s->setting->set, {{p::kValueByte, position}});
}

// The button has already changed its own state; the command asks for it.
void AudioDlg::OnMute(int id)
{
    const MuteControl* m = FindControl(kMutes, &MuteControl::button, id);
    if (!CheckConnection()) {
        return;
    }
    const bool checked = ControlAs<QAbstractButton>(id)->isChecked();
    Send(m->setting->set, {{p::kValueByte, m->setting->CommandByte(checked)}});
}

void AudioDlg::OnMixerMode(int id)
{
    const ModeControl* m = FindControl(kModes, &ModeControl::radio, id);
    if (CheckConnection()) {
        Send(p::kMixerMode.set, {{p::kValueByte, m->mode}});
    }
}

// The only command with a time-out: without an acknowledgement it goes out
// once more after 2 s, and 2 s after that the operator is told.
void AudioDlg::OnSetMixerVolume()
{
    if (!CheckConnection()) {
        return;
    }
    const int value = ReadBox(c::kMixerVolumeBox);
    if (value < 0 || value > volumeLimit_) {
        RefuseInput();
        return;
    }
    mixerVolume_ = static_cast<std::uint8_t>(value);
    SendMixerVolume();
    SetTimer(timer::kMixerAnswer, timer::kMixerAnswerMs);
}

// Built anew for the repetition too: a frame that came in meanwhile gives the
// token back and a later command may have refilled the shared buffer.
void AudioDlg::SendMixerVolume() { Send(p::kMixerVolume.set, {{p::kValueByte, mixerVolume_}}); }

// The fade time waits for nothing: its acknowledgement leads to the read-back.
void AudioDlg::OnSetFadeTime(int setId)
{
    const FadeControl* f = FindControl(kFades, &FadeControl::set, setId);
    if (!CheckConnection()) {
        return;
    }
    const int value = ReadBox(f->box);
    if (!f->setting->InRange(value)) {
        RefuseInput();
        return;
    }
    const auto ms = static_cast<std::uint16_t>(value);
    Send(f->setting->set, {{p::kValueByte, p::HighByte(ms)}, {p::kSecondValueByte, p::LowByte(ms)}},
         protocol::Answer::None);
}

void AudioDlg::RefuseInput()
{
    platform::ShowSystemMessage(QString::fromLatin1(platform::kInputValueError));
    Token().Refused();
}

int AudioDlg::ReadBox(int boxId) const
{
    const QString text = ControlAs<QLineEdit>(boxId)->text();
    return p::ReadDecimal(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

void AudioDlg::OnTimer(int id)
{
    if (id == timer::kMixerAnswer) {
        KillTimer(timer::kMixerAnswer);
        SendMixerVolume();
        SetTimer(timer::kMixerRetry, timer::kMixerAnswerMs);
    } else if (id == timer::kMixerRetry) {
        KillTimer(timer::kMixerRetry);
        CloseStatus();
        MessageText() = QString::fromLatin1(kMixerTimeOut);
        ShowMessage();
        Token().GiveBack();
    }
}

void AudioDlg::OnStatus(protocol::ReplyFrame frame)
{
    for (const auto& m : kMutes) {
        ControlAs<QAbstractButton>(m.button)->setChecked(m.setting->StatusIsOn(frame[m.setting->statusByte]));
    }
    for (const auto& s : kSliders) {
        ControlAs<platform::Slider>(s.slider)->setValue(frame[s.setting->statusByte]);
        ShowSliderPosition(s.slider);
    }
    ShowMixerMode(frame[p::kMixerMode.statusByte]);
    SetBoxNumber(c::kMixerVolumeBox, frame[p::kMixerVolume.statusByte]);
    for (const auto& f : kFades) {
        const std::size_t high = f.setting->statusHigh;
        SetBoxNumber(f.box, p::Word(frame[high], frame[high + 1]));
    }
}

void AudioDlg::OnMixerVolumeAnswer(protocol::ReplyFrame)
{
    KillTimer(timer::kMixerAnswer);
    KillTimer(timer::kMixerRetry);
}

void AudioDlg::OnMixerModeAnswer(protocol::ReplyFrame frame) { EnableMixerControls(frame[p::kValueByte]); }

void AudioDlg::OnFadeTime(protocol::ReplyFrame frame)
{
    const p::Command command = p::CommandOf(frame);
    for (const auto& f : kFades) {
        if (f.setting->read == command) {
            SetBoxNumber(f.box, p::Word(frame[p::kValueByte], frame[p::kSecondValueByte]));
        }
    }
}

// The box shows where the slider stands, also when it was asked to go beyond
// its range; the audio volume's position is what the mixer may not exceed.
void AudioDlg::ShowSliderPosition(int sliderId)
{
    const SliderControl* s = FindControl(kSliders, &SliderControl::slider, sliderId);
    const int position = ControlAs<platform::Slider>(sliderId)->value();
    SetBoxNumber(s->box, position);
    if (s->setsLimit) {
        volumeLimit_ = position;
    }
}

// The radios are one exclusive group; a mode that is none of them leaves
// all three unchecked, which the group allows only while not exclusive.
void AudioDlg::ShowMixerMode(std::uint8_t mode)
{
    QButtonGroup* group = ControlAs<QAbstractButton>(kModes[0].radio)->group();
    group->setExclusive(false);
    for (const auto& m : kModes) {
        ControlAs<QAbstractButton>(m.radio)->setChecked(m.mode == mode);
    }
    group->setExclusive(true);
    EnableMixerControls(mode);
}

void AudioDlg::EnableMixerControls(std::uint8_t mode)
{
    if (const auto enabled = MixerControlsEnabled(mode)) {
        for (const int id : kMixerControls) {
            Control(id)->setEnabled(*enabled);
        }
    }
}

}  // namespace velmora::pages
