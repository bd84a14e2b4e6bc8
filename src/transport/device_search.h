#pragma once
// The device search and the network configuration on the LAN: a one-byte
// probe broadcast to the search port, each switcher's answer reported by
// switcherFound; a configuration packet broadcast to the configuration port,
// its acceptance reported by configAccepted. The sockets' events arrive as
// window messages at the owner, which hands them back here.

#include "messaging/message.h"
#include "protocol/config_packet.h"
#include "protocol/hex_log.h"
#include "protocol/search_answer.h"
#include "transport/async_socket.h"

#include <QObject>

#include <vector>

namespace velmora::transport {

class DeviceSearch : public QObject {
    Q_OBJECT
public:
    // The owner gets the search socket's events as `searchMessage` and the
    // configuration socket's as `configMessage`; every datagram that answers
    // the probe goes to `log`.
    DeviceSearch(QObject& owner, std::uint32_t searchMessage, std::uint32_t configMessage, protocol::ReceiveLog& log);

    // Sends the probe; false when no socket could be opened for it (as when
    // no switcher answers).
    bool Search();
    messaging::LResult OnSearchReply(messaging::WParam w, messaging::LParam l);

    // Sends the configuration packet; false when no socket could be opened for it.
    bool Configure(const protocol::NetworkConfigRequest& request);
    messaging::LResult OnConfigReply(messaging::WParam w, messaging::LParam l);

    // Sends the probe and the configuration straight to this address too,
    // next to the broadcasts: for a switcher no broadcast reaches, such as
    // the demo's simulated one on loopback.
    void AddDirectTarget(in_addr address) { directTargets_.push_back(address); }

signals:
    void switcherFound(const protocol::SearchAnswer& answer);
    // A switcher took the configuration.
    void configAccepted();

private:
    void Broadcast(std::span<const std::uint8_t> bytes, std::uint16_t port);

    protocol::ReceiveLog& log_;
    std::uint32_t searchMessage_;
    std::uint32_t configMessage_;
    AsyncSocket socket_;
    std::vector<in_addr> directTargets_;
};

}  // namespace velmora::transport
