// Connection control over a pseudo-terminal: Connect and Disconnect, the far
// end hanging up, commands without a link, and the factory reset with its
// question, resend and time-out on the manual clock.

#include "appdefs/timer_ids.h"
#include "panel_fixture.h"
#include "res/message_ids.h"

#include <QTest>
#include <QTimer>

namespace velmora::test {

using namespace protocol;
namespace m = ctl::message;

namespace {

const Bytes kResetBytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0};
const QString kResetQuestion = QStringLiteral("Do you want to reset to factory settings?");

void ClickControl(QWidget* window, int id)
{
    window->findChild<QAbstractButton*>(QStringLiteral("ctl%1").arg(id))->click();
}

}  // namespace

class ConnectionTest : public PanelTest {
protected:
    bool RefreshRunning() { return panel->TimerRunning(timer::kPortRefresh); }
    // Every message shown is recorded and answered by `answer`, by default as with Escape.
    QStringList texts;
    std::function<void(QWidget*)> answer = Dismiss;
    ModalWatcher watcher{[this](QWidget* modal) {
        if (modal != pages::OpenStatusPopup()) {
            texts << pages::MessageText();
        }
        answer(modal);
    }};
};

TEST_F(ConnectionTest, ConnectDisconnectAndTheFarEndHangingUp)
{
    EXPECT_TRUE(RefreshRunning());
    Connect();
    EXPECT_EQ(Button(c::kComConnect)->text(), "Disconnect");
    EXPECT_FALSE(List(c::kPortList)->isEnabled());
    EXPECT_FALSE(RefreshRunning());
    EXPECT_EQ(panel->Connection().PortNumber(), kPanelPort);
    Button(c::kComConnect)->click();
    EXPECT_EQ(Button(c::kComConnect)->text(), "Connect");
    EXPECT_TRUE(List(c::kPortList)->isEnabled());
    EXPECT_TRUE(RefreshRunning());
    EXPECT_TRUE(LineQuiet()) << "Disconnect sends nothing";
    Connect();
    EXPECT_EQ(List(c::kPortList)->currentText(), QStringLiteral("COM%1").arg(kPanelPort));
    pty->CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !panel->Connection().ComOpen(); }));
    EXPECT_EQ(Button(c::kComConnect)->text(), "Connect");
    EXPECT_TRUE(RefreshRunning());
    PumpFor(50ms);
    EXPECT_TRUE(texts.isEmpty()) << "the far end hanging up shows no message";
}

TEST_F(ConnectionTest, FrameCutOffByADisconnectDoesNotSwallowTheNextConnectionsFirstAnswer)
{
    Connect();
    const auto cut = FrameVector(MakeFrame(kGeneralStatus));
    ASSERT_TRUE(pty->WriteMaster({cut.begin(), cut.begin() + 10}));
    ASSERT_TRUE(PumpUntil([&] { return panel->SerialReplies().Synchronised(); }));
    Button(c::kComConnect)->click();  // Disconnect in the middle of the frame
    Connect();
    const FrameBytes status = MakeFrame(kGeneralStatus, {{general_status::kInput, kInputHdmi3}});
    Answer(status);
    EXPECT_TRUE(Button(c::kHdmi3)->isChecked()) << "the first answer reached the General page";
    const QString log = LogText(*panel, c::kReceiveLog);
    EXPECT_EQ(log, QString::fromStdString(HexBytes(status)).append('\n')) << "and is the only frame logged";
}

TEST_F(ConnectionTest, CommandsGoOutWhileTheSwitcherFloodsTheLine)
{
    constexpr int kCommands = 200;
    Connect();
    serial_test::Streamer flood(pty->Master(), FrameVector(MakeFrame(kGeneralStatus)));
    Bytes expected;
    for (int i = 0; i < kCommands; ++i) {
        const int position = i % List(c::kResolutionList)->GetCount();
        const int logged = panel->ReceiveLogFrames();
        Choose(c::kResolutionList, position);
        const auto frame = Frame(kResolution.set, {{kFirstParam, static_cast<std::uint8_t>(position + 1)}});
        expected.insert(expected.end(), frame.begin(), frame.end());
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() != logged; })) << "command " << i;
    }
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size(); }))
        << flood.Received().size() / kFrameSize << " of " << kCommands << " written";
    EXPECT_EQ(flood.Received(), expected);
    EXPECT_TRUE(panel->Connection().ComOpen());
}

TEST_F(ConnectionTest, CommandsAndConnectWithoutALinkShowWhyAndSendNothing)
{
    Button(c::kHdmi1)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() == 1; }));
    EXPECT_EQ(texts[0], "Open COM failed!");
    List(c::kPortList)->SetCurSel(-1);
    Button(c::kComConnect)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() == 2; }));
    EXPECT_EQ(texts[1], "Open COM failed!");
    EXPECT_EQ(Button(c::kComConnect)->text(), "Connect");
    EXPECT_TRUE(RefreshRunning());
    Button(c::kTcpMode)->click();
    EXPECT_FALSE(List(c::kPortList)->isEnabled());
    EXPECT_TRUE(Ctl<QWidget>(c::kSearch)->isEnabled());
    Button(c::kFactoryReset)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() == 3; }));
    EXPECT_EQ(texts[2], "Connect to Matrix failed!");
    EXPECT_TRUE(SendLog().isEmpty());
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, FactoryResetDeclinedByEscapeOrAFocusedCancelSendsNothingAndFreesTheToken)
{
    Connect();
    Button(c::kFactoryReset)->click();
    answer = [](QWidget* modal) {
        auto* cancel = modal->findChild<QWidget*>(QStringLiteral("ctl%1").arg(m::kCancel));
        cancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cancel, Qt::Key_Return);
    };
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(texts, QStringList(2, kResetQuestion));
    EXPECT_FALSE(pages::MessageBoxShowing());
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(LineQuiet()) << "no factory reset";
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, FactoryResetResendsAfterThreeSecondsAndTimesOutAfterSix)
{
    Connect();
    std::vector<Bytes> sent;
    bool resentEarly = false;
    answer = [&](QWidget* modal) {
        if (modal == pages::OpenStatusPopup()) {
            EXPECT_EQ(pages::StatusText(), "Setting");
            // Leave the watcher first: the time-out opens a box of its own.
            QTimer::singleShot(0, [&] {
                sent.push_back(ReadFrame(kResetFrameSize));
                Advance(timer::kResetResendMs - 1);
                resentEarly = !LineQuiet();
                Advance(1);
                sent.push_back(ReadFrame(kResetFrameSize));
                EXPECT_FALSE(panel->Token().Ready()) << "the token waits for the time-out";
                Advance(timer::kResetTimeoutMs);
            });
        } else if (pages::MessageText() == kResetQuestion) {
            ClickControl(modal, m::kOk);
        } else {
            Dismiss(modal);
        }
    };
    Button(c::kFactoryReset)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() >= 2; }));
    EXPECT_EQ(texts, (QStringList{kResetQuestion, "Time out!"}));
    EXPECT_EQ(sent, std::vector<Bytes>(2, kResetBytes));
    EXPECT_FALSE(resentEarly);
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, NoLongerRemindThenCancelSkipsTheNextQuestion)
{
    Connect();
    answer = [](QWidget* modal) {
        if (modal == pages::OpenStatusPopup()) {
            QTimer::singleShot(0, [] { pages::CloseStatus(); });
        } else {
            ClickControl(modal, m::kNoLongerRemind);
            Dismiss(modal);
        }
    };
    Button(c::kFactoryReset)->click();
    EXPECT_TRUE(LineQuiet()) << "Cancel sends nothing";
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(ReadFrame(kResetFrameSize), kResetBytes);
    EXPECT_EQ(texts, QStringList{kResetQuestion}) << "no second question";
    panel->KillTimer(timer::kResetResend);
}

}  // namespace velmora::test
