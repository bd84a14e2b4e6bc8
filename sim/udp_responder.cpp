#include "sim/udp_responder.h"

#include "protocol/network_commands.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <numeric>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::sim {

namespace p = velmora::protocol;

namespace {

constexpr std::size_t kSearchSubnet = 10;
constexpr std::size_t kSearchGateway = 14;
constexpr std::size_t kSearchTcpPortHigh = 20;
constexpr std::size_t kSearchTcpPortLow = 21;
constexpr std::size_t kSearchDhcp = 22;
constexpr std::size_t kDatagramMax = 1024;
constexpr int kPollMs = 200;
constexpr int kMaxPort = 65535;
constexpr int kOwnPort = -1;

std::uint8_t Sum(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFFu);
}

constexpr const char* kBroadcastAddress = "255.255.255.255";
constexpr const char* kWildcardAddress = "0.0.0.0";

// A datagram socket on address:port. SO_REUSEADDR lets it share the port
// with a panel on the same machine (which binds the wildcard with it) and
// with other simulated switchers.
int BindUdp(const std::string& address, int port, int& boundPort)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        std::fprintf(stderr, "velmora-sim: bad UDP bind address %s\n", address.c_str());
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
        std::fprintf(stderr, "velmora-sim: cannot bind UDP %s:%d: %s\n", address.c_str(), port, std::strerror(errno));
        ::close(fd);
        return -1;
    }
    socklen_t length = sizeof where;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length);
    boundPort = ntohs(where.sin_port);
    return fd;
}

}  // namespace

std::vector<std::uint8_t> SearchAnswer(const DeviceState& state)
{
    std::vector<std::uint8_t> out(p::search::kAnswerMinSize, 0);
    std::copy(state.mac.begin(), state.mac.end(), out.begin() + p::search::kMac);
    std::copy(state.ip.begin(), state.ip.end(), out.begin() + p::search::kIp);
    std::copy(state.subnet.begin(), state.subnet.end(), out.begin() + kSearchSubnet);
    std::copy(state.gateway.begin(), state.gateway.end(), out.begin() + kSearchGateway);
    out[p::search::kMarkerHigh] = p::search::kMarkerHighValue;
    out[p::search::kMarkerLow] = p::search::kMarkerLowValue;
    out[kSearchTcpPortHigh] = static_cast<std::uint8_t>(state.tcpPort >> 8);
    out[kSearchTcpPortLow] = static_cast<std::uint8_t>(state.tcpPort & 0xFFu);
    out[kSearchDhcp] = state.dhcp ? 1 : 0;
    return out;
}

std::optional<std::vector<std::uint8_t>> ApplyConfiguration(DeviceState& state, std::span<const std::uint8_t> packet)
{
    namespace c = p::config;
    if (packet.size() < c::kPacketSize) {
        return std::nullopt;
    }
    const auto body = packet.first(c::kPacketSize);
    if (Sum(body) != 0 || !std::equal(state.mac.begin(), state.mac.end(), body.begin() + c::kTargetMac)) {
        return std::nullopt;
    }
    if (body[c::kDhcp] == c::kDhcpMode) {
        state.dhcp = true;
    } else {
        state.dhcp = false;
        std::copy_n(body.begin() + c::kIp, state.ip.size(), state.ip.begin());
        std::copy_n(body.begin() + c::kGateway, state.gateway.size(), state.gateway.begin());
        std::copy_n(body.begin() + c::kSubnet, state.subnet.size(), state.subnet.begin());
    }
    const auto newMac = body.subspan(c::kNewMac, state.mac.size());
    if (std::any_of(newMac.begin(), newMac.end(), [](std::uint8_t b) { return b != 0; })) {
        std::copy(newMac.begin(), newMac.end(), state.mac.begin());
    }
    std::vector<std::uint8_t> answer(body.begin(), body.end());
    std::copy(state.mac.begin(), state.mac.end(), answer.begin() + c::kTargetMac);
    answer[c::kStatus] = c::kStatusAccepted;
    answer[c::kCheck] = 0;
    answer[c::kCheck] = static_cast<std::uint8_t>(0x100u - Sum(answer));
    return answer;
}

UdpResponder::UdpResponder(const SimOptions& options, SharedDevice& device) : options_(options), device_(device) {}

UdpResponder::~UdpResponder() { Stop(); }

bool UdpResponder::Bind()
{
    const int searchPort = options_.searchPort == kOwnPort ? p::search::kPort : options_.searchPort;
    const int configPort = options_.configPort == kOwnPort ? p::config::kPort : options_.configPort;
    if (searchPort < 0 || searchPort > kMaxPort || configPort < 0 || configPort > kMaxPort) {
        std::fprintf(stderr, "velmora-sim: bad UDP port\n");
        return false;
    }
    if (options_.udpBind == kWildcardAddress) {
        std::fprintf(stderr, "velmora-sim: --udp-bind needs an address of the switcher's own; the wildcard would "
                             "take the port of a panel on this machine (broadcasts are answered without it)\n");
        return false;
    }
    if (options_.udpBind.empty() && !options_.udpBroadcast) {
        std::fprintf(stderr, "velmora-sim: UDP with neither broadcasts nor an address to answer on\n");
        return false;
    }
    if (!BindExchange(searchPort, false, searchPort_) || !BindExchange(configPort, true, configPort_)) {
        Stop();
        return false;
    }
    return true;
}

// The exchange's sockets: on udpBind first, so that "any free port" picks
// one, then on the broadcast address with the same port.
bool UdpResponder::BindExchange(int port, bool config, int& boundPort)
{
    boundPort = port;
    for (const bool broadcast : {false, true}) {
        const bool wanted = broadcast ? options_.udpBroadcast : !options_.udpBind.empty();
        if (!wanted) {
            continue;
        }
        const int fd = BindUdp(broadcast ? kBroadcastAddress : options_.udpBind, boundPort, boundPort);
        if (fd < 0) {
            return false;
        }
        sockets_.push_back({fd, config});
    }
    return true;
}

void UdpResponder::Start()
{
    if (!sockets_.empty() && !thread_.joinable()) {
        stop_.Rearm();
        thread_ = std::thread([this] { Run(); });
    }
}

void UdpResponder::Stop()
{
    stop_.Request();
    if (thread_.joinable()) {
        thread_.join();
    }
    for (const Socket& socket : sockets_) {
        ::close(socket.fd);
    }
    sockets_.clear();
}

void UdpResponder::Serve(int fd, bool config)
{
    std::array<std::uint8_t, kDatagramMax> buffer{};
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n <= 0 || length != sizeof from) {
        return;
    }
    const std::span<const std::uint8_t> packet(buffer.data(), static_cast<std::size_t>(n));
    std::vector<std::uint8_t> answer;
    if (!config) {
        if (packet.size() != 1 || packet[0] != p::search::kProbe) {
            return;  // our own answers, other panels' traffic
        }
        answer = SearchAnswer(device_.Snapshot());
    } else {
        std::optional<std::vector<std::uint8_t>> reply;
        device_.Modify([&](DeviceState& state) { reply = ApplyConfiguration(state, packet); });
        if (!reply) {
            return;
        }
        ++configurations_;
        answer = std::move(*reply);
    }
    ::sendto(fd, answer.data(), answer.size(), 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
}

void UdpResponder::Run()
{
    std::vector<pollfd> fds{{stop_.Fd(), POLLIN, 0}};
    for (const Socket& socket : sockets_) {
        fds.push_back({socket.fd, POLLIN, 0});
    }
    while (!stop_.Requested()) {
        const int ready = ::poll(fds.data(), fds.size(), kPollMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        for (std::size_t i = 0; i < sockets_.size(); ++i) {
            if (fds[i + 1].revents & POLLIN) {
                Serve(sockets_[i].fd, sockets_[i].config);
            }
        }
    }
}

}  // namespace velmora::sim
