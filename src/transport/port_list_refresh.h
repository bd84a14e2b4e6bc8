#pragma once
// The serial port list of the main window (control 1020), kept current with
// the ports present and free: at start and on every tick of timer 1.
//
// Entries read "COM<n>" in ascending number, each with the device path and
// the device's own name as its tooltip. The list is touched only when the
// numbers found differ from the ones shown, and the selected entry stays in
// place while its port is present.

#include "transport/port_discovery.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {
class ComboBox;
}

namespace velmora::transport {

inline constexpr int kMaxListedPorts = 256;

// The port number of a list entry's text: "COM10" gives 10. The first three
// characters are dropped and the rest read by PortNumberFromDigits.
std::uint8_t PortNumberFromText(std::string_view text);
// Up to three characters read as decimal digits, most significant first, a
// character that is not a digit counting as 0, the value kept in 8 bits;
// empty or four and more characters give 0.
std::uint8_t PortNumberFromDigits(std::string_view digits);
// The port number in a friendly name: the digits after "(COM" up to the next
// ")" ("USB Serial (COM12)" gives 12); without "(COM" the first three
// characters are dropped instead; without a ")" after it the number is 0.
std::uint8_t PortNumberFromFriendlyName(std::string_view friendlyName);

class PortListRefresh {
public:
    using Enumerator = std::function<void(std::vector<SSerInfo>&)>;

    // Discovery on the running system.
    explicit PortListRefresh(platform::ComboBox& list);
    // Discovery below other roots (tests).
    PortListRefresh(platform::ComboBox& list, DiscoveryRoots roots);
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

}  // namespace velmora::transport
