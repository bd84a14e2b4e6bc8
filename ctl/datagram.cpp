#include "datagram.h"

#include "cli_error.h"

#include "transport/broadcast_targets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velmora::cli {

namespace {

constexpr std::size_t kDatagramMax = 1500;

sockaddr_in Endpoint(in_addr_t address, std::uint16_t port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(address);
    where.sin_port = htons(port);
    return where;
}

bool Bind(int fd, std::uint16_t port)
{
    const sockaddr_in any = Endpoint(INADDR_ANY, port);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0;
}

}  // namespace

DatagramSocket::DatagramSocket(std::uint16_t port)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int yes = 1;
    if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes) != 0 || !(Bind(fd_, port) || Bind(fd_, 0))) {
        const std::string why = std::strerror(errno);
        if (fd_ >= 0) {
            ::close(fd_);
        }
        throw CliError(kExitFailed, "no UDP socket: " + why);
    }
}

DatagramSocket::~DatagramSocket() { ::close(fd_); }

void DatagramSocket::Broadcast(std::span<const std::uint8_t> bytes, std::uint16_t port)
{
    const std::vector<unsigned> interfaces = transport::BroadcastInterfaces();
    for (const unsigned index : interfaces) {
        transport::SendBroadcastVia(fd_, bytes, port, index);
    }
    if (interfaces.empty()) {
        const sockaddr_in where = Endpoint(INADDR_BROADCAST, port);
        ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&where),
                 sizeof where);
    }
}

std::optional<std::vector<std::uint8_t>> DatagramSocket::Receive(Clock::time_point deadline)
{
    std::vector<std::uint8_t> buffer(kDatagramMax);
    while (true) {
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (n >= 0) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return std::nullopt;
        }
        pollfd in{fd_, POLLIN, 0};
        ::poll(&in, 1, static_cast<int>(std::min<long long>(left, 60'000)));
    }
}

}  // namespace velmora::cli
