#pragma once
// A private LAN for the device search. The test program moves into a network
// namespace of its own before any test runs, so nothing it sends can reach a
// real network; each Lan joins it to one more namespace by a veth pair, and
// things run inside that namespace (simulated switchers, scripted responders)
// live on the far side of the cable.

#include "protocol/network_commands.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace velmora::test {

using Ipv4 = std::array<std::uint8_t, 4>;

// False when the program could not get a namespace of its own (no
// privilege): the tests that need one skip.
bool PrivateNetwork();

// A machine that allows namespaces but not veth pairs (no veth driver) is
// a limit of the machine, not a fault of the panel: those tests skip too.
#define VELMORA_SKIP_UNLESS(ok, why)                                                                                   \
    do {                                                                                                               \
        if (!(ok)) {                                                                                                   \
            GTEST_SKIP() << why;                                                                                       \
        }                                                                                                              \
    } while (0)
#define VELMORA_NEEDS_PRIVATE_NETWORK()                                                                                \
    VELMORA_SKIP_UNLESS(::velmora::test::PrivateNetwork(), "cannot create a network namespace (needs CAP_SYS_ADMIN)")
#define VELMORA_NEEDS_LAN(lan) VELMORA_SKIP_UNLESS((lan).Ok(), "cannot join network namespaces by a veth pair here")

class Lan {
public:
    // panelCidr goes on the panel's end of the cable, peerCidrs on the far
    // end; the first Lan made also carries the panel's default route.
    Lan(const std::string& panelCidr, const std::vector<std::string>& peerCidrs);
    ~Lan();
    Lan(const Lan&) = delete;
    Lan& operator=(const Lan&) = delete;

    bool Ok() const { return ok_; }

    // Runs f on a thread inside the far namespace: sockets and threads it
    // creates stay there.
    template <class F>
    auto Run(F&& f) -> decltype(f())
    {
        return std::async(std::launch::async,
                          [&] {
                              Enter();
                              return f();
                          })
            .get();
    }

private:
    void Enter() const;

    int namespaceFd_ = -1;
    std::string panelEnd_;
    bool ok_ = false;
};

inline std::string Dotted(const Ipv4& ip)
{
    return std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
           std::to_string(ip[3]);
}

// A simulated switcher on `lan` at `ip` with the hardware address
// 02:00:5E:10:00:<macLast>, answering the search and configuration
// broadcasts and, unless told not to, listening for TCP; null if it failed.
inline std::unique_ptr<sim::Simulator> StartSwitcher(Lan& lan, const Ipv4& ip, std::uint8_t macLast,
                                                     bool listenTcp = true)
{
    sim::SimOptions options;
    options.pty = false;
    options.tcp = listenTcp;
    options.tcpBind = Dotted(ip);
    options.tcpPort = protocol::kSwitcherTcpPort;
    options.udp = true;
    auto switcher = lan.Run([&] {
        auto s = std::make_unique<sim::Simulator>(options);
        return s->Start() ? std::move(s) : nullptr;
    });
    EXPECT_TRUE(switcher) << "the switcher at " << Dotted(ip) << " did not start";
    if (switcher) {
        switcher->Modify([&](sim::DeviceState& s) {
            s.ip = ip;
            s.mac = {0x02, 0x00, 0x5E, 0x10, 0x00, macLast};
        });
    }
    return switcher;
}

}  // namespace velmora::test
