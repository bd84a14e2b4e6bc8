// The Network page against the simulated switcher over each line: the read
// chain and its log, the write chain of each Set button reply by reply, the
// log written where the operator clicked, and requests made while no link is open.

#include "e2e/sim_panel_fixture.h"

#include "platform/ip_address_edit.h"
#include "protocol/network_commands.h"
#include "res/network_ids.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace velmora::test {

namespace n = ctl::network;
using protocol::Command;

namespace {

const QString kFactoryLog = QStringLiteral("DHCP:OFF\r\nIP: 192.168.1.200\r\nSubnet: 255.255.255.0\r\n"
                                           "Gate: 192.168.1.1\r\nMac: 00-1c-91-03-52-7a\r\nPort: 8000\r\n");

}  // namespace

class NetworkChain : public SimPanelTest {
protected:
    // Connects and chooses the Network tab; the read chain runs to its end.
    void OpenNetwork()
    {
        ConnectIdle();
        page = OpenPage(c::kTabNetwork);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Text().contains("Port: "); }, 3s)) << Text().toStdString();
    }
    QPlainTextEdit* Log() { return page->ControlAs<QPlainTextEdit>(n::kLog); }
    // The log as the edit keeps it, each line break read as CR LF.
    QString Text() { return Log()->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }
    QAbstractButton* PageButton(int id) { return page->ControlAs<QAbstractButton>(id); }
    platform::IpAddressEdit* Address(int id) { return page->ControlAs<platform::IpAddressEdit>(id); }

    // The class and command of every frame in the receive log, oldest first.
    std::vector<Command> Received()
    {
        std::vector<Command> commands;
        const QString text = LogText(*panel, c::kReceiveLog);
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList bytes = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (bytes.size() > static_cast<int>(protocol::kCommandByte)) {
                commands.push_back({static_cast<std::uint8_t>(bytes[protocol::kClassByte].toUInt(nullptr, 16)),
                                    static_cast<std::uint8_t>(bytes[protocol::kCommandByte].toUInt(nullptr, 16))});
            }
        }
        return commands;
    }
    // Waits for `count` more replies after `before`, then for a quiet line.
    std::vector<Command> RepliesAfter(std::size_t before, std::size_t count)
    {
        EXPECT_TRUE(PumpUntil([&] { return Received().size() >= before + count; }, 3s));
        PumpFor(200ms);
        const auto all = Received();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end()};
    }

    pages::PageWindow* page = nullptr;
};

TEST_P(NetworkChain, ReadChainWritesTheSixLineLog)
{
    OpenNetwork();
    EXPECT_EQ(Text(), kFactoryLog);
    EXPECT_EQ(page->ControlAs<QLineEdit>(n::kPort)->text(), "8000");
    EXPECT_EQ(page->ControlAs<QLineEdit>(n::kMacBoxes[5])->text(), "7a");
    simulator->Modify([](sim::DeviceState& s) {
        s.dhcp = true;
        s.ip = {10, 1, 2, 3};
        s.mac = {0xA2, 0x0B, 0xC0, 0xDE, 0x00, 0xFF};
        s.tcpPort = 65535;
    });
    PageButton(n::kStatus)->click();
    ASSERT_TRUE(PumpUntil([&] { return Text().startsWith("DHCP: ON") && Text().contains("Port: "); }, 3s))
        << Text().toStdString();
    EXPECT_EQ(Text(), "DHCP: ON\r\nIP: 10.1.2.3\r\nSubnet: 255.255.255.0\r\nGate: 192.168.1.1\r\n"
                      "Mac: a2-0b-c0-de-00-ff\r\nPort: 65535\r\n");
    EXPECT_FALSE(Address(n::kIp)->isEnabled()) << "DHCP on";
}

TEST_P(NetworkChain, EachSetButtonWritesReplyByReplyUpToDhcpOff)
{
    OpenNetwork();
    const struct {
        int button;
        std::vector<Command> replies;
    } cases[] = {
        {n::kSetIp, {protocol::kSetIp, protocol::kSetSubnet, protocol::kSetGateway, protocol::kDhcp.set}},
        {n::kSetSubnet, {protocol::kSetSubnet, protocol::kSetGateway, protocol::kDhcp.set}},
        {n::kSetGateway, {protocol::kSetGateway, protocol::kDhcp.set}},
        {n::kSetMac,
         {protocol::kSetMac, protocol::kSetIp, protocol::kSetSubnet, protocol::kSetGateway, protocol::kDhcp.set}},
    };
    std::uint8_t last = 10;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.button);
        simulator->Modify([](sim::DeviceState& s) { s.dhcp = true; });
        ++last;
        Address(n::kIp)->SetOctets({172, 16, 0, last});
        Address(n::kSubnet)->SetOctets({255, 255, last, 0});
        Address(n::kGateway)->SetOctets({172, 16, 0, 1});
        const std::array<const char*, 6> mac{"02", "00", "5e", "10", "20", "30"};
        for (std::size_t i = 0; i < mac.size(); ++i) {
            page->ControlAs<QLineEdit>(n::kMacBoxes[i])->setText(mac[i]);
        }
        const std::size_t before = Received().size();
        PageButton(k.button)->click();
        EXPECT_EQ(RepliesAfter(before, k.replies.size()), k.replies) << "and nothing after DHCP off";
        const auto state = simulator->Snapshot();
        EXPECT_FALSE(state.dhcp);
        EXPECT_EQ(state.gateway, (std::array<std::uint8_t, 4>{172, 16, 0, 1}));
        if (k.button != n::kSetGateway) {
            EXPECT_EQ(state.subnet, (std::array<std::uint8_t, 4>{255, 255, last, 0}));
        }
        if (k.button == n::kSetIp || k.button == n::kSetMac) {
            EXPECT_EQ(state.ip, (std::array<std::uint8_t, 4>{172, 16, 0, last}));
        }
    }
    EXPECT_EQ(simulator->Snapshot().mac, (std::array<std::uint8_t, 6>{0x02, 0x00, 0x5E, 0x10, 0x20, 0x30}));
    // With DHCP checked, Set IP only switches DHCP on.
    PageButton(n::kDhcp)->click();
    const std::size_t before = Received().size();
    PageButton(n::kSetIp)->click();
    EXPECT_EQ(RepliesAfter(before, 1), std::vector<Command>{protocol::kDhcp.set});
    EXPECT_TRUE(simulator->Snapshot().dhcp);
    EXPECT_EQ(simulator->Snapshot().ip, (std::array<std::uint8_t, 4>{172, 16, 0, last}));
}

TEST_P(NetworkChain, AClickIntoTheLogBetweenTwoBlocksPutsTheNextBlockThere)
{
    OpenNetwork();
    QPlainTextEdit* log = Log();
    // When the address block has come, and before the MAC answer can: a
    // click at the start of the address block, right after the DHCP line.
    bool clicked = false;
    QObject::connect(
        log, &QPlainTextEdit::textChanged, log,
        [&] {
            if (clicked || !log->toPlainText().contains("Gate: ") || log->toPlainText().contains("Mac: ")) {
                return;
            }
            clicked = true;
            const QTextCursor addressBlock(log->document()->findBlockByNumber(1));
            Click(log->viewport(), log->cursorRect(addressBlock).center());
        },
        Qt::QueuedConnection);
    log->clear();  // the operator may: the log is an ordinary edit
    PageButton(n::kStatus)->click();
    ASSERT_TRUE(PumpUntil([&] { return Text().contains("Port: "); }, 3s));
    EXPECT_TRUE(clicked);
    EXPECT_EQ(Text(), "DHCP:OFF\r\nMac: 00-1c-91-03-52-7a\r\nPort: 8000\r\n"
                      "IP: 192.168.1.200\r\nSubnet: 255.255.255.0\r\nGate: 192.168.1.1\r\n");
}

TEST_P(NetworkChain, RequestsWhileNoLinkIsOpenGoNowhereEvenAfterAConnect)
{
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    if (GetParam() == Line::Tcp) {
        Button(c::kTcpMode)->click();
    }
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabNetwork));
    page = panel->Pages().Existing(panel->CurrentPage());
    ASSERT_NE(page, nullptr);
    page->ControlAs<QLineEdit>(n::kPort)->setText("9000");
    PageButton(n::kStatus)->click();
    PageButton(n::kSetPort)->click();
    const std::size_t before = Received().size();
    ConnectIdle();
    // Over the pty the connection asks for the General status; nothing else comes.
    const std::size_t connectReplies = GetParam() == Line::Pty ? 1 : 0;
    ASSERT_TRUE(PumpUntil([&] { return Received().size() >= before + connectReplies; }, 3s));
    PumpFor(300ms);
    EXPECT_EQ(Received().size(), before + connectReplies);
    EXPECT_EQ(simulator->Snapshot().tcpPort, 8000);
    EXPECT_EQ(Text(), QString());
    EXPECT_EQ(watcher.Seen(), 1) << "only the tab's own connection check spoke";
    PageButton(n::kStatus)->click();
    EXPECT_TRUE(PumpUntil([&] { return Text() == kFactoryLog; }, 3s)) << Text().toStdString();
    pages::MessageText().clear();
}

INSTANTIATE_TEST_SUITE_P(Lines, NetworkChain, ::testing::Values(Line::Pty, Line::Tcp), LineName);

}  // namespace velmora::test
