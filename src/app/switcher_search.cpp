#include "app/switcher_search.h"

#include "appdefs/timer_ids.h"
#include "platform/combo_box.h"
#include "platform/window.h"
#include "protocol/address_text.h"
#include "res/main_ids.h"

namespace velmora::app {

namespace c = ctl::main;

QString MacText(std::span<const std::uint8_t> mac) { return QString::fromStdString(protocol::MacText(mac)); }

std::optional<protocol::MacAddress> MacFromText(const QString& text)
{
    return protocol::MacFromText(text.toStdU16String());
}

SwitcherSearch::SwitcherSearch(platform::Window& window, transport::DeviceSearch& search, protocol::LinkToken& token,
                               std::function<void()> closeTcp, ConnectionHooks hooks)
    : window_(window), search_(search), token_(token), closeTcp_(std::move(closeTcp)), hooks_(std::move(hooks))
{
    QObject::connect(&search_, &transport::DeviceSearch::switcherFound, &window_,
                     [this](const protocol::SearchAnswer& answer) { ListAnswer(answer); });
    // Lists the switcher under its new address.
    QObject::connect(&search_, &transport::DeviceSearch::configAccepted, &window_, [this] { Search(); });
}

void SwitcherSearch::Search()
{
    window_.ControlAs<platform::ComboBox>(c::kSwitcherIp)->ResetContent();
    closeTcp_();
    search_.Search();  // no socket: as when no switcher answers
}

void SwitcherSearch::ListAnswer(const protocol::SearchAnswer& answer)
{
    auto* list = window_.ControlAs<platform::ComboBox>(c::kSwitcherIp);
    const QString address = QString::fromStdString(protocol::AddressText(answer.ip));
    const QString mac = MacText(answer.mac);
    // A switcher that heard the probe on two ways answers twice: listed once.
    // Switchers that share an address (units come from the factory with the
    // same one) are an entry each, told apart by their hardware address.
    // Anyone on the LAN can answer: a full list keeps the switchers it has.
    if (list->findData(mac) < 0 && list->GetCount() < kMaxFoundDevices) {
        list->setItemData(list->AddString(address), mac);
    }
    list->SetCurSel(0);
    window_.SetTimer(timer::kSearchSuccess, timer::kSearchSuccessMs);
}

std::optional<protocol::MacAddress> SwitcherSearch::SelectedMac() const
{
    const auto* list = window_.ControlAs<platform::ComboBox>(c::kSwitcherIp);
    const int entry = list->GetCurSel();
    if (entry < 0 || list->currentText() != list->GetLBText(entry)) {
        return std::nullopt;  // nothing chosen, or an address typed over the entry
    }
    return MacFromText(list->itemData(entry).toString());
}

void SwitcherSearch::Configure(const protocol::NetworkConfigRequest& request)
{
    if (!search_.Configure(request)) {
        return;
    }
    // A success shown from here on must come from a search after this
    // configuration, not from one still running out.
    window_.KillTimer(timer::kSearchSuccess);
    window_.KillTimer(timer::kSearchClose);
    window_.SetTimer(timer::kConfigTimeout, timer::kConfigTimeoutMs);
    hooks_.showStatus(QString::fromLatin1(kConfiguring));
}

bool SwitcherSearch::OnTimer(int id)
{
    switch (id) {
    case timer::kSearchSuccess:
        window_.KillTimer(timer::kSearchSuccess);
        // The switcher was found again: the configuration is done, and its
        // time-out must not report otherwise.
        window_.KillTimer(timer::kConfigTimeout);
        hooks_.finishStatus(QString::fromLatin1(kConfigureSuccess));
        window_.SetTimer(timer::kSearchClose, timer::kSearchCloseMs);
        return true;
    case timer::kSearchClose:
        window_.KillTimer(timer::kSearchClose);
        hooks_.closeStatus();
        return true;
    case timer::kConfigTimeout:
        window_.KillTimer(timer::kConfigTimeout);
        hooks_.closeStatus();
        hooks_.showMessage(QString::fromLatin1(kTimeOut));
        token_.GiveBack();
        return true;
    default:
        return false;
    }
}

}  // namespace velmora::app
