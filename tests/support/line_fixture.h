#pragma once
// Bounded reads and writes on a descriptor (a socket, a pseudo-terminal),
// and the loopback connections and raw terminals the line tests open: a
// missing answer fails a test instead of hanging it.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kReadTimeoutMs = 3000;
inline constexpr int kSilenceMs = 250;  // how long "no answer" is waited for

inline Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

class Fd {
public:
    using Clock = std::chrono::steady_clock;

    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { Close(); }

    bool Ok() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    bool SawEof() const { return eof_; }
    void Close()
    {
        if (fd_ >= 0) {
            ::close(std::exchange(fd_, -1));
        }
    }

    // All of `bytes`, waiting for room while the far end is slow to read.
    bool Write(const Bytes& bytes, int timeoutMs = kReadTimeoutMs) const
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR) || !Wait(POLLOUT, deadline)) {
                return false;
            }
        }
        return true;
    }
    // Up to `count` bytes within `timeoutMs` in all: fewer on time-out or at the end.
    Bytes Read(std::size_t count, int timeoutMs = kReadTimeoutMs) const
    {
        Bytes out;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < count && ReadSome(out, count - out.size(), deadline)) {}
        return out;
    }
    // What one read call brings.
    Bytes ReadOnce(int timeoutMs = kReadTimeoutMs) const
    {
        Bytes out;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.empty() && ReadSome(out, kChunk, deadline)) {}
        return out;
    }
    // Writes `frame` and reads up to `count` bytes of answer.
    Bytes Ask(const Bytes& frame, std::size_t count) const { return Write(frame) ? Read(count) : Bytes{}; }

private:
    static constexpr std::size_t kChunk = 4096;

    bool Wait(short events, Clock::time_point deadline) const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd pfd{fd_, events, 0};
        return left >= 0 && ::poll(&pfd, 1, static_cast<int>(left)) > 0;
    }
    // False once nothing more can come in time.
    bool ReadSome(Bytes& out, std::size_t most, Clock::time_point deadline) const
    {
        if (!Wait(POLLIN, deadline)) {
            return false;
        }
        std::uint8_t buffer[kChunk];
        const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, most));
        if (n > 0) {
            out.insert(out.end(), buffer, buffer + n);
            return true;
        }
        eof_ = n == 0;
        return n < 0 && (errno == EAGAIN || errno == EINTR);
    }

    int fd_ = -1;
    mutable bool eof_ = false;
};

inline sockaddr_in Ipv4Address(const std::string& address, int port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    return where;
}

// A connection to address:port; with receiveBuffer, one that has room for little.
inline Fd ConnectTcp(int port, const std::string& address = "127.0.0.1", int receiveBuffer = 0)
{
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (receiveBuffer > 0) {
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    const sockaddr_in where = Ipv4Address(address, port);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        fd.Close();
    }
    return fd;
}

// A terminal opened as a panel opens its port: raw.
inline Fd OpenRaw(const std::string& path)
{
    Fd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios raw{};
    if (fd.Ok() && ::tcgetattr(fd.Get(), &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(fd.Get(), TCSANOW, &raw);
    }
    return fd;
}

}  // namespace velmora::test
