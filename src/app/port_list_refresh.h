#pragma once
// The serial port list of the main window (control 1020), kept current with
// the ports present and free: at start and on every tick of timer 1.
//
// Entries read "COM<n>" in ascending number, each with the device path and
// the device's own name as its tooltip. The list is touched only when the
// numbers found differ from the ones shown, and the selected entry stays in
// place while its port is present.

#include "transport/port_discovery.h"
#include "transport/port_names.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {
class ComboBox;
}

namespace velmora::app {

inline constexpr int kMaxListedPorts = 256;

class PortListRefresh {
public:
    using SSerInfo = transport::SSerInfo;
    using Enumerator = std::function<void(std::vector<SSerInfo>&)>;

    // Discovery on the running system.
    explicit PortListRefresh(platform::ComboBox& list);
    // Discovery below other roots (tests).
    PortListRefresh(platform::ComboBox& list, transport::DiscoveryRoots roots);
    // Any source of ports; it reports failure by throwing PortEnumerationError.
    PortListRefresh(platform::ComboBox& list, Enumerator enumerate);

    // One refresh. An enumeration that fails leaves the list as it is.
    void Refresh();

    // What the last refresh found: false when it failed.
    bool LastSucceeded() const { return lastSucceeded_; }
    const std::string& LastError() const { return lastError_; }

private:
    platform::ComboBox& list_;
    Enumerator enumerate_;
    std::array<std::uint8_t, kMaxListedPorts> previous_{};
    int previousCount_ = 0;
    bool lastSucceeded_ = true;
    std::string lastError_;
};

}  // namespace velmora::app
