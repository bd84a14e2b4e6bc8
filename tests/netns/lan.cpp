#include "lan.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace velmora::test {

namespace {

bool g_private = false;
std::atomic<int> g_lans{0};

// Runs a shell command quietly; true on exit status 0.
bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Moves the whole program into a fresh network namespace with only a
// loopback interface, before the first test.
class PrivateNetworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override { g_private = ::unshare(CLONE_NEWNET) == 0 && Shell("ip link set lo up"); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new PrivateNetworkEnvironment);

}  // namespace

bool PrivateNetwork() { return g_private; }

Lan::Lan(const std::string& panelCidr, const std::vector<std::string>& peerCidrs)
{
    if (!g_private) {
        return;
    }
    const std::string index = std::to_string(g_lans++);
    panelEnd_ = "vpanel" + index;
    const std::string peerEnd = "vpeer" + index;
    bool peerOk = false;
    std::thread([&] {
        if (::unshare(CLONE_NEWNET) != 0) {
            return;
        }
        namespaceFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        // The panel's end goes to the namespace of the program's main thread.
        peerOk = namespaceFd_ >= 0 && Shell("ip link set lo up") &&
                 Shell("ip link add " + peerEnd + " type veth peer name " + panelEnd_ + " netns " +
                       std::to_string(::getpid()));
        for (const std::string& cidr : peerCidrs) {
            peerOk = peerOk && Shell("ip addr add " + cidr + " brd + dev " + peerEnd);
        }
        peerOk = peerOk && Shell("ip link set " + peerEnd + " up");
    }).join();
    ok_ = peerOk && Shell("ip addr add " + panelCidr + " brd + dev " + panelEnd_) &&
          Shell("ip link set " + panelEnd_ + " up");
    // The first LAN of a test carries the default route, which the limited
    // broadcast follows.
    if (ok_ && !Shell("ip route show default | grep -q .")) {
        ok_ = Shell("ip route add default dev " + panelEnd_);
    }
}

Lan::~Lan()
{
    // Gone at once, not when the kernel gets round to freeing the namespace:
    // the next test's LAN uses the same addresses.
    Shell("ip link del " + panelEnd_);
    if (namespaceFd_ >= 0) {
        ::close(namespaceFd_);
    }
}

void Lan::Enter() const
{
    if (::setns(namespaceFd_, CLONE_NEWNET) != 0) {
        ADD_FAILURE() << "cannot enter the LAN's namespace";
    }
}

}  // namespace velmora::test
