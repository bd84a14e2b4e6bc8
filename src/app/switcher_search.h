#pragma once
// Search and Config... on the main window: the Switcher IP list filled with
// the switchers that answer, each entry keeping its switcher's hardware
// address; a configuration waits in the "Configuring" popup until the
// switcher is found again or the time is up.

#include "app/connection_control.h"
#include "protocol/config_packet.h"
#include "protocol/link_token.h"
#include "protocol/search_answer.h"
#include "transport/device_search.h"

#include <QString>

#include <functional>
#include <optional>
#include <span>

namespace velmora::platform {
class Window;
}

namespace velmora::app {

inline constexpr char kConfiguring[] = "Configuring";
// The Switcher IP list holds the addresses of at most this many switchers.
inline constexpr int kMaxFoundDevices = 256;
inline constexpr char kConfigureSuccess[] = "Configure successfully!";

class SwitcherSearch {
public:
    // closeTcp ends an open TCP connection, as Search does first.
    SwitcherSearch(platform::Window& window, transport::DeviceSearch& search, protocol::LinkToken& token,
                   std::function<void()> closeTcp, ConnectionHooks hooks);

    // Button 1046.
    void Search();

    // The hardware address that came with the selected entry; none for an
    // address typed by hand.
    std::optional<protocol::MacAddress> SelectedMac() const;

    // Sends the packet and waits in the "Configuring" popup.
    void Configure(const protocol::NetworkConfigRequest& request);

    bool OnTimer(int id);

    void AddDirectTarget(in_addr address) { search_.AddDirectTarget(address); }

private:
    void ListAnswer(const protocol::SearchAnswer& answer);

    platform::Window& window_;
    transport::DeviceSearch& search_;
    protocol::LinkToken& token_;
    std::function<void()> closeTcp_;
    ConnectionHooks hooks_;
};

// "%02X" of each byte, no separators: how an entry keeps its hardware address.
QString MacText(std::span<const std::uint8_t> mac);
// The inverse, two hexadecimal digits a byte.
std::optional<protocol::MacAddress> MacFromText(const QString& text);

}  // namespace velmora::app
