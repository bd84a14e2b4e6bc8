// velmoractl search and configure on a private LAN.

#include "lan.h"

#include "ctl/ctl_run.h"

namespace velmora::test {
namespace {

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

TEST(CtlSearch, FindsTheSwitcherConfiguresItAndReachesIt)
{
    VELMORA_NEEDS_PRIVATE_NETWORK();
    Lan lan("10.0.0.1/24", {"10.0.0.20/24"});
    VELMORA_NEEDS_LAN(lan);
    const auto switcher = StartSwitcher(lan, {10, 0, 0, 20}, 0x01);
    ASSERT_TRUE(switcher);
    const CtlRun search = SearchUntilHeard();
    ASSERT_EQ(search.exit, 0) << Shown(search);
    const QJsonObject found{{"ip", "10.0.0.20"}, {"mac", "02-00-5e-10-00-01"}};
    EXPECT_EQ(search.Json().value("switchers").toArray(), QJsonArray{found}) << Shown(search);
    EXPECT_EQ(RunCtl({"search", "--timeout", "1"}).out, "switchers:\n  10.0.0.20  02-00-5e-10-00-01\n");

    const CtlRun nobody = RunCtl({"configure", "02005e1000ff", "--dhcp", "--timeout", "0.5"});
    EXPECT_EQ(nobody.exit, 3) << "a configuration nobody answers times out: " << Shown(nobody);
    EXPECT_EQ(switcher->Snapshot().ip, (Ipv4{10, 0, 0, 20}));
    const CtlRun text = RunCtl({"configure", "02:00:5e:10:00:01", "--ip", "10.0.0.77"});
    EXPECT_EQ(text.out, "mac: 02-00-5e-10-00-01\ndhcp: off\nip: 10.0.0.77\naccepted: on\n") << Shown(text);
    const CtlRun configure = RunCtl({"configure", "02:00:5E:10:00:01", "--ip", "10.0.0.78", "--json"});
    ASSERT_EQ(configure.exit, 0) << Shown(configure);
    EXPECT_TRUE(configure.Json().value("accepted").toBool()) << Shown(configure);
    EXPECT_EQ(switcher->Snapshot().ip, (Ipv4{10, 0, 0, 78}));

    const CtlRun status = RunCtl({"--host", "10.0.0.20", "status", "network", "--json"});
    ASSERT_EQ(status.exit, 0) << Shown(status);
    EXPECT_EQ(status.Json().value("ip").toString(), "10.0.0.78");
    EXPECT_FALSE(status.Json().value("dhcp").toBool());
}

}  // namespace
}  // namespace velmora::test
