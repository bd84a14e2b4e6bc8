#pragma once
// Where a search probe goes: the limited broadcast, which leaves by one
// interface only, and the own broadcast address of every other IPv4
// interface that is up, so that switchers on every attached LAN hear it.

#include <netinet/in.h>

#include <vector>

namespace velmora::transport {

std::vector<in_addr> BroadcastTargets();

}  // namespace velmora::transport
