// velmoractl search and configure inside the test's private network: a
// simulated switcher on the far side of a veth cable is found by the
// broadcast, configured by its hardware address and then reached over TCP.

#include "lan.h"

#include "ctl/ctl_run.h"
#include "protocol/network_commands.h"
#include "sim/simulator.h"

#include <QJsonArray>

#include <memory>

namespace velmora::test {
namespace {

class CtlSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        VELMORA_NEEDS_PRIVATE_NETWORK();
        lan = std::make_unique<Lan>("10.0.0.1/24", std::vector<std::string>{"10.0.0.20/24"});
        VELMORA_NEEDS_LAN(*lan);
        sim::SimOptions options;
        options.pty = false;
        options.tcpBind = "10.0.0.20";
        options.tcpPort = protocol::kSwitcherTcpPort;
        options.udp = true;
        switcher = lan->Run([&] {
            auto s = std::make_unique<sim::Simulator>(options);
            return s->Start() ? std::move(s) : nullptr;
        });
        ASSERT_TRUE(switcher);
        switcher->Modify([](sim::DeviceState& s) {
            s.ip = {10, 0, 0, 20};
            s.mac = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
        });
    }
    void TearDown() override
    {
        switcher.reset();
        lan.reset();
    }

    std::unique_ptr<Lan> lan;
    std::unique_ptr<sim::Simulator> switcher;
};

// A fresh veth cable may drop the first broadcast while its carrier comes up,
// so the search is asked again, a bounded number of times, until it hears one.
CtlRun SearchUntilHeard()
{
    constexpr int kAttempts = 5;
    CtlRun search;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        search = RunCtl({"search", "--timeout", "1", "--json"});
        if (search.exit != 0 || !search.Json().value("switchers").toArray().isEmpty()) {
            break;
        }
    }
    return search;
}

TEST_F(CtlSearch, FindsTheSwitcherConfiguresItAndReachesIt)
{
    const CtlRun search = SearchUntilHeard();
    ASSERT_EQ(search.exit, 0) << Shown(search);
    const QJsonObject found{{"ip", "10.0.0.20"}, {"mac", "02-00-5e-10-00-01"}};
    EXPECT_EQ(search.Json().value("switchers").toArray(), QJsonArray{found}) << Shown(search);
    EXPECT_EQ(RunCtl({"search", "--timeout", "1"}).out, "switchers:\n  10.0.0.20  02-00-5e-10-00-01\n");

    const CtlRun text = RunCtl({"configure", "02:00:5e:10:00:01", "--ip", "10.0.0.77"});
    EXPECT_EQ(text.out, "mac: 02-00-5e-10-00-01\ndhcp: off\nip: 10.0.0.77\naccepted: on\n") << Shown(text);
    const CtlRun configure = RunCtl({"configure", "02:00:5E:10:00:01", "--ip", "10.0.0.78", "--json"});
    ASSERT_EQ(configure.exit, 0) << Shown(configure);
    EXPECT_TRUE(configure.Json().value("accepted").toBool()) << Shown(configure);
    EXPECT_EQ(switcher->Snapshot().ip, (std::array<std::uint8_t, 4>{10, 0, 0, 78}));

    const CtlRun status = RunCtl({"--host", "10.0.0.20", "status", "network", "--json"});
    ASSERT_EQ(status.exit, 0) << Shown(status);
    EXPECT_EQ(status.Json().value("ip").toString(), "10.0.0.78");
    EXPECT_FALSE(status.Json().value("dhcp").toBool());
}

TEST_F(CtlSearch, AConfigurationNobodyAnswersTimesOut)
{
    const CtlRun run = RunCtl({"configure", "02005e1000ff", "--dhcp", "--timeout", "0.5"});
    EXPECT_EQ(run.exit, 3) << Shown(run);
    EXPECT_EQ(switcher->Snapshot().ip, (std::array<std::uint8_t, 4>{10, 0, 0, 20}));
}

}  // namespace
}  // namespace velmora::test
