#pragma once
// The panel in TCP control, talking to the simulated switcher or a scripted
// server on a loopback address of its own, so that tests side by side never meet.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "panel_logs.h"
#include "platform/combo_box.h"
#include "res/main_ids.h"
#include "sim/simulator.h"
#include "tcp/scripted_server.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

// The simulated switcher on the switcher's port at a loopback address of its
// own, which `address` receives; null when no address was free.
inline std::unique_ptr<sim::Simulator> StartOnOwnLoopback(sim::SimOptions options, QString& address)
{
    options.tcpPort = protocol::kSwitcherTcpPort;
    for (int i = 0; i < kAddressTries; ++i) {
        options.tcpBind = RandomLoopbackAddress();
        auto candidate = std::make_unique<sim::Simulator>(options);
        if (candidate->Start()) {
            address = QString::fromStdString(options.tcpBind);
            return candidate;
        }
    }
    return nullptr;
}

class TcpPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
        Button(c::kTcpMode)->click();
    }

    void StartSimulator(sim::SimOptions options = {})
    {
        options.pty = false;
        simulator = StartOnOwnLoopback(options, simAddress);
        ASSERT_TRUE(simulator) << "no loopback address was free";
    }

    platform::ComboBox* List(int id) { return panel->ControlAs<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    QString ConnectText() { return Button(c::kTcpConnect)->text(); }
    QString SendLog() { return LogText(*panel, c::kSendLog); }
    QString ReceiveLog() { return LogText(*panel, c::kReceiveLog); }
    void Choose(int listId, int position)
    {
        List(listId)->SetCurSel(position);
        emit List(listId)->activated(position);
    }

    void ClickConnect(const QString& address)
    {
        List(c::kSwitcherIp)->setEditText(address);
        Button(c::kTcpConnect)->click();
    }
    void ConnectTo(const QString& address)
    {
        ClickConnect(address);
        ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    }
    // A scripted server the panel is connected to.
    void ConnectToServer()
    {
        ASSERT_TRUE(server.Ok());
        ClickConnect(server.Address());
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    }

    // Declared first, gone last: the panel closes its connection before them.
    ScriptedServer server;
    std::unique_ptr<sim::Simulator> simulator;
    QString simAddress;
    std::unique_ptr<app::CVelmoraDlg> panel;
};

}  // namespace velmora::test
