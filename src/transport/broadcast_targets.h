#pragma once
// Where a broadcast goes. The limited broadcast 255.255.255.255 leaves by one
// interface only (the default route's), so a probe is sent out of every IPv4
// interface that is up and can broadcast, once each: switchers on every
// attached LAN hear it, including those whose own address belongs to no
// subnet of this machine, and none hears it twice.

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::transport {

// Interface indexes; empty when none was found, and the caller then sends
// the limited broadcast the plain way.
std::vector<unsigned> BroadcastInterfaces();

// Sends a datagram to the limited broadcast address out of one interface,
// on a datagram socket that may broadcast; true when it went whole.
bool SendBroadcastVia(int fd, std::span<const std::uint8_t> bytes, std::uint16_t port, unsigned interfaceIndex);

}  // namespace velmora::transport
