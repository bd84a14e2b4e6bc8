#include "transport/broadcast_targets.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

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

bool SendBroadcastVia(int fd, std::span<const std::uint8_t> bytes, std::uint16_t port, unsigned interfaceIndex)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    where.sin_port = htons(port);
    iovec data{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &where;
    message.msg_namelen = sizeof where;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(interfaceIndex);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    return ::sendmsg(fd, &message, MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(bytes.size());
}

}  // namespace velmora::transport
