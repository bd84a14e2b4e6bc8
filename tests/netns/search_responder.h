#pragma once
// A scripted answerer on the search port, for answers no well-behaved
// switcher gives: each probe it hears is answered with the datagrams the
// test chose. Its socket is made inside a Lan's namespace.

#include "lan.h"

#include "protocol/network_commands.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

// A search answer of `size` bytes: hardware address, IPv4, marker.
inline Bytes SearchAnswer(std::size_t size, std::array<std::uint8_t, 4> ip, std::uint8_t macLast,
                          std::uint8_t markerLow = protocol::search::kMarkerLowValue)
{
    namespace s = protocol::search;
    Bytes answer(size, 0);
    const std::uint8_t mac[] = {0x02, 0x00, 0x5E, 0x10, 0x00, macLast};
    for (std::size_t i = 0; i < sizeof mac && s::kMac + i < size; ++i) {
        answer[s::kMac + i] = mac[i];
    }
    for (std::size_t i = 0; i < ip.size() && s::kIp + i < size; ++i) {
        answer[s::kIp + i] = ip[i];
    }
    if (size > s::kMarkerLow) {
        answer[s::kMarkerHigh] = s::kMarkerHighValue;
        answer[s::kMarkerLow] = markerLow;
    }
    return answer;
}

class SearchResponder {
public:
    SearchResponder(Lan& lan, std::vector<Bytes> answers) : answers_(std::move(answers))
    {
        fd_ = lan.Run([] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const int yes = 1;
            ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(protocol::search::kPort);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
                ::close(fd);
                return -1;
            }
            return fd;
        });
        if (fd_ >= 0) {
            thread_ = std::thread([this] { Serve(); });
        }
    }
    ~SearchResponder()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Ok() const { return fd_ >= 0; }
    int Probes() const { return probes_; }

private:
    void Serve()
    {
        constexpr int kPollMs = 20;
        while (!stop_) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, kPollMs) != 1) {
                continue;
            }
            std::uint8_t probe[64];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t n = ::recvfrom(fd_, probe, sizeof probe, 0, reinterpret_cast<sockaddr*>(&from), &size);
            if (n != 1 || probe[0] != protocol::search::kProbe) {
                continue;
            }
            ++probes_;
            for (const Bytes& answer : answers_) {
                ::sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
            }
        }
    }

    std::vector<Bytes> answers_;
    int fd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> probes_{0};
};

}  // namespace velmora::test
