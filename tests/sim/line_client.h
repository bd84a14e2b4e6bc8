#pragma once
// Small scripted clients for the simulator's lines: every read is bounded
// by a time-out, so a missing answer fails a test instead of hanging it.

#include "gui_helpers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace velmora::sim::test {

inline constexpr int kReadTimeoutMs = 2000;
inline constexpr int kSilenceMs = 250;  // how long "no answer" is waited for

class FdClient {
public:
    FdClient() = default;
    explicit FdClient(int fd) : fd_(fd) {}
    FdClient(FdClient&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FdClient& operator=(FdClient&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FdClient() { Close(); }

    bool Ok() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    bool Write(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Up to `count` bytes, waiting at most `timeoutMs` in total.
    std::vector<std::uint8_t> Read(std::size_t count, int timeoutMs = kReadTimeoutMs)
    {
        std::vector<std::uint8_t> out;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            std::uint8_t buffer[256];
            const std::size_t want = std::min(sizeof buffer, count - out.size());
            const ssize_t n = ::read(fd_, buffer, want);
            if (n <= 0) {
                eof_ = (n == 0);
                break;
            }
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }

    // One read call's worth of bytes (what a single recv returns).
    std::vector<std::uint8_t> ReadOnce(int timeoutMs = kReadTimeoutMs)
    {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, timeoutMs) <= 0) {
            return {};
        }
        std::uint8_t buffer[1024];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            eof_ = (n == 0);
            return {};
        }
        return {buffer, buffer + n};
    }

    bool SawEof() const { return eof_; }

private:
    int fd_ = -1;
    bool eof_ = false;
};

inline FdClient OpenPty(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        termios raw{};
        if (::tcgetattr(fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(fd, TCSANOW, &raw);
        }
    }
    return FdClient(fd);
}

inline FdClient ConnectTcp(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return FdClient();
    }
    return FdClient(fd);
}

// Until `condition` holds or about two seconds have passed.
inline bool Eventually(const std::function<bool()>& condition)
{
    return velmora::test::WaitUntil(condition, std::chrono::seconds(2));
}

}  // namespace velmora::sim::test
