// Config... on a private LAN, on the manual clock.

#include "lan_panel.h"

namespace velmora::test {
namespace {

class NetworkConfig : public LanPanelTest {
protected:
    // Message boxes are answered and remembered; the dialog and the popup are the script's.
    void WatchMessages()
    {
        watcher = std::make_unique<ModalWatcher>([this](QWidget* modal) {
            if (qobject_cast<pages::CMessageDlg*>(modal)) {
                messages << pages::MessageText();
                Dismiss(modal);
            }
        });
    }
    void TearDown() override
    {
        watcher.reset();
        LanPanelTest::TearDown();
    }
    void SelectMac(std::uint8_t macLast)
    {
        const auto macs = ListedMacs();
        const auto it =
            std::find(macs.begin(), macs.end(), protocol::MacAddress{0x02, 0x00, 0x5E, 0x10, 0x00, macLast});
        ASSERT_NE(it, macs.end());
        Addresses()->SetCurSel(static_cast<int>(it - macs.begin()));
    }

    std::unique_ptr<ModalWatcher> watcher;
    QStringList messages;
};

TEST_F(NetworkConfig, StaticAddressReachesTheChosenSwitcherAndSucceeds)
{
    sim::Simulator* low = AddSwitcher(*lan, {10, 0, 0, 3}, 0x03);
    sim::Simulator* high = AddSwitcher(*lan, {10, 0, 0, 20}, 0x20);
    ASSERT_TRUE(low && high);
    ASSERT_TRUE(SearchLists(2));
    PumpFor(100ms);
    Addresses()->SetCurSel(Addresses()->FindStringExact(QStringLiteral("10.0.0.3")));
    WatchMessages();

    ConfigureStatic(*panel, {10, 0, 0, 33}, QStringLiteral("02:00:5E:10:00:03"));
    EXPECT_EQ(low->Snapshot().ip, (Ipv4{10, 0, 0, 33}));
    EXPECT_FALSE(low->Snapshot().dhcp);
    EXPECT_EQ(low->Configurations(), 1);
    EXPECT_EQ(high->Configurations(), 0) << "the other switcher was not addressed";
    EXPECT_EQ(high->Snapshot().ip, (Ipv4{10, 0, 0, 20}));
    EXPECT_TRUE(PumpUntil([&] { return Addresses()->GetCount() == 2; }, 3s));
    PumpFor(100ms);
    EXPECT_EQ(Listed(), (QStringList{"10.0.0.20", "10.0.0.33"})) << "listed under its new address";

    Advance(15000);
    PumpFor(50ms);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(", ").toStdString();
}

// Two units fresh from the factory share an address: each is an entry of
// its own, and Config... on each entry reaches that unit and no other.
TEST_F(NetworkConfig, SwitchersSharingAnAddressAreConfiguredOneByOne)
{
    sim::Simulator* units[] = {AddSwitcher(*lan, {10, 0, 0, 20}, 0x01), AddSwitcher(*lan, {10, 0, 0, 20}, 0x02, false)};
    ASSERT_TRUE(units[0] && units[1]);
    ASSERT_TRUE(SearchLists(2));
    EXPECT_EQ(Listed(), (QStringList{"10.0.0.20", "10.0.0.20"}));
    WatchMessages();
    const struct {
        int unit;
        std::uint8_t last;
        QStringList listed;
    } steps[] = {{1, 32, {"10.0.0.20", "10.0.0.32"}}, {0, 31, {"10.0.0.31", "10.0.0.32"}}};
    for (const auto& step : steps) {
        SelectMac(static_cast<std::uint8_t>(step.unit + 1));
        ConfigureStatic(*panel, {10, 0, 0, step.last});
        EXPECT_EQ(units[step.unit]->Snapshot().ip, (Ipv4{10, 0, 0, step.last}));
        EXPECT_EQ(units[1 - step.unit]->Configurations(), 1 - step.unit) << "the other unit was not addressed";
        ASSERT_TRUE(PumpUntil([&] { return Addresses()->GetCount() == 2; }, 3s));
        EXPECT_EQ(Listed(), step.listed);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(", ").toStdString();
}

TEST_F(NetworkConfig, NoAnswerTimesOutAfterFifteenSeconds)
{
    Respond({SearchAnswer(50, {10, 0, 0, 20}, 0x07)});  // answers the search only
    ASSERT_TRUE(SearchLists(1));
    WatchMessages();
    Script script;
    script
        .When(
            "the dialog opens", [] { return OpenConfigDialog() != nullptr; },
            [] { OpenConfigDialog()->ControlAs<QAbstractButton>(ctl::config::kSend)->click(); })
        .When(
            "the popup shows", [] { return pages::StatusPopupShowing(); },
            [&] {
                Advance(14999);
                EXPECT_TRUE(pages::StatusPopupShowing());
                EXPECT_TRUE(messages.isEmpty());
                Advance(1);  // the box opens inside this call and is answered there
            });
    script.Start();
    Button(c::kConfig)->click();
    ASSERT_TRUE(PumpUntil([&] { return script.Finished() && !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList{"Time out!"});
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(panel->Token().Ready());
}

}  // namespace
}  // namespace velmora::test
