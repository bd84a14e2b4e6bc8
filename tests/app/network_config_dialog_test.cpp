// Config...: nothing to address without a search, and the dialog refusing
// input that would configure a switcher wrongly, with a message and nothing sent.

#include "panel_fixture.h"
#include "script.h"

#include "app/network_config_dialog.h"
#include "appdefs/timer_ids.h"
#include "platform/ip_address_edit.h"
#include "res/config_ids.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>

namespace velmora::test {
namespace {

namespace cfg = ctl::config;
using app::CheckConfigInput;
using app::ConfigInput;

const protocol::MacAddress kTarget{0x02, 0x00, 0x5E, 0x10, 0x00, 0x03};

QMessageBox* OpenPlainBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

TEST(ConfigInput, GoodInputBecomesTheRequestAndBadInputIsRefusedWithAReason)
{
    const auto dhcp = CheckConfigInput(kTarget, {true, std::nullopt, QString()});
    ASSERT_TRUE(dhcp.request);
    EXPECT_TRUE(dhcp.request->dhcp);
    EXPECT_EQ(dhcp.request->target, kTarget);
    EXPECT_EQ(dhcp.request->newMac, protocol::MacAddress{}) << "empty keeps the switcher's MAC";

    const auto fixed =
        CheckConfigInput(kTarget, {false, std::array<std::uint8_t, 4>{10, 0, 0, 33}, " 02-aa-BB-cc-dd-EE "});
    ASSERT_TRUE(fixed.request) << fixed.error.toStdString();
    EXPECT_FALSE(fixed.request->dhcp);
    EXPECT_EQ(fixed.request->ip, (protocol::Ipv4Address{10, 0, 0, 33}));
    EXPECT_EQ(fixed.request->newMac, (protocol::MacAddress{0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
    using Octets = std::array<std::uint8_t, 4>;
    const struct {
        ConfigInput input;
        const char* why;
    } refused[] = {
        {{false, std::nullopt, ""}, "a blank address field"},
        {{false, Octets{0, 0, 0, 5}, ""}, "first field 0"},
        {{false, Octets{127, 0, 0, 5}, ""}, "loopback"},
        {{false, Octets{224, 0, 0, 5}, ""}, "multicast"},
        {{false, Octets{10, 0, 0, 0}, ""}, "the subnet's own address"},
        {{false, Octets{10, 0, 0, 255}, ""}, "the subnet's broadcast"},
        {{true, std::nullopt, "12:34:56"}, "three pairs"},
        {{true, std::nullopt, "02:11:22:33:44:5G"}, "not hexadecimal"},
        {{true, std::nullopt, "02:11-22:33:44:55"}, "mixed separators"},
        {{true, std::nullopt, "00:00:00:00:00:00"}, "all zero"},
        {{true, std::nullopt, "01:00:5E:00:00:01"}, "a group address"},
        {{true, std::nullopt, "FF:FF:FF:FF:FF:FF"}, "the broadcast MAC"},
    };
    for (const auto& c : refused) {
        const auto check = CheckConfigInput(kTarget, c.input);
        EXPECT_FALSE(check.request) << c.why;
        EXPECT_FALSE(check.error.isEmpty()) << c.why;
    }
}

class ConfigButton : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        Button(c::kTcpMode)->click();
    }
};

TEST_F(ConfigButton, WithoutASearchThereIsNothingToAddress)
{
    List(c::kSwitcherIp)->setEditText(QStringLiteral("10.0.0.3"));
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
        }
        Dismiss(modal);
    });
    Button(c::kConfig)->click();
    EXPECT_EQ(shown, QString::fromLatin1(app::kSearchFirst));
    EXPECT_FALSE(panel->TimerRunning(timer::kConfigTimeout));
}

TEST_F(ConfigButton, RefusedInputKeepsTheDialogOpenAndSendsNothing)
{
    // As a search would leave it: an entry with its switcher's hardware address.
    const int entry = List(c::kSwitcherIp)->AddString(QStringLiteral("10.0.0.3"));
    List(c::kSwitcherIp)->setItemData(entry, QStringLiteral("02005E100003"));
    List(c::kSwitcherIp)->SetCurSel(entry);
    QStringList complaints;
    bool popupSeen = false;
    Script script;
    const auto dialog = [] { return qobject_cast<app::CNetworkConfigDlg*>(QApplication::activeModalWidget()); };
    const auto complaintShown = [&] {
        popupSeen = popupSeen || pages::StatusPopupShowing();
        return OpenPlainBox() != nullptr;
    };
    const auto answerComplaint = [&] {
        complaints << OpenPlainBox()->text();
        Dismiss(OpenPlainBox());
    };
    script
        .When(
            "the dialog opens", [&] { return dialog() != nullptr; },
            [&] {
                EXPECT_FALSE(dialog()->Control(cfg::kIp)->isEnabled()) << "DHCP is the default";
                dialog()->ControlAs<QAbstractButton>(cfg::kStatic)->click();
                EXPECT_TRUE(dialog()->Control(cfg::kIp)->isEnabled());
                dialog()->ControlAs<QAbstractButton>(cfg::kSend)->click();  // blank address
            })
        .When("the first complaint", complaintShown, answerComplaint)
        .When(
            "the dialog again", [&] { return dialog() != nullptr; },
            [&] {
                dialog()->ControlAs<platform::IpAddressEdit>(cfg::kIp)->SetOctets({10, 0, 0, 33});
                dialog()->ControlAs<QLineEdit>(cfg::kMac)->setText(QStringLiteral("01:23:45"));
                dialog()->ControlAs<QAbstractButton>(cfg::kSend)->click();
            })
        .When("the second complaint", complaintShown, answerComplaint)
        .When(
            "the dialog a third time", [&] { return dialog() != nullptr; },
            [&] { dialog()->ControlAs<QAbstractButton>(cfg::kCancel)->click(); });
    script.Start();
    Button(c::kConfig)->click();
    ASSERT_TRUE(PumpUntil([&] { return script.Finished() && !QApplication::activeModalWidget(); }));
    ASSERT_EQ(complaints.size(), 2);
    EXPECT_TRUE(complaints[0].contains("all four fields"));
    EXPECT_TRUE(complaints[1].contains("six pairs"));
    EXPECT_FALSE(popupSeen);
    EXPECT_FALSE(panel->TimerRunning(timer::kConfigTimeout)) << "nothing was sent";
}

}  // namespace
}  // namespace velmora::test
