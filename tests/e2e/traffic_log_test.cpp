// The traffic log window against the simulated switcher: opened by Ctrl+L, it
// shows traffic decoded in time order; pause, clear, copy and save; bounded; deaf while closed.

#include "sim_panel_fixture.h"

#include "app/connection_events.h"
#include "app/traffic_log.h"
#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "transport/async_socket.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

namespace velmora::test {
namespace {

class TrafficLog : public PanelWithSimulator {
protected:
    void SetUp() override
    {
        sim::SimOptions options;
        options.corruptEvery = 5;  // the fifth answer of the run has a wrong checksum
        StartWith(options);
    }

    QString Log() const { return panel->TrafficLog()->Text(); }
    bool Shows(const QString& text)
    {
        return PumpUntil([&] { return Log().contains(text); }, 3s);
    }
};

// Each line's time, in milliseconds of the day.
std::vector<int> Times(const QString& text)
{
    static const QRegularExpression time(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d\\d\\d)  "));
    std::vector<int> times;
    for (const QString& line : text.split('\n')) {
        const auto match = time.match(line);
        EXPECT_TRUE(match.hasMatch()) << line.toStdString();
        times.push_back(
            ((match.captured(1).toInt() * 60 + match.captured(2).toInt()) * 60 + match.captured(3).toInt()) * 1000 +
            match.captured(4).toInt());
    }
    return times;
}

TEST_F(TrafficLog, ConnectInputChangeAndWrongChecksumDecodedInTimeOrder)
{
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    QTest::keyClick(panel.get(), Qt::Key_L, Qt::ControlModifier);
    app::TrafficLogWindow* log = panel->TrafficLog();
    ASSERT_NE(log, nullptr) << "Ctrl+L opened no traffic log";
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->windowTitle(), "Traffic Log");

    Connect();
    EXPECT_TRUE(Shows(QStringLiteral("link  COM%1 opened at 115200").arg(kSimCom)));
    EXPECT_TRUE(Shows("send  50 56 54 27 01 00 00 00 00 00 00 00 00 00 00 00 00 22  query General status"));
    EXPECT_TRUE(Shows("status: General input HDMI 1, audio Emb, auto-switch OFF"));
    EXPECT_LT(Log().indexOf("opened at 115200"), Log().indexOf("query General status"));
    ASSERT_TRUE(Idle());

    Button(c::kDp)->click();
    EXPECT_TRUE(Shows("send  50 56 54 02 03 04 00 01 00 00 00 00 00 00 00 00 00 04  set input DP"));
    EXPECT_TRUE(Shows("recv  50 56 54 02 03 00 00 00 00 00 00 00 00 00 00 00 00 FF  input accepted"));
    EXPECT_TRUE(Shows("audio of DP: Emb"));
    ASSERT_TRUE(Idle());

    panel->ChooseTab(page::kVideo);  // its status answer is the fifth
    EXPECT_TRUE(Shows("query Video status"));
    EXPECT_TRUE(Shows("  checksum wrong"));

    const std::vector<int> times = Times(Log());
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end())) << Log().toStdString();
    EXPECT_LT(Log().indexOf("input accepted"), Log().indexOf("query Video status"));
}

TEST_F(TrafficLog, PauseClearCopyAndSave)
{
    app::TrafficLogWindow& log = panel->OpenTrafficLog();
    Connect();
    ASSERT_TRUE(Shows("status: General"));
    ASSERT_TRUE(Idle());

    log.SetPaused(true);
    const int lines = log.Lines();
    Button(c::kVga)->click();
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kVga)->isChecked(); }, 3s));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(log.Lines(), lines);
    log.SetPaused(false);
    EXPECT_TRUE(log.Text().endsWith(" entries passed over while paused")) << log.Text().toStdString();

    log.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), log.Text());

    const QString path = dir.filePath("traffic.txt");
    ASSERT_TRUE(log.SaveTo(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), log.Text() + '\n');
    QString error;
    EXPECT_FALSE(log.SaveTo(dir.filePath("no/such/dir/traffic.txt"), &error));
    EXPECT_FALSE(error.isEmpty());

    log.Clear();
    EXPECT_EQ(log.Lines(), 0);
}

TEST_F(TrafficLog, ClosedItHearsNothingAndOpenItStaysBounded)
{
    app::TrafficLogWindow& log = panel->OpenTrafficLog();
    log.close();
    Connect();
    EXPECT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() > 0; }, 3s)) << "the hidden receive log goes on";
    EXPECT_EQ(log.Lines(), 0);

    panel->OpenTrafficLog();
    const auto frame = protocol::MakeFrame(protocol::kGeneralStatus);
    for (int i = 0; i < app::kTrafficLogMaxLines + 100; ++i) {
        log.FrameReceived(frame);
    }
    EXPECT_EQ(log.Lines(), app::kTrafficLogMaxLines);
}

// What the connection's events read as, for the events a test cannot cause
// without a network.
TEST(ConnectionEvents, TcpEventsAndMissingPortsInWords)
{
    struct Recorder : protocol::TrafficObserver {
        void FrameSent(std::span<const std::uint8_t>) override {}
        void FrameReceived(std::span<const std::uint8_t>) override {}
        void DatagramReceived(protocol::DatagramKind, std::span<const std::uint8_t>) override {}
        void ConnectionEvent(std::string_view text) override { events.emplace_back(text); }
        std::vector<std::string> events;
    } recorder;
    app::ConnectionEvents events;
    events.TcpConnect(false, "10.0.0.5");  // unheard: no observer yet
    events.SetObserver(&recorder);
    events.ControlSocket(msg::kSocketConnect, ECONNREFUSED, false, false);
    events.TcpConnect(false, "10.0.0.5");
    events.ControlSocket(msg::kSocketConnect, 0, false, true);
    events.ControlSocket(msg::kSocketClose, 0, true, false);
    events.ComConnect(false, false, 200);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"10.0.0.5:8000 refused", "connecting to 10.0.0.5:8000",
                                                         "10.0.0.5:8000 connected", "connection closed by the switcher",
                                                         "COM200: no such port"}));
}

}  // namespace
}  // namespace velmora::test
