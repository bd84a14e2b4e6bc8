#include "transport/broadcast_targets.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <algorithm>

namespace velmora::transport {

std::vector<unsigned> BroadcastInterfaces()
{
    std::vector<unsigned> interfaces;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return interfaces;
    }
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(flags & IFF_UP) ||
            !(flags & IFF_BROADCAST) || (flags & IFF_LOOPBACK)) {
            continue;
        }
        const unsigned index = ::if_nametoindex(entry->ifa_name);
        // An interface with several addresses is listed once per address.
        if (index != 0 && std::find(interfaces.begin(), interfaces.end(), index) == interfaces.end()) {
            interfaces.push_back(index);
        }
    }
    ::freeifaddrs(list);
    return interfaces;
}

}  // namespace velmora::transport
