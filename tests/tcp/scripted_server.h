#pragma once
// A scripted switcher end on a loopback address of its own.

#include "gui_helpers.h"
#include "line_fixture.h"
#include "protocol/network_commands.h"

#include <QString>

#include <random>

namespace velmora::test {

inline constexpr int kAddressTries = 32;

// A random address in 127.0.0.0/8 (never 127.0.0.1, which other programs use).
inline std::string RandomLoopbackAddress()
{
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> octet(2, 254);
    return "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + "." +
           std::to_string(octet(random));
}

// Takes one connection on <address>:8000 and writes what the test tells it.
class ScriptedServer {
public:
    ScriptedServer()
    {
        for (int i = 0; i < kAddressTries && !listener_.Ok(); ++i) {
            address_ = RandomLoopbackAddress();
            listener_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
            const sockaddr_in where = Ipv4Address(address_, protocol::kSwitcherTcpPort);
            if (::bind(listener_.Get(), reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
                ::listen(listener_.Get(), 2) != 0) {
                listener_.Close();
            }
        }
    }
    bool Ok() const { return listener_.Ok(); }
    QString Address() const { return QString::fromStdString(address_); }

    // Takes the panel's connection, pumping the panel's events meanwhile.
    bool Accept()
    {
        return PumpUntil([&] {
            peer_ = Fd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            return peer_.Ok();
        });
    }
    // Every byte the panel sent, once at least `count` have come.
    Bytes ReceivedOnceAtLeast(std::size_t count)
    {
        PumpUntil([&] {
            const Bytes part = peer_.ReadOnce(0);
            received_.insert(received_.end(), part.begin(), part.end());
            return received_.size() >= count;
        });
        return received_;
    }
    bool Write(const Bytes& bytes) { return peer_.Write(bytes); }
    void ClosePeer() { peer_.Close(); }

private:
    Fd listener_;
    Fd peer_;
    std::string address_;
    Bytes received_;
};

}  // namespace velmora::test
