#include "sim/tcp_line.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::sim {

namespace {
constexpr std::size_t kReadSize = 1024;
constexpr int kIdlePollMs = 200;
constexpr int kBacklog = 4;
// Long enough that the reader takes the first piece alone, even on a busy machine.
constexpr int kSplitPauseMs = 100;
// A held answer goes out alone when no second one came within this time.
constexpr int kCoalesceWaitMs = 300;
constexpr int kMaxPort = 65535;
// A panel that has not taken an answer after this long has stopped reading:
// its connection is dropped, so that the line can serve the next one.
constexpr int kSendLimitMs = 2000;
}  // namespace

TcpLine::TcpLine(const SimOptions& options, SharedDevice& device, ReplyFaults& faults)
    : options_(options), session_(device, faults)
{}

TcpLine::~TcpLine() { Stop(); }

bool TcpLine::Listen()
{
    if (options_.tcpPort < 0 || options_.tcpPort > kMaxPort) {
        std::fprintf(stderr, "velmora-sim: bad TCP port %d\n", options_.tcpPort);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(options_.tcpPort));
    if (::inet_pton(AF_INET, options_.tcpBind.c_str(), &address.sin_addr) != 1) {
        std::fprintf(stderr, "velmora-sim: bad bind address %s\n", options_.tcpBind.c_str());
        return false;
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) {
        std::fprintf(stderr, "velmora-sim: socket: %s\n", std::strerror(errno));
        return false;
    }
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, kBacklog) != 0) {
        std::fprintf(stderr, "velmora-sim: cannot listen on %s:%d: %s\n", options_.tcpBind.c_str(), options_.tcpPort,
                     std::strerror(errno));
        ::close(listener_);
        listener_ = -1;
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    return true;
}

void TcpLine::Start()
{
    if (listener_ >= 0 && !thread_.joinable()) {
        stop_.Rearm();
        thread_ = std::thread([this] { Run(); });
    }
}

void TcpLine::Stop()
{
    stop_.Request();
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseClient();
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
    }
}

void TcpLine::CloseClient()
{
    held_.clear();
    if (client_ >= 0) {
        ::close(client_);
        client_ = -1;
    }
    session_.Restart();
}

void TcpLine::Accept()
{
    // Non-blocking, so that a panel that stops reading cannot hold the line
    // (and its shutdown) in a send.
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        return;
    }
    CloseClient();
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (options_.tcpSendBuffer > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &options_.tcpSendBuffer, sizeof options_.tcpSendBuffer);
    }
    client_ = fd;
    ++connections_;
}

bool TcpLine::SendAll(std::span<const std::uint8_t> bytes)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(kSendLimitMs);
    while (!bytes.empty() && client_ >= 0) {
        const ssize_t n = ::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = ceil<milliseconds>(deadline - steady_clock::now()).count();
            pollfd fds[2] = {{stop_.Fd(), POLLIN, 0}, {client_, POLLOUT, 0}};
            const int ready = left > 0 ? ::poll(fds, 2, static_cast<int>(left)) : 0;
            if (fds[0].revents != 0) {
                return false;  // stopping: the rest is not sent
            }
            if (ready != 0) {
                continue;  // room again, or interrupted
            }
        }
        CloseClient();  // gone, or not reading
        return false;
    }
    return client_ >= 0;
}

void TcpLine::Write(std::span<const std::uint8_t> bytes)
{
    using namespace std::chrono;
    if (options_.splitTcp && bytes.size() > 1) {
        const std::size_t half = bytes.size() / 2;
        if (SendAll(bytes.first(half)) && stop_.SleepUntil(steady_clock::now() + milliseconds(kSplitPauseMs))) {
            SendAll(bytes.subspan(half));
        }
        return;
    }
    SendAll(bytes);
}

void TcpLine::Send(const std::vector<Chunk>& chunks)
{
    using namespace std::chrono;
    for (const Chunk& chunk : chunks) {
        const auto due = steady_clock::now() + milliseconds(options_.processingDelayMs) + chunk.extraDelay;
        if (!stop_.SleepUntil(due) || client_ < 0) {
            return;
        }
        if (!options_.coalesceTcp) {
            Write(chunk.bytes);
        } else if (held_.empty()) {
            // Wait for the next answer to go out together with this one.
            held_ = chunk.bytes;
            heldUntil_ = steady_clock::now() + milliseconds(kCoalesceWaitMs);
        } else {
            held_.insert(held_.end(), chunk.bytes.begin(), chunk.bytes.end());
            FlushHeld();
        }
    }
    CloseWhenDue();
}

void TcpLine::FlushHeld()
{
    if (!held_.empty()) {
        std::vector<std::uint8_t> bytes;
        bytes.swap(held_);
        Write(bytes);
    }
}

void TcpLine::CloseWhenDue()
{
    if (options_.closeTcpAfter > 0 && session_.Answered() >= options_.closeTcpAfter) {
        FlushHeld();
        CloseClient();
    }
}

void TcpLine::Run()
{
    std::array<std::uint8_t, kReadSize> buffer{};
    while (!stop_.Requested()) {
        int timeout = kIdlePollMs;
        if (const auto deadline = session_.NextDeadline()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - CommandSession::Clock::now());
            timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, kIdlePollMs));
        }
        if (!held_.empty()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(heldUntil_ - CommandSession::Clock::now());
            timeout = std::min(timeout, static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, kIdlePollMs)));
        }
        pollfd fds[3] = {{stop_.Fd(), POLLIN, 0}, {listener_, POLLIN, 0}, {client_, POLLIN, 0}};
        const nfds_t count = client_ >= 0 ? 3 : 2;
        const int ready = ::poll(fds, count, timeout);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        if (fds[1].revents & POLLIN) {
            Accept();
            continue;
        }
        const auto now = CommandSession::Clock::now();
        if (count == 3 && fds[2].revents != 0) {
            const ssize_t n = ::recv(client_, buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                    CloseClient();
                }
                continue;
            }
            Send(session_.Feed(std::span(buffer.data(), static_cast<std::size_t>(n)), now));
            continue;
        }
        Send(session_.Idle(now));
        if (!held_.empty() && now >= heldUntil_) {
            FlushHeld();
        }
    }
}

}  // namespace velmora::sim
