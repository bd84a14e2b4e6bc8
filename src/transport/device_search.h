#pragma once
// The device search and the network configuration: a one-byte probe
// broadcast to the search port lists every switcher that answers in the
// Switcher IP list, each entry keeping its switcher's hardware address; a
// configuration packet broadcast to the configuration port changes one
// switcher's addresses, and a new search then lists it again.

#include "protocol/config_packet.h"
#include "protocol/hex_log.h"
#include "protocol/link_token.h"
#include "protocol/search_answer.h"
#include "transport/async_socket.h"
#include "transport/connection_control.h"

#include <optional>
#include <vector>

namespace velmora::transport {

class TcpClient;

inline constexpr char kConfiguring[] = "Configuring";
// The Switcher IP list holds the addresses of at most this many switchers.
inline constexpr int kMaxFoundDevices = 256;
inline constexpr char kConfigureSuccess[] = "Configure successfully!";

class DeviceSearch {
public:
    DeviceSearch(platform::Window& window, protocol::ReceiveLog& log, protocol::LinkToken& token, TcpClient& tcp,
                 ConnectionHooks hooks);

    // Button 1046. Ends an open TCP connection first.
    void Search();
    platform::LResult OnSearchReply(platform::WParam w, platform::LParam l);

    // The hardware address that came with the selected entry; none for an
    // address typed by hand.
    std::optional<protocol::MacAddress> SelectedMac() const;

    // Sends the packet and waits in the "Configuring" popup until the
    // switcher is found again or the time is up.
    void Configure(const protocol::NetworkConfigRequest& request);
    platform::LResult OnConfigReply(platform::WParam w, platform::LParam l);

    bool OnTimer(int id);

    // Sends the probe and the configuration straight to this address too,
    // next to the broadcasts: for a switcher no broadcast reaches, such as
    // the demo's simulated one on loopback.
    void AddDirectTarget(in_addr address) { directTargets_.push_back(address); }

private:
    void ListAnswer(const protocol::SearchAnswer& answer);
    void Broadcast(std::span<const std::uint8_t> bytes, std::uint16_t port);

    platform::Window& window_;
    protocol::ReceiveLog& log_;
    protocol::LinkToken& token_;
    TcpClient& tcp_;
    ConnectionHooks hooks_;
    AsyncSocket socket_;
    std::vector<in_addr> directTargets_;
};

// "%02X" of each byte, no separators: how an entry keeps its hardware address.
QString MacText(std::span<const std::uint8_t> mac);
// The inverse, two hexadecimal digits a byte.
std::optional<protocol::MacAddress> MacFromText(const QString& text);

}  // namespace velmora::transport
