#include "transport/broadcast_targets.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>

namespace velmora::transport {

std::vector<in_addr> BroadcastTargets()
{
    std::vector<in_addr> targets{in_addr{htonl(INADDR_BROADCAST)}};
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return targets;
    }
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(flags & IFF_UP) ||
            !(flags & IFF_BROADCAST) || (flags & IFF_LOOPBACK) || !entry->ifa_broadaddr) {
            continue;
        }
        const in_addr target = reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr;
        const bool known = std::any_of(targets.begin(), targets.end(),
                                       [&](const in_addr& t) { return t.s_addr == target.s_addr; });
        if (!known) {
            targets.push_back(target);
        }
    }
    ::freeifaddrs(list);
    return targets;
}

}  // namespace velmora::transport
