// TCP control over loopback: Connect and its greeting, the connection ended
// by either side, addresses where nothing listens, sends that go nowhere.

#include "tcp_fixture.h"

#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "protocol/hex_log.h"

#include <QCoreApplication>

#include <csignal>

namespace velmora::test {
namespace {

class TcpControl : public TcpPanelTest {
protected:
    int GreetingsLogged()
    {
        return SendLog().count(QString::fromStdString(protocol::HexBytes(protocol::MakeFrame(protocol::kTcpGreeting))));
    }
    // Waits for `count` message boxes while `act` runs; their texts.
    QStringList MessagesShownBy(const std::function<void()>& act, int count = 1)
    {
        QStringList shown;
        ModalWatcher watcher([&](QWidget* modal) {
            shown << pages::MessageText();
            Dismiss(modal);
        });
        act();
        EXPECT_TRUE(PumpUntil([&] { return shown.size() >= count; }));
        return shown;
    }
};

TEST_F(TcpControl, ConnectShowsDisconnectAfterTheConnectEventAndTheGeneralPageWorks)
{
    StartSimulator();
    simulator->Modify([](sim::DeviceState& s) { s.input = 3; });
    ClickConnect(simAddress);
    EXPECT_EQ(ConnectText(), "Connect") << "the attempt is under way, not yet made";
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Disconnect"; }, 3s));
    EXPECT_TRUE(panel->Tcp().TcpConnected());
    EXPECT_EQ(GreetingsLogged(), 2) << SendLog().toStdString();

    panel->SelectPage(page::kGeneral);  // the page's status query
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi3)->isChecked(); }, 3s));
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 2 && panel->Token().Ready(); }, 3s));
    EXPECT_TRUE(Button(c::kHdmi2)->isChecked());
    Choose(c::kResolutionList, 2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
}

// The greeting is handed over while the connection is being made: on
// loopback the kernel has finished the handshake by then, but the switcher
// still must not receive it. The first bytes it sees are the first command.
TEST_F(TcpControl, GreetingIsLoggedButNeverReachesTheSwitcher)
{
    ASSERT_NO_FATAL_FAILURE(ConnectToServer());
    EXPECT_EQ(GreetingsLogged(), 2);
    Button(c::kHdmi2)->click();
    const protocol::FrameBytes command =
        protocol::MakeFrame(protocol::kSelectInput, {{protocol::kInputByte, 2}, {7, protocol::kSelectInputByte7}});
    EXPECT_EQ(server.ReceivedOnceAtLeast(command.size()), Bytes(command.begin(), command.end()))
        << "0 bytes before the first command";

    Button(c::kComMode)->click();
    EXPECT_FALSE(panel->Tcp().TcpConnected()) << "COM control closes the connection";
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().Socket().IsOpen());
}

TEST_F(TcpControl, ReconnectingFreesThePanelAfterAnAnswerThatNeverCame)
{
    const auto PressVideoTab = [&] { ClickChildOf(panel.get(), panel->Control(c::kTabVideo)); };
    sim::SimOptions options;
    options.dropClass = protocol::kSelectInput.cls;  // input changes go unanswered
    StartSimulator(options);
    ConnectTo(simAddress);
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 2; }, 3s));
    ASSERT_FALSE(panel->Token().Ready()) << "the click waits for its answer";

    // Frozen: a further input, a list and a tab are ignored without a word.
    const QString sent = SendLog();
    Button(c::kHdmi3)->click();
    Choose(c::kResolutionList, 2);
    PressVideoTab();
    EXPECT_EQ(SendLog(), sent);
    EXPECT_EQ(panel->CurrentPage(), page::kGeneral);

    Button(c::kTcpConnect)->click();  // Disconnect
    ASSERT_EQ(ConnectText(), "Connect");
    ConnectTo(simAddress);
    EXPECT_TRUE(panel->Token().Ready()) << "the new connection gives the token back";
    emit List(c::kResolutionList)->activated(2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
    PressVideoTab();
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
}

TEST_F(TcpControl, WithoutAConnectionNothingIsShownUntilAPageCommandShowsWhy)
{
    StartSimulator();
    ConnectTo(simAddress);
    Button(c::kTcpConnect)->click();
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    const QString sent = SendLog();
    EXPECT_EQ(MessagesShownBy([&] { Button(c::kHdmi1)->click(); }), QStringList{"Connect to Matrix failed!"});
    EXPECT_EQ(SendLog(), sent) << "nothing was sent";

    // Nothing listening, and text that is no address: failed attempts, silent
    // until a command.
    for (const QString& address : {QString::fromStdString(RandomLoopbackAddress()), QStringLiteral("switcher.local")}) {
        SCOPED_TRACE(address.toStdString());
        const QStringList shown = MessagesShownBy(
            [&] {
                ClickConnect(address);
                PumpFor(300ms);
            },
            0);
        EXPECT_TRUE(shown.isEmpty());
        EXPECT_EQ(ConnectText(), "Connect");
        EXPECT_FALSE(panel->Tcp().TcpConnected());
        EXPECT_EQ(MessagesShownBy([&] { Button(c::kHdmi2)->click(); }), QStringList{"Connect to Matrix failed!"});
    }
    EXPECT_EQ(GreetingsLogged(), 6) << "each attempt logs its greeting";
}

TEST_F(TcpControl, SwitcherClosingReturnsToConnectAndTheNextConnectStartsAnew)
{
    sim::SimOptions options;
    options.closeTcpAfter = 1;
    StartSimulator(options);
    ConnectTo(simAddress);
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Connect"; }, 3s));
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    EXPECT_TRUE(panel->Token().Ready()) << "the answer came before the close";

    ConnectTo(simAddress);
    EXPECT_EQ(ConnectText(), "Disconnect");
    Button(c::kHdmi3)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 3; }, 3s));
}

TEST_F(TcpControl, SendsToAClosedPeerNeitherBlockNorRaiseSigpipe)
{
    ASSERT_NO_FATAL_FAILURE(ConnectToServer());
    server.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Connect"; }, 3s));
    // With the default action a SIGPIPE would end this test program.
    auto* previous = std::signal(SIGPIPE, SIG_DFL);
    for (int i = 0; i < 20; ++i) {
        panel->Send().Send(protocol::kGeneralStatus);
        QCoreApplication::processEvents();
    }
    std::signal(SIGPIPE, previous);
    EXPECT_TRUE(panel->Tcp().Socket().IsOpen()) << "kept until the next Connect or Search";
}

}  // namespace
}  // namespace velmora::test
