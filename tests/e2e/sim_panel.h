#pragma once
// The panel against the simulated switcher, over a pseudo-terminal or over
// TCP on a loopback address of its own, driven through the real widgets.
// Tests written on this fixture run once for each line.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "platform/combo_box.h"
#include "protocol/network_commands.h"
#include "res/main_ids.h"
#include "sim/simulator.h"
#include "tcp/tcp_fixture.h"
#include "transport/port_map.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

enum class Line { Pty, Tcp };

inline std::string LineName(const ::testing::TestParamInfo<Line>& info)
{
    return info.param == Line::Pty ? "OverPty" : "OverTcp";
}

class SimPanelTest : public ::testing::TestWithParam<Line> {
protected:
    static constexpr int kSimCom = 43;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        transport::PortMap::SetDirectory(dir.path().toStdString());
        sim::SimOptions options;
        options.portDir = dir.path().toStdString();
        options.comNumber = kSimCom;
        simulator = StartOnOwnLoopback(options, address);
        ASSERT_TRUE(simulator) << "no loopback address was free";
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        simulator.reset();
        transport::PortMap::SetDirectory("");
    }

    template <class T>
    T* Ctl(int id)
    {
        return panel->ControlAs<T>(id);
    }
    QAbstractButton* Button(int id) { return Ctl<QAbstractButton>(id); }
    bool Idle()
    {
        return PumpUntil([&] { return panel->Token().Ready(); }, 3s);
    }

    void Connect()
    {
        if (GetParam() == Line::Pty) {
            auto* ports = Ctl<platform::ComboBox>(ctl::main::kPortList);
            const int entry = ports->FindStringExact(QStringLiteral("COM%1").arg(kSimCom));
            ASSERT_GE(entry, 0);
            ports->SetCurSel(entry);
            Button(ctl::main::kComConnect)->click();
            ASSERT_TRUE(panel->Connection().ComOpen());
        } else {
            Button(ctl::main::kTcpMode)->click();
            Ctl<platform::ComboBox>(ctl::main::kSwitcherIp)->setEditText(address);
            Button(ctl::main::kTcpConnect)->click();
            ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
        }
        ASSERT_TRUE(Idle());
    }

    // Chooses a tab as a mouse press does, and waits until the page's status
    // has been asked for and answered.
    pages::PageWindow* OpenPage(int tabId)
    {
        const int frames = panel->ReceiveLogFrames();
        ClickChildOf(panel.get(), Ctl<QWidget>(tabId));
        EXPECT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() != frames; }, 3s)) << "status answered";
        return panel->Pages().Existing(panel->CurrentPage());
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<app::CVelmoraDlg> panel;
    QString address;
};

}  // namespace velmora::test
