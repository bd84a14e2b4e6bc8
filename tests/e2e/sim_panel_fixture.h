#pragma once
// The panel against the simulated switcher over a pseudo-terminal, listed
// as one more COM port through a port map directory of its own.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "platform/combo_box.h"
#include "res/main_ids.h"
#include "sim/simulator.h"
#include "transport/port_map.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;

inline constexpr int kSimCom = 42;

class PanelWithSimulator : public ::testing::Test {
protected:
    void SetUp() override { StartWith({}); }
    void TearDown() override
    {
        panel.reset();
        simulator.reset();
        transport::PortMap::SetDirectory("");
    }

    // The switcher with these options (its lines and faults), then the panel.
    void StartWith(sim::SimOptions options)
    {
        ASSERT_TRUE(dir.isValid());
        transport::PortMap::SetDirectory(dir.path().toStdString());
        options.portDir = dir.path().toStdString();
        options.comNumber = kSimCom;
        options.tcp = false;
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->Start());
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
    }

    platform::ComboBox* List(int id) { return panel->ControlAs<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    bool Idle()
    {
        return PumpUntil([&] { return panel->Token().Ready(); }, 3s);
    }

    // Chooses the switcher's port, then Connect.
    void Connect()
    {
        const int entry = List(c::kPortList)->FindStringExact(QStringLiteral("COM%1").arg(kSimCom));
        ASSERT_GE(entry, 0) << "the switcher's port is listed";
        List(c::kPortList)->SetCurSel(entry);
        Button(c::kComConnect)->click();
        ASSERT_TRUE(panel->Connection().ComOpen());
    }

    void Choose(int listId, int position)
    {
        List(listId)->SetCurSel(position);
        emit List(listId)->activated(position);
    }

    QTemporaryDir dir;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<app::CVelmoraDlg> panel;
};

}  // namespace velmora::test
