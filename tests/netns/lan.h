#pragma once
// A private LAN for the device search. The test program moves into a network
// namespace of its own before any test runs, so nothing it sends can reach a
// real network; each Lan joins it to one more namespace by a veth pair, and
// things run inside that namespace (simulated switchers, scripted responders)
// live on the far side of the cable.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// False when the program could not get a namespace of its own (no
// privilege): the tests that need one skip.
bool PrivateNetwork();

#define VELMORA_NEEDS_PRIVATE_NETWORK()                                                                                \
    do {                                                                                                               \
        if (!::velmora::test::PrivateNetwork()) {                                                                      \
            GTEST_SKIP() << "cannot create a network namespace here (needs CAP_SYS_ADMIN)";                            \
        }                                                                                                              \
    } while (0)

// A machine that allows namespaces but not veth pairs (no veth driver) is
// a limit of the machine, not a fault of the panel: those tests skip too.
#define VELMORA_NEEDS_LAN(lan)                                                                                         \
    do {                                                                                                               \
        if (!(lan).Ok()) {                                                                                             \
            GTEST_SKIP() << "cannot join network namespaces by a veth pair here";                                      \
        }                                                                                                              \
    } while (0)

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
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            std::thread t([&] {
                Enter();
                f();
            });
            t.join();
        } else {
            R result{};
            std::thread t([&] {
                Enter();
                result = f();
            });
            t.join();
            return result;
        }
    }

private:
    void Enter() const;

    int namespaceFd_ = -1;
    std::string panelEnd_;
    bool ok_ = false;
};

// Runs a shell command quietly; true on exit status 0.
bool Shell(const std::string& command);

}  // namespace velmora::test
