#pragma once
// What the traffic log watches: every frame sent and received on either
// transport, the datagrams of the search and the network configuration, and
// the connection's events. The send and receive logs feed it where they log;
// with no observer set (the traffic log closed) nothing more is done.

#include <cstdint>
#include <span>
#include <string_view>

namespace velmora::protocol {

enum class DatagramKind { SearchAnswer, ConfigAnswer };

class TrafficObserver {
public:
    virtual ~TrafficObserver() = default;
    virtual void FrameSent(std::span<const std::uint8_t> bytes) = 0;
    virtual void FrameReceived(std::span<const std::uint8_t> bytes) = 0;
    virtual void DatagramReceived(DatagramKind kind, std::span<const std::uint8_t> bytes) = 0;
    virtual void ConnectionEvent(std::string_view text) = 0;
};

}  // namespace velmora::protocol
