#include "pages/video_page.h"

#include "appdefs/page_codes.h"
#include "platform/slider.h"
#include "protocol/commands.h"
#include "protocol/video_commands.h"
#include "res/templates.h"
#include "res/video_ids.h"

namespace velmora::pages {

namespace c = ctl::video;
namespace p = protocol;

namespace {

// A slider, the box that shows its position, and the setting it sends on release.
struct SliderControl {
    int slider;
    int box;
    const p::ValueSetting* setting;
    bool waitsForAnswer;  // the VGA size keeps the token until the switcher answers
};

constexpr SliderControl kSliders[] = {
    {c::kContrastSlider, c::kContrastBox, &p::kContrast, false},
    {c::kBrightnessSlider, c::kBrightnessBox, &p::kBrightness, false},
    {c::kColorSlider, c::kColorBox, &p::kColor, false},
    {c::kSharpnessSlider, c::kSharpnessBox, &p::kSharpness, false},
    {c::kHSizeSlider, c::kHSizeBox, &p::kVgaHSize, true},
    {c::kVSizeSlider, c::kVSizeBox, &p::kVgaVSize, true},
};

// Up-down arrows, their value box and the step they send.
struct StepControl {
    int upDown;
    int box;
    const p::StepSetting* setting;
};

constexpr StepControl kSteps[] = {
    {c::kHPositionStep, c::kHPositionBox, &p::kHPosition},
    {c::kVPositionStep, c::kVPositionBox, &p::kVPosition},
    {c::kClockStep, c::kClockBox, &p::kClock},
    {c::kPhaseStep, c::kPhaseBox, &p::kPhase},
};

constexpr std::uint8_t kVgaInput = p::kInputVga;

}  // namespace

const ReplyRoute<CMatrixDlg> CMatrixDlg::kReplies[] = {
    {p::kVideoStatus, &CMatrixDlg::OnStatus},          {p::kHPosition.step, nullptr, p::kHPosition.read},
    {p::kVPosition.step, nullptr, p::kVPosition.read}, {p::kClock.step, nullptr, p::kClock.read},
    {p::kPhase.step, nullptr, p::kPhase.read},         {p::kHPosition.read, &CMatrixDlg::OnStepValue},
    {p::kVPosition.read, &CMatrixDlg::OnStepValue},    {p::kClock.read, &CMatrixDlg::OnStepValue},
    {p::kPhase.read, &CMatrixDlg::OnStepValue},
};

CMatrixDlg::CMatrixDlg(PageHost& host, QWidget* parent) : PageWindow(page::kVideo, res::VideoTemplate(), host, parent)
{
    // Arrow keys move a slider by nothing, page keys by one.
    for (const auto& s : kSliders) {
        ControlAs<platform::Slider>(s.slider)->Setup(s.setting->min, s.setting->max, 0, 1);
    }
    SwallowDialogKeys();
}

void CMatrixDlg::HandleReply(protocol::ReplyFrame frame) { Route(kReplies, frame); }

void CMatrixDlg::OnCommand(int id, platform::Notify code, int value)
{
    switch (code) {
    case platform::Notify::Moved:
        ShowSliderPosition(id);
        break;
    case platform::Notify::Released:
        OnSliderReleased(id);
        break;
    case platform::Notify::UpDown:
        OnStep(id, value);
        break;
    default:
        break;
    }
}

void CMatrixDlg::ShowSliderPosition(int sliderId)
{
    if (const SliderControl* s = FindControl(kSliders, &SliderControl::slider, sliderId)) {
        SetBoxNumber(s->box, ControlAs<platform::Slider>(sliderId)->value());
    }
}

void CMatrixDlg::OnSliderReleased(int sliderId)
{
    const SliderControl* s = FindControl(kSliders, &SliderControl::slider, sliderId);
    if (!s) {
        return;
    }
    const auto position = static_cast<std::uint8_t>(ControlAs<platform::Slider>(sliderId)->value());
    if (!CheckConnection()) {
        return;
    }
    p::CommandFrame& frame = Begin(s->setting->set);
    frame.Set(p::kValueByte, position);
    if (s->setting->echoByte != 0) {
        frame.Set(s->setting->echoByte, position);
    }
    PostSend(s->waitsForAnswer ? protocol::Answer::Awaited : protocol::Answer::None);
}

void CMatrixDlg::OnStep(int upDownId, int delta)
{
    const StepControl* s = FindControl(kSteps, &StepControl::upDown, upDownId);
    if (!s || !CheckConnection()) {
        return;
    }
    if (delta != 1 && delta != -1) {
        Token().Refused();
        return;
    }
    // The token stays taken: the acknowledgement leads to the read-back.
    Send(s->setting->step, {{p::kValueByte, delta > 0 ? p::kStepUp : p::kStepDown}});
}

void CMatrixDlg::OnStatus(protocol::ReplyFrame frame)
{
    for (const auto& s : kSliders) {
        MoveSlider(s.slider, frame[s.setting->statusByte]);
    }
    const bool vga = frame[p::video_status::kInput] == kVgaInput;
    EnableSteps(vga);
    if (vga) {
        for (const auto& s : kSteps) {
            SetBoxNumber(s.box, frame[s.setting->statusByte]);
        }
    }
}

void CMatrixDlg::OnStepValue(protocol::ReplyFrame frame)
{
    const p::Command command = p::CommandOf(frame);
    for (const auto& s : kSteps) {
        if (s.setting->read == command) {
            SetBoxNumber(s.box, frame[p::kValueByte]);
        }
    }
}

// Moving a slider repaints it, and its box then shows where it stands, also
// when the value was beyond its range.
void CMatrixDlg::MoveSlider(int sliderId, std::uint8_t position)
{
    ControlAs<platform::Slider>(sliderId)->setValue(position);
    ShowSliderPosition(sliderId);
}

void CMatrixDlg::EnableSteps(bool enabled)
{
    for (const auto& s : kSteps) {
        Control(s.box)->setEnabled(enabled);
        Control(s.upDown)->setEnabled(enabled);
    }
}

}  // namespace velmora::pages
