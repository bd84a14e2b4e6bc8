// Search and Config... in the demo with only loopback up: the built-in
// switcher is found by the direct probe; without the demo no probe goes to it.

#include "config_steps.h"
#include "lan.h"

#include "app/options.h"
#include "app/session.h"
#include "app/switcher_search.h"
#include "platform/combo_box.h"
#include "transport/port_map.h"

#include <QPlainTextEdit>

namespace velmora::test {
namespace {

namespace c = ctl::main;
using namespace std::chrono_literals;

class DemoSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        VELMORA_NEEDS_PRIVATE_NETWORK();
        portMap = transport::PortMap::Directory();
        platform::TimerScheduler::Instance().UseManualClock(true);
        app::Options options;
        options.demo = true;
        session = std::make_unique<app::Session>(options);
        ASSERT_TRUE(session->DemoSwitcher()) << "the demo switcher did not start";
        panel().show();
        panel().ControlAs<QAbstractButton>(c::kTcpMode)->click();
        panel().ControlAs<QAbstractButton>(c::kSearch)->click();
        ASSERT_TRUE(ListedOnly(session->DemoAddress()));
    }
    void TearDown() override
    {
        session.reset();
        platform::TimerScheduler::Instance().UseManualClock(false);
        transport::PortMap::SetDirectory(portMap);
    }

    app::CVelmoraDlg& panel() { return session->Window(); }
    platform::ComboBox* Addresses() { return panel().ControlAs<platform::ComboBox>(c::kSwitcherIp); }
    bool ListedOnly(const QString& address)
    {
        return PumpUntil([&] { return Addresses()->GetCount() == 1 && Addresses()->GetLBText(0) == address; }, 3s);
    }

    std::string portMap;
    std::unique_ptr<app::Session> session;
};

TEST_F(DemoSearch, FindsTheDemoSwitcherWithItsHardwareAddress)
{
    EXPECT_EQ(Addresses()->GetCurSel(), 0);
    EXPECT_EQ(panel().Search().SelectedMac(), protocol::MacAddress(session->DemoSwitcher()->Snapshot().mac));
    // Listed under the address it is served on: Connect reaches it.
    panel().ControlAs<QAbstractButton>(c::kTcpConnect)->click();
    EXPECT_TRUE(PumpUntil([&] { return panel().Tcp().TcpConnected(); }, 3s));
}

TEST_F(DemoSearch, ConfigOnTheDemoSwitcherListsItUnderItsNewAddress)
{
    ConfigureStatic(panel(), {192, 168, 1, 77}, session->DemoAddress());
    EXPECT_EQ(session->DemoSwitcher()->Snapshot().ip, (Ipv4{192, 168, 1, 77}));
    EXPECT_TRUE(ListedOnly(QStringLiteral("192.168.1.77")));
}

// Outside the demo Search sends its probes as broadcasts only: a switcher
// that answers only what is sent to its own loopback address stays unheard.
TEST(PlainSearch, ProbesNoAddressOfItsOwnAccord)
{
    VELMORA_NEEDS_PRIVATE_NETWORK();
    sim::SimOptions options;
    options.pty = options.tcp = options.udpBroadcast = false;
    options.udp = true;
    options.udpBind = "127.0.0.2";
    sim::Simulator hidden(options);
    ASSERT_TRUE(hidden.Start());
    app::CVelmoraDlg panel;
    panel.show();
    panel.ControlAs<QAbstractButton>(c::kTcpMode)->click();
    panel.ControlAs<QAbstractButton>(c::kSearch)->click();
    PumpFor(300ms);
    EXPECT_EQ(panel.ControlAs<platform::ComboBox>(c::kSwitcherIp)->GetCount(), 0);
    EXPECT_TRUE(panel.LogText(c::kReceiveLog).isEmpty()) << "no answer came";
}

}  // namespace
}  // namespace velmora::test
