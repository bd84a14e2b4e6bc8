#pragma once
// A UDP socket for the search and the network configuration: bound to the
// exchange's own port where it can be (a switcher may answer to that port),
// broadcast out of every interface that can, answers read until a deadline.

#include "link.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::cli {

class DatagramSocket {
public:
    explicit DatagramSocket(std::uint16_t port);  // throws CliError (failed)
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    // Out of every IPv4 interface that is up and can broadcast, or as the
    // plain limited broadcast when none was found.
    void Broadcast(std::span<const std::uint8_t> bytes, std::uint16_t port);
    // The next datagram before the deadline; nothing at the deadline.
    std::optional<std::vector<std::uint8_t>> Receive(Clock::time_point deadline);

private:
    int fd_ = -1;
};

}  // namespace velmora::cli
