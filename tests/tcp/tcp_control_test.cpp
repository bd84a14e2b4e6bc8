// TCP control against the simulated switcher over loopback: Connect and its
// greeting, the General page over TCP, the switcher or the operator ending
// the connection, an address where nothing listens, and sends that can go
// nowhere.

#include "tcp_fixture.h"

#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "protocol/hex_log.h"

#include <QCoreApplication>

#include <csignal>

namespace velmora::test {
namespace {

QString HexOf(const protocol::FrameBytes& frame) { return QString::fromStdString(protocol::HexBytes(frame)); }

class TcpControl : public TcpPanelTest {};

TEST_F(TcpControl, ConnectShowsDisconnectOnlyAfterTheConnectEvent)
{
    StartSimulator();
    ClickConnect(simAddress);
    EXPECT_EQ(ConnectText(), "Connect") << "the attempt is under way, not yet made";
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Disconnect"; }, 3s));
    EXPECT_TRUE(panel->Tcp().TcpConnected());

    const QString greeting = HexOf(protocol::MakeFrame(protocol::kTcpGreeting));
    EXPECT_EQ(SendLog().count(greeting), 2) << SendLog().toStdString();
}

// The greeting is handed over while the connection is being made: on
// loopback the kernel has finished the handshake by then, but the switcher
// still must not receive it. The first bytes it sees are the first command.
TEST_F(TcpControl, GreetingIsLoggedButNeverReachesTheSwitcher)
{
    ScriptedServer server;
    ASSERT_TRUE(server.Ok());
    ClickConnect(server.Address());
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Disconnect"; }, 3s));
    const QString greeting = HexOf(protocol::MakeFrame(protocol::kTcpGreeting));
    EXPECT_EQ(SendLog().count(greeting), 2);

    Button(c::kHdmi2)->click();
    const protocol::FrameBytes command =
        protocol::MakeFrame(protocol::kSelectInput, {{protocol::kInputByte, 2}, {7, protocol::kSelectInputByte7}});
    const Bytes received = server.ReceivedOnceAtLeast(command.size());
    EXPECT_EQ(received, Bytes(command.begin(), command.end())) << "0 bytes before the first command";
}

TEST_F(TcpControl, GeneralPageWorksOverTcp)
{
    StartSimulator();
    ConnectTo(simAddress);
    simulator->Modify([](sim::DeviceState& s) { s.input = 3; });
    panel->SelectPage(page::kGeneral);  // the page's status query
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi3)->isChecked(); }, 3s));

    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 2 && panel->Token().Ready(); }, 3s));
    EXPECT_TRUE(Button(c::kHdmi2)->isChecked());

    List(c::kResolutionList)->SetCurSel(2);
    emit List(c::kResolutionList)->activated(2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
}

TEST_F(TcpControl, TwoAnswersInOneWriteAreBothHandled)
{
    sim::SimOptions options;
    options.coalesceTcp = true;
    StartSimulator(options);
    ConnectTo(simAddress);
    const int before = panel->ReceiveLogFrames();
    // List commands give the token back at once, so both go out together.
    List(c::kEdidList)->SetCurSel(1);
    emit List(c::kEdidList)->activated(1);
    List(c::kHdcpList)->SetCurSel(0);
    emit List(c::kHdcpList)->activated(0);
    EXPECT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == before + 2; }, 3s));
}

TEST_F(TcpControl, AnswerInTwoPiecesIsOneFrame)
{
    sim::SimOptions options;
    options.splitTcp = true;
    StartSimulator(options);
    ConnectTo(simAddress);
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return panel->Token().Ready(); }, 3s));
    EXPECT_EQ(panel->ReceiveLogFrames(), 1);
    EXPECT_TRUE(Button(c::kHdmi2)->isChecked());
}

TEST_F(TcpControl, ReconnectingFreesThePanelAfterAnAnswerThatNeverCame)
{
    const auto PressVideoTab = [&] {
        QWidget* tab = panel->Control(c::kTabVideo);
        Click(panel.get(), tab->mapTo(panel.get(), tab->rect().center()));
    };
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
    List(c::kResolutionList)->SetCurSel(2);
    emit List(c::kResolutionList)->activated(2);
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

TEST_F(TcpControl, DisconnectEndsTheConnectionAndCommandsThenShowWhy)
{
    StartSimulator();
    ConnectTo(simAddress);
    Button(c::kTcpConnect)->click();
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().TcpConnected());

    QStringList shown;
    ModalWatcher watcher([&](QWidget* modal) {
        shown << pages::MessageText();
        Dismiss(modal);
    });
    const QString before = SendLog();
    Button(c::kHdmi1)->click();
    ASSERT_TRUE(PumpUntil([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown[0], "Connect to Matrix failed!");
    EXPECT_EQ(SendLog(), before) << "nothing was sent";
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

TEST_F(TcpControl, NothingListeningShowsNothingUntilAPageCommand)
{
    int shownCount = 0;
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
        ++shownCount;
        shown = pages::MessageText();
        Dismiss(modal);
    });
    ClickConnect(QString::fromStdString(RandomLoopbackAddress()));
    PumpFor(300ms);
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    EXPECT_EQ(shownCount, 0);

    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return shownCount == 1; }));
    EXPECT_EQ(shown, "Connect to Matrix failed!");
}

TEST_F(TcpControl, TextThatIsNoAddressIsAFailedAttempt)
{
    ClickConnect(QStringLiteral("switcher.local"));
    PumpFor(100ms);
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    const QString greeting = HexOf(protocol::MakeFrame(protocol::kTcpGreeting));
    EXPECT_EQ(SendLog().count(greeting), 2);
}

TEST_F(TcpControl, ChangeToComControlClosesTheConnection)
{
    ScriptedServer server;
    ASSERT_TRUE(server.Ok());
    ClickConnect(server.Address());
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    Button(c::kComMode)->click();
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    EXPECT_EQ(ConnectText(), "Connect");
    EXPECT_FALSE(panel->Tcp().Socket().IsOpen());
}

TEST_F(TcpControl, SendsToAClosedPeerNeitherBlockNorRaiseSigpipe)
{
    ScriptedServer server;
    ASSERT_TRUE(server.Ok());
    ConnectTo(server.Address());
    ASSERT_TRUE(server.Accept());
    server.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return ConnectText() == "Connect"; }, 3s));

    // With the default action a SIGPIPE would end this test program.
    auto* previous = std::signal(SIGPIPE, SIG_DFL);
    for (int i = 0; i < 20; ++i) {
        panel->Send().Send(protocol::kGeneralStatus);
        QCoreApplication::processEvents();
    }
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(panel->Tcp().Socket().IsOpen(), true) << "kept until the next Connect or Search";
}

}  // namespace
}  // namespace velmora::test
