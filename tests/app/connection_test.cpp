// Connection control over a pseudo-terminal: Connect and Disconnect, the far
// end hanging up, the connection check, and the factory reset with its
// question, resend and time-out on the manual clock.

#include "appdefs/timer_ids.h"
#include "panel_fixture.h"
#include "res/message_ids.h"

#include <QTest>
#include <QTimer>

namespace velmora::test {

using namespace protocol;

namespace {

const std::vector<std::uint8_t> kResetBytes{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0};

void ClickControl(QWidget* window, int id)
{
    auto* button = window->findChild<QAbstractButton*>(QStringLiteral("ctl%1").arg(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

using ctl::message::kCancel;
using ctl::message::kNoLongerRemind;
using ctl::message::kOk;

}  // namespace

class ConnectionTest : public PanelTest {
protected:
    void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }
    bool RefreshRunning() { return panel->TimerRunning(timer::kPortRefresh); }
};

TEST_F(ConnectionTest, ConnectStopsTheRefreshAndDisconnectThenConnectReopensTheSamePort)
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
}

TEST_F(ConnectionTest, FarEndHangingUpDisconnectsWithoutAMessage)
{
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    Connect();
    pty->CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !panel->Connection().ComOpen(); }));
    EXPECT_EQ(Button(c::kComConnect)->text(), "Connect");
    EXPECT_TRUE(RefreshRunning());
    PumpFor(50ms);
    EXPECT_EQ(watcher.Seen(), 0);
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
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < kCommands; ++i) {
        const int position = i % List(c::kResolutionList)->GetCount();
        List(c::kResolutionList)->SetCurSel(position);
        emit List(c::kResolutionList)->activated(position);
        const auto frame = MakeFrame(kResolution.set, {{kFirstParam, static_cast<std::uint8_t>(position + 1)}});
        expected.insert(expected.end(), frame.begin(), frame.end());
        const int logged = panel->ReceiveLogFrames();
        ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() != logged; })) << "command " << i;
    }
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size(); }))
        << flood.Received().size() / kFrameSize << " of " << kCommands << " written";
    EXPECT_EQ(flood.Received(), expected);
    EXPECT_TRUE(panel->Connection().ComOpen());
}

TEST_F(ConnectionTest, CommandsWhileDisconnectedShowWhyAndSendNothing)
{
    QStringList texts;
    ModalWatcher watcher([&](QWidget* modal) {
        texts << pages::MessageText();
        Dismiss(modal);
    });
    Button(c::kHdmi1)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() == 1; }));
    EXPECT_EQ(texts[0], "Open COM failed!");
    Button(c::kTcpMode)->click();
    EXPECT_FALSE(List(c::kPortList)->isEnabled());
    EXPECT_TRUE(Ctl<QWidget>(c::kSearch)->isEnabled());
    Button(c::kFactoryReset)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() == 2; }));
    EXPECT_EQ(texts[1], "Connect to Matrix failed!");
    EXPECT_TRUE(SendLog().isEmpty());
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, ConnectWithoutAPortFails)
{
    QStringList texts;
    ModalWatcher watcher([&](QWidget* modal) {
        texts << pages::MessageText();
        Dismiss(modal);
    });
    List(c::kPortList)->SetCurSel(-1);
    Button(c::kComConnect)->click();
    ASSERT_TRUE(PumpUntil([&] { return !texts.isEmpty(); }));
    EXPECT_EQ(texts[0], "Open COM failed!");
    EXPECT_EQ(Button(c::kComConnect)->text(), "Connect");
    EXPECT_TRUE(RefreshRunning());
}

TEST_F(ConnectionTest, FactoryResetDeclinedSendsNothingAndFreesTheToken)
{
    Connect();
    ModalWatcher watcher([](QWidget* modal) { Dismiss(modal); });
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_TRUE(LineQuiet());
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_FALSE(pages::MessageBoxShowing());
}

TEST_F(ConnectionTest, ReturnOnAFocusedCancelAnswersCancelAndSendsNothing)
{
    Connect();
    int answered = 0;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* cancel = modal->findChild<QWidget*>(QStringLiteral("ctl%1").arg(kCancel));
        cancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cancel, Qt::Key_Return);
        ++answered;
    });
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(answered, 1);
    EXPECT_FALSE(pages::MessageBoxShowing());
    EXPECT_TRUE(LineQuiet()) << "no factory reset";
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, FactoryResetResendsAfterThreeSecondsAndTimesOutAfterSix)
{
    Connect();
    QStringList texts;
    std::vector<std::vector<std::uint8_t>> sent;
    bool resentEarly = false;
    ModalWatcher watcher([&](QWidget* modal) {
        if (pages::StatusPopupShowing() && modal == pages::OpenStatusPopup()) {
            texts << QStringLiteral("popup:") + pages::StatusText();
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
            return;
        }
        texts << pages::MessageText();
        if (pages::MessageText() == "Do you want to reset to factory settings?") {
            ClickControl(modal, kOk);
        } else {
            Dismiss(modal);
        }
    });
    Button(c::kFactoryReset)->click();
    ASSERT_TRUE(PumpUntil([&] { return texts.size() >= 3; }));
    EXPECT_EQ(texts[0], "Do you want to reset to factory settings?");
    EXPECT_EQ(texts[1], "popup:Setting");
    EXPECT_EQ(texts[2], "Time out!");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], kResetBytes);
    EXPECT_EQ(sent[1], kResetBytes);
    EXPECT_FALSE(resentEarly);
    EXPECT_FALSE(pages::StatusPopupShowing());
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(ConnectionTest, NoLongerRemindThenCancelSkipsTheNextQuestion)
{
    Connect();
    int questions = 0;
    ModalWatcher watcher([&](QWidget* modal) {
        if (pages::StatusPopupShowing() && modal == pages::OpenStatusPopup()) {
            QTimer::singleShot(0, [] { pages::CloseStatus(); });
            return;
        }
        ++questions;
        ClickControl(modal, kNoLongerRemind);
        Dismiss(modal);
    });
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(LineQuiet()) << "Cancel sends nothing";
    Button(c::kFactoryReset)->click();
    EXPECT_EQ(ReadFrame(kResetFrameSize), kResetBytes);
    EXPECT_EQ(questions, 1) << "no second question";
    panel->KillTimer(timer::kResetResend);
}

}  // namespace velmora::test
