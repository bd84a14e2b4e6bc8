#include "transport/device_search.h"

#include "platform/combo_box.h"
#include "platform/window.h"
#include "protocol/messages.h"
#include "protocol/timer_ids.h"
#include "res/main_ids.h"
#include "transport/broadcast_targets.h"
#include "transport/tcp_client.h"

namespace velmora::transport {

namespace c = ctl::main;
namespace s = protocol::search;
namespace cfg = protocol::config;

QString MacText(std::span<const std::uint8_t> mac)
{
    return QString::fromStdString(protocol::MacText(mac));
}

std::optional<protocol::MacAddress> MacFromText(const QString& text)
{
    return protocol::MacFromText(text.toStdU16String());
}

DeviceSearch::DeviceSearch(platform::Window& window, protocol::ReceiveLog& log, protocol::LinkToken& token,
                           TcpClient& tcp, ConnectionHooks hooks)
    : window_(window), log_(log), token_(token), tcp_(tcp), hooks_(std::move(hooks)), socket_(window, msg::kSearchSocket)
{
}

void DeviceSearch::Search()
{
    window_.ControlAs<platform::ComboBox>(c::kSwitcherIp)->ResetContent();
    tcp_.Close();
    if (!socket_.OpenDatagram(s::kPort, msg::kSearchSocket)) {
        return;  // as when no switcher answers
    }
    const std::uint8_t probe[] = {s::kProbe};
    Broadcast(probe, s::kPort);
}

void DeviceSearch::Broadcast(std::span<const std::uint8_t> bytes, std::uint16_t port)
{
    const std::vector<unsigned> interfaces = BroadcastInterfaces();
    for (const unsigned index : interfaces) {
        socket_.SendBroadcastVia(bytes, port, index);
    }
    if (interfaces.empty()) {
        socket_.SendTo(bytes, in_addr{htonl(INADDR_BROADCAST)}, port);
    }
    for (const in_addr target : directTargets_) {
        socket_.SendTo(bytes, target, port);
    }
}

platform::LResult DeviceSearch::OnSearchReply(platform::WParam w, platform::LParam l)
{
    if (!socket_.Owns(w)) {
        return 0;
    }
    const std::vector<std::uint8_t> answer = socket_.Receive();
    if (SocketEvent(l) != msg::kSocketRead) {
        return 0;
    }
    log_.AppendDatagram(answer);
    if (const auto found = protocol::ReadSearchAnswer(answer)) {
        ListAnswer(*found);
    }
    return 0;
}

void DeviceSearch::ListAnswer(const protocol::SearchAnswer& answer)
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

std::optional<protocol::MacAddress> DeviceSearch::SelectedMac() const
{
    const auto* list = window_.ControlAs<platform::ComboBox>(c::kSwitcherIp);
    const int entry = list->GetCurSel();
    if (entry < 0 || list->currentText() != list->GetLBText(entry)) {
        return std::nullopt;  // nothing chosen, or an address typed over the entry
    }
    return MacFromText(list->itemData(entry).toString());
}

void DeviceSearch::Configure(const protocol::NetworkConfigRequest& request)
{
    if (!socket_.OpenDatagram(cfg::kPort, msg::kConfigSocket)) {
        return;
    }
    // A success shown from here on must come from a search after this
    // configuration, not from one still running out.
    window_.KillTimer(timer::kSearchSuccess);
    window_.KillTimer(timer::kSearchClose);
    Broadcast(protocol::BuildConfigPacket(request), cfg::kPort);
    window_.SetTimer(timer::kConfigTimeout, timer::kConfigTimeoutMs);
    hooks_.showStatus(QString::fromLatin1(kConfiguring));
}

platform::LResult DeviceSearch::OnConfigReply(platform::WParam w, platform::LParam)
{
    if (!socket_.Owns(w)) {
        return 0;
    }
    const std::vector<std::uint8_t> answer = socket_.Receive();
    log_.NoteConfigAnswer(answer);
    if (protocol::ConfigAccepted(answer)) {
        Search();  // lists the switcher under its new address
    }
    return 0;
}

bool DeviceSearch::OnTimer(int id)
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

}  // namespace velmora::transport
