#include "pages/advanced_page.h"

#include "appdefs/page_codes.h"
#include "pages/advanced_lists.h"
#include "pages/message_box.h"
#include "platform/combo_box.h"
#include "protocol/advanced_commands.h"
#include "protocol/commands.h"
#include "res/advanced_ids.h"
#include "res/templates.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace velmora::pages {

namespace c = ctl::advanced;
namespace p = protocol;
namespace lists = advanced_lists;

namespace {

// A list, its entries, the entry chosen when the page is made and the setting it sends.
struct ListControl {
    int id;
    const lists::Entries* entries;
    int initial;
    const p::ListSetting* setting;
};

constexpr ListControl kLists[] = {
    {c::kSerialBaudList, &lists::kSerialBaud, lists::kSerialBaudInitial, &p::kSerialBaud},
    {c::kSleepTimerList, &lists::kSleepTimer, lists::kSleepTimerInitial, &p::kSleepTimer},
    {c::kOsdTimeoutList, &lists::kOsdTimeout, lists::kOsdTimeoutInitial, &p::kOsdTimeout},
};

// A check box and the switch setting its status byte fills.
struct SwitchControl {
    int id;
    const p::SwitchSetting* setting;
};

constexpr SwitchControl kSwitches[] = {
    {c::kBeep, &p::kBeep},
    {c::kPower, &p::kPower},
};

}  // namespace

const ReplyRoute<CAdvancedDlg> CAdvancedDlg::kReplies[] = {
    {p::kAdvancedStatus, &CAdvancedDlg::OnStatus},
    // Acknowledgements: the dispatcher frees the token after them.
    {p::kUpgradeScaler},
    {p::kBeep.set},
};

CAdvancedDlg::CAdvancedDlg(PageHost& host, QWidget* parent)
    : PageWindow(page::kAdvanced, res::AdvancedTemplate(), host, parent)
{
    for (const auto& list : kLists) {
        auto* combo = ControlAs<platform::ComboBox>(list.id);
        for (const std::string_view entry : *list.entries) {
            combo->AddString(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
        }
        combo->SetCurSel(list.initial);
    }
}

void CAdvancedDlg::HandleReply(protocol::ReplyFrame frame) { Route(kReplies, frame); }

void CAdvancedDlg::OnCommand(int id, platform::Notify code, int value)
{
    switch (code) {
    case platform::Notify::Clicked:
        OnClicked(id);
        break;
    case platform::Notify::SelChange:
        OnListChosen(id, value);
        break;
    default:
        break;
    }
}

void CAdvancedDlg::OnClicked(int id)
{
    switch (id) {
    case c::kBeep:
        OnBeep();
        break;
    case c::kPower:
        OnPower();
        break;
    case c::kFactoryReset:
        OnFactoryReset();
        break;
    case c::kUpgradeScaler:
        if (CheckConnection()) {
            Send(p::kUpgradeScaler);
        }
        break;
    default:
        break;
    }
}

// A confirmed choice; the token waits for the switcher's answer.
void CAdvancedDlg::OnListChosen(int listId, int position)
{
    const ListControl* list = FindControl(kLists, &ListControl::id, listId);
    if (!list || position < 0 || !CheckConnection()) {
        return;
    }
    const p::ListSetting& setting = *list->setting;
    Send(setting.set, {{p::kValueByte, setting.ValueOf(position)}, {p::kSecondValueByte, setting.byte6}});
}

void CAdvancedDlg::OnBeep()
{
    if (CheckConnection()) {
        Send(p::kBeep.set, {{p::kValueByte, p::kBeep.CommandByte(Checked(c::kBeep))}});
    }
}

// Switching on goes out at once; switching off only when the operator
// confirms. Either way the token is free again before the command goes.
void CAdvancedDlg::OnPower()
{
    if (!CheckConnection()) {
        return;
    }
    if (Checked(c::kPower)) {
        Send(p::kPower.set, {{p::kValueByte, p::kPower.CommandByte(true)}}, protocol::Answer::None);
        return;
    }
    MessageText() = QString::fromLatin1(kPowerOffQuestion);
    if (AskQuestion(false) == kResultOk) {
        Send(p::kPower.set, {{p::kValueByte, p::kPower.CommandByte(false)}}, protocol::Answer::None);
    } else {
        Token().Refused();
    }
}

// Asked as the main window asks before its own reset; no progress popup.
void CAdvancedDlg::OnFactoryReset()
{
    if (!CheckConnection()) {
        return;
    }
    if (!ConfirmFactoryReset()) {
        Token().Refused();
        return;
    }
    Send(p::kAdvancedFactoryReset);
}

void CAdvancedDlg::OnStatus(protocol::ReplyFrame frame)
{
    for (const auto& s : kSwitches) {
        ControlAs<QAbstractButton>(s.id)->setChecked(s.setting->StatusIsOn(frame[s.setting->statusByte]));
    }
    // A value of 0 or beyond the list leaves it without a selection.
    for (const auto& list : kLists) {
        const p::ListSetting& setting = *list.setting;
        ControlAs<platform::ComboBox>(list.id)->SetCurSel(setting.PositionOf(frame[setting.statusByte]));
    }
    ControlAs<QLineEdit>(c::kVersionBox)
        ->setText(QString::asprintf("%d.%d", frame[p::advanced_status::kVersionMajor],
                                    frame[p::advanced_status::kVersionMinor]));
}

bool CAdvancedDlg::Checked(int id) const { return ControlAs<QAbstractButton>(id)->isChecked(); }

}  // namespace velmora::pages
