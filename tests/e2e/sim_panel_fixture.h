#pragma once
// The panel against the simulated switcher, over a pseudo-terminal listed as
// one more COM port through a port map directory of its own, or over TCP on a
// loopback address of its own; driven through the real widgets.

#include "panel_fixture.h"
#include "sim/simulator.h"
#include "tcp/tcp_fixture.h"
#include "transport/port_map.h"

#include <QTemporaryDir>

namespace velmora::test {

inline constexpr int kSimCom = 42;

enum class Line { Pty, Tcp };

inline std::string LineName(const ::testing::TestParamInfo<Line>& info)
{
    return info.param == Line::Pty ? "OverPty" : "OverTcp";
}

class PanelWithSimulator : public ::testing::Test, protected PanelControls {
protected:
    void SetUp() override { StartWith({}); }
    void TearDown() override
    {
        panel.reset();
        simulator.reset();
        transport::PortMap::SetDirectory("");
    }

    // The switcher with these options (its lines and faults), then the panel.
    void StartWith(sim::SimOptions options, Line over = Line::Pty)
    {
        line = over;
        ASSERT_TRUE(dir.isValid());
        transport::PortMap::SetDirectory(dir.path().toStdString());
        options.portDir = dir.path().toStdString();
        options.comNumber = kSimCom;
        if (over == Line::Tcp) {
            simulator = StartOnOwnLoopback(options, address);
            ASSERT_TRUE(simulator) << "no loopback address was free";
        } else {
            options.tcp = false;
            simulator = std::make_unique<sim::Simulator>(options);
            ASSERT_TRUE(simulator->Start());
        }
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
    }

    bool Idle()
    {
        return PumpUntil([&] { return panel->Token().Ready(); }, 3s);
    }

    // Chooses the switcher's port, then Connect; over TCP, its address.
    void Connect()
    {
        if (line == Line::Tcp) {
            Button(c::kTcpMode)->click();
            List(c::kSwitcherIp)->setEditText(address);
            Button(c::kTcpConnect)->click();
            ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
            return;
        }
        const int entry = List(c::kPortList)->FindStringExact(QStringLiteral("COM%1").arg(kSimCom));
        ASSERT_GE(entry, 0) << "the switcher's port is listed";
        List(c::kPortList)->SetCurSel(entry);
        Button(c::kComConnect)->click();
        ASSERT_TRUE(panel->Connection().ComOpen());
    }

    // Chooses a tab as a mouse press does, and waits until the page's status has been asked for and answered.
    pages::PageWindow* OpenPage(int tabId)
    {
        const int frames = panel->ReceiveLogFrames();
        ClickChildOf(panel.get(), Ctl<QWidget>(tabId));
        EXPECT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() != frames; }, 3s)) << "status answered";
        return panel->Pages().Existing(panel->CurrentPage());
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::Simulator> simulator;
    QString address;
    Line line = Line::Pty;
};

// Tests written on this fixture run once for each line.
class SimPanelTest : public PanelWithSimulator, public ::testing::WithParamInterface<Line> {
protected:
    void SetUp() override { StartWith({}, GetParam()); }
    void ConnectIdle()
    {
        ASSERT_NO_FATAL_FAILURE(Connect());
        ASSERT_TRUE(Idle());
    }
};

}  // namespace velmora::test
