#pragma once
// The network module's datagram side: answers the search probe and applies
// the network configuration packet.

#include "sim/device_state.h"
#include "sim/shared_device.h"
#include "sim/sim_options.h"
#include "sim/stop_signal.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace velmora::sim {

// The answer to a search probe: MAC, IPv4, the 0x77 0x88 marker. Bytes the
// panel does not read carry the subnet (10-13), the gateway (14-17), the TCP
// port (20-21, high byte first) and the DHCP mode (22, 1 = on).
std::vector<std::uint8_t> SearchAnswer(const DeviceState& state);

// Applies a configuration packet addressed to this unit and returns the
// answer, or nothing for a packet that is short, fails its sum or names
// another unit's MAC.
std::optional<std::vector<std::uint8_t>> ApplyConfiguration(DeviceState& state, std::span<const std::uint8_t> packet);

class UdpResponder {
public:
    UdpResponder(const SimOptions& options, SharedDevice& device);
    ~UdpResponder();
    UdpResponder(const UdpResponder&) = delete;
    UdpResponder& operator=(const UdpResponder&) = delete;

    // Binds the search and configuration ports on the broadcast address
    // and on udpBind, as the options say; false with a message on stderr.
    bool Bind();
    void Start();
    void Stop();
    int SearchPort() const { return searchPort_; }
    int ConfigPort() const { return configPort_; }
    long Configurations() const { return configurations_; }

private:
    // One datagram socket and which exchange it serves.
    struct Socket {
        int fd;
        bool config;
    };

    bool BindExchange(int port, bool config, int& boundPort);
    void Run();
    void Serve(int fd, bool config);

    SimOptions options_;
    SharedDevice& device_;
    StopSignal stop_;
    std::vector<Socket> sockets_;
    int searchPort_ = 0;
    int configPort_ = 0;
    std::thread thread_;
    std::atomic<long> configurations_{0};
};

}  // namespace velmora::sim
