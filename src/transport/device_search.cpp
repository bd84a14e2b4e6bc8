#include "transport/device_search.h"

#include "transport/broadcast_targets.h"

namespace velmora::transport {

namespace s = protocol::search;
namespace cfg = protocol::config;

DeviceSearch::DeviceSearch(QObject& owner, std::uint32_t searchMessage, std::uint32_t configMessage,
                           protocol::ReceiveLog& log)
    : log_(log), searchMessage_(searchMessage), configMessage_(configMessage), socket_(owner, searchMessage)
{}

bool DeviceSearch::Search()
{
    if (!socket_.OpenDatagram(s::kPort, searchMessage_)) {
        return false;
    }
    const std::uint8_t probe[] = {s::kProbe};
    Broadcast(probe, s::kPort);
    return true;
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

messaging::LResult DeviceSearch::OnSearchReply(messaging::WParam w, messaging::LParam l)
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
        emit switcherFound(*found);
    }
    return 0;
}

bool DeviceSearch::Configure(const protocol::NetworkConfigRequest& request)
{
    if (!socket_.OpenDatagram(cfg::kPort, configMessage_)) {
        return false;
    }
    Broadcast(protocol::BuildConfigPacket(request), cfg::kPort);
    return true;
}

messaging::LResult DeviceSearch::OnConfigReply(messaging::WParam w, messaging::LParam)
{
    if (!socket_.Owns(w)) {
        return 0;
    }
    const std::vector<std::uint8_t> answer = socket_.Receive();
    log_.NoteConfigAnswer(answer);
    if (protocol::ConfigAccepted(answer)) {
        emit configAccepted();
    }
    return 0;
}

}  // namespace velmora::transport
