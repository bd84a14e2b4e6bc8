#include "pages/general_page.h"

#include "pages/general_lists.h"
#include "platform/combo_box.h"
#include "platform/window.h"
#include "protocol/baud_rates.h"
#include "protocol/commands.h"
#include "res/main_ids.h"

#include <QAbstractButton>
#include <QPlainTextEdit>

namespace velmora::pages {

namespace c = ctl::main;
using namespace protocol;

namespace {

struct ListControl {
    int listId;
    const ListSetting* setting;
};

constexpr ListControl kListControls[] = {
    {c::kAutoSwitchList, &kAutoSwitch},
    {c::kResolutionList, &kResolution},
    {c::kAspectList, &kAspectRatio},
    {c::kEdidList, &kEdid},
    {c::kHdcpList, &kHdcp},
};

const ListSetting* SettingOf(int listId)
{
    for (const auto& list : kListControls) {
        if (list.listId == listId) {
            return list.setting;
        }
    }
    return nullptr;
}

template <std::size_t N>
void Fill(platform::ComboBox* list, const std::array<std::string_view, N>& texts)
{
    for (const auto text : texts) {
        list->AddString(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
}

QString Text(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

bool ValidInput(std::uint8_t input) { return input >= kInputHdmi1 && input <= kInputVga; }

}  // namespace

void GeneralPage::Send(Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params,
                       Answer answer)
{
    send_.Send(command, params);
    token_.AfterSend(answer);
}

GeneralPage::GeneralPage(platform::Window& window, SendPath& send, LinkToken& token,
                         std::function<bool()> checkConnection)
    : window_(window), send_(send), token_(token), checkConnection_(std::move(checkConnection))
{}

platform::ComboBox* GeneralPage::List(int id) const { return window_.ControlAs<platform::ComboBox>(id); }

void GeneralPage::FillLists()
{
    Fill(List(c::kAudioList), general_lists::kAudio);
    List(c::kAudioList)->SetCurSel(0);
    Fill(List(c::kAspectList), general_lists::kAspectRatio);
    Fill(List(c::kResolutionList), general_lists::kResolution);
    Fill(List(c::kAutoSwitchList), general_lists::kAutoSwitch);
    Fill(List(c::kEdidList), general_lists::kEdid);
    Fill(List(c::kHdcpList), general_lists::kHdcp);
    for (const unsigned baud : kBaudRates) {
        List(c::kBaudList)->AddString(QString::number(baud));
    }
    // A list shows no choice until the switcher's status answer or the
    // operator makes one: a panel that never talked to the switcher must not
    // look as if it knew its settings.
    for (const int id : {c::kAutoSwitchList, c::kResolutionList, c::kAspectList, c::kEdidList, c::kHdcpList}) {
        List(id)->SetCurSel(-1);
    }
}

bool GeneralPage::OnCommand(int id)
{
    for (std::uint8_t i = 0; i < kInputCount; ++i) {
        if (c::kInputButtons[i] == id) {
            OnInputClicked(static_cast<std::uint8_t>(i + 1));
            return true;
        }
    }
    if (id == c::kAudioList) {
        OnAudioChanged();
        return true;
    }
    if (id == c::kClear) {
        OnClear();
        return true;
    }
    if (SettingOf(id)) {
        OnListChanged(id);
        return true;
    }
    return false;
}

void GeneralPage::OnInputClicked(std::uint8_t input)
{
    if (!checkConnection_()) {
        return;
    }
    Send(kSelectInput, {{kInputByte, input}, {kSelectInputFlagByte, kSelectInputByte7}}, Answer::Awaited);
    selectedInput_ = input;
}

void GeneralPage::OnAudioChanged()
{
    const int position = List(c::kAudioList)->GetCurSel();
    const int source = position + (selectedInput_ == kInputVga ? 1 : 0);
    Send(kSetAudioSource,
         {{kInputByte, static_cast<std::uint8_t>(selectedInput_)},
          {kAudioSourceByte, static_cast<std::uint8_t>(source)}},
         Answer::None);
}

void GeneralPage::OnListChanged(int id)
{
    if (!checkConnection_()) {
        return;
    }
    const ListSetting& setting = *SettingOf(id);
    Send(setting.set, {{kValueByte, ListSetting::ValueOf(List(id)->GetCurSel())}, {kSecondValueByte, setting.byte6}},
         Answer::None);
}

void GeneralPage::OnClear()
{
    window_.ControlAs<QPlainTextEdit>(c::kReceiveLog)->clear();
    window_.ControlAs<QPlainTextEdit>(c::kSendLog)->clear();
    token_.GiveBack();
}

void GeneralPage::HandleReply(std::span<const std::uint8_t, kFrameSize> frame)
{
    const Command command{frame[kClassByte], frame[kCommandByte]};
    if (command == kGeneralStatus) {
        HandleStatus(frame);
    } else if (command == kSelectInput && frame[kInputByte] == kInputAccepted) {
        HandleInputAccepted();
    } else if (command == kQueryAudioSource) {
        HandleAudioSource(frame);
    }
}

void GeneralPage::HandleStatus(std::span<const std::uint8_t, kFrameSize> frame)
{
    namespace gs = general_status;
    SelectFromStatus(c::kAutoSwitchList, frame);
    const std::uint8_t input = frame[gs::kInput];
    MarkInput(input);
    if (ValidInput(input)) {
        selectedInput_ = input;
        ShapeAudioList(input);
    }
    List(c::kAudioList)->SetCurSel(AudioPosition(frame[gs::kAudio], input));
    for (const int id : {c::kResolutionList, c::kAspectList, c::kEdidList, c::kHdcpList}) {
        SelectFromStatus(id, frame);
    }
}

void GeneralPage::SelectFromStatus(int listId, std::span<const std::uint8_t, kFrameSize> frame)
{
    const ListSetting& setting = *SettingOf(listId);
    List(listId)->SetCurSel(setting.PositionOf(frame[setting.statusByte]));
}

void GeneralPage::HandleInputAccepted()
{
    // The answer does not name the input: it is the one the buffer still
    // holds. After a frame that was no input change that byte names no input;
    // nothing on the page changes then, but the query goes out all the same.
    // The query goes out before the page's widgets change, so that the
    // switcher has it while they are redrawn.
    const std::uint8_t input = send_.Frame().At(kInputByte);
    send_.Send(kQueryAudioSource, {{kInputByte, input}});
    if (ValidInput(input)) {
        ShapeAudioList(input);
        MarkInput(input);
    }
}

void GeneralPage::HandleAudioSource(std::span<const std::uint8_t, kFrameSize> frame)
{
    send_.Send(kInputChangeDone);
    List(c::kAudioList)->SetCurSel(AudioPosition(frame[kAudioSourceByte], static_cast<std::uint8_t>(selectedInput_)));
}

void GeneralPage::ShapeAudioList(std::uint8_t input)
{
    auto* audio = List(c::kAudioList);
    const QString first = audio->GetLBText(0);
    if (input == kInputVga) {
        if (first == Text(general_lists::kAudioEmbedded)) {
            audio->DeleteString(0);
        }
    } else if (first == Text(general_lists::kAudioFirstExternal)) {
        audio->InsertString(0, Text(general_lists::kAudioEmbedded));
    }
}

void GeneralPage::MarkInput(std::uint8_t input)
{
    for (std::uint8_t i = 0; i < kInputCount; ++i) {
        window_.ControlAs<QAbstractButton>(c::kInputButtons[i])->setChecked(i + 1 == input);
    }
}

int GeneralPage::AudioPosition(std::uint8_t audioValue, std::uint8_t input) const
{
    return audioValue - (input == kInputVga ? 1 : 0);
}

}  // namespace velmora::pages
