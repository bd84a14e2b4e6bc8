#include "tcp_link.h"

#include "cli_error.h"

#include "protocol/commands.h"
#include "protocol/network_commands.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace velmora::cli {

namespace {

sockaddr_in Endpoint(const std::string& host)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(protocol::kSwitcherTcpPort);
    const std::size_t colon = host.rfind(':');
    const std::string address = host.substr(0, colon);
    if (colon != std::string::npos) {
        int port = 0;
        const char* first = host.data() + colon + 1;
        const auto [end, error] = std::from_chars(first, host.data() + host.size(), port);
        if (error != std::errc{} || end != host.data() + host.size() || port < protocol::kTcpPortMin ||
            port > protocol::kTcpPortMax) {
            throw CliError(kExitUsage, "--host " + host + ": the port is no number from 1 to 65535");
        }
        where.sin_port = htons(static_cast<std::uint16_t>(port));
    }
    if (::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        throw CliError(kExitUsage, "--host " + host + ": not an IPv4 address");
    }
    return where;
}

std::string EndpointText(const sockaddr_in& where)
{
    char address[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &where.sin_addr, address, sizeof address);
    return std::string(address) + ":" + std::to_string(ntohs(where.sin_port));
}

// Waits for a non-blocking connect; 0 or the error it ended with.
int ConnectResult(int fd, int timeoutMs)
{
    pollfd out{fd, POLLOUT, 0};
    if (::poll(&out, 1, timeoutMs) <= 0) {
        return ETIMEDOUT;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    return error;
}

}  // namespace

std::unique_ptr<TcpLink> TcpLink::Open(const std::string& host, int timeoutMs)
{
    const sockaddr_in where = Endpoint(host);
    const std::string name = EndpointText(where);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw CliError(kExitFailed, std::string("no socket: ") + std::strerror(errno));
    }
    std::unique_ptr<TcpLink> link(new TcpLink(fd, name));
    int error = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        error = errno == EINPROGRESS ? ConnectResult(fd, timeoutMs) : errno;
    }
    if (error == ECONNREFUSED) {
        throw CliError(kExitUnreachable, name + " refused");
    }
    if (error != 0) {
        throw CliError(kExitUnreachable, name + ": " + std::strerror(error));
    }
    // The panel greets the module after connecting; no answer comes.
    link->Send(protocol::MakeFrame(protocol::kTcpGreeting));
    return link;
}

TcpLink::TcpLink(int fd, std::string name)
    : Link(fd, std::move(name)), assembler_([this](auto frame) { Arrived(frame); })
{}

}  // namespace velmora::cli
