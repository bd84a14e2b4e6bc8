// The panel against the simulated switcher over a pseudo-terminal, driven
// through the real widgets as an operator would.

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "platform/combo_box.h"
#include "platform/timers.h"
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

namespace {

constexpr int kSimCom = 42;

}  // namespace

class PanelWithSimulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        transport::PortMap::SetDirectory(dir.path().toStdString());
        sim::SimOptions options;
        options.portDir = dir.path().toStdString();
        options.comNumber = kSimCom;
        options.tcp = false;
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->Start());
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        simulator.reset();
        transport::PortMap::SetDirectory("");
    }

    platform::ComboBox* List(int id) { return panel->ControlAs<platform::ComboBox>(id); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    bool Idle() { return PumpUntil([&] { return panel->Token().Ready(); }, 3s); }

    void Connect()
    {
        const int entry = List(c::kPortList)->FindStringExact(QStringLiteral("COM%1").arg(kSimCom));
        ASSERT_GE(entry, 0);
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

TEST_F(PanelWithSimulator, ConnectFillsTheGeneralPageFromTheSwitcher)
{
    Connect();
    // Factory state: HDMI 1, auto switch off, AUTO resolution, 16:9, EDID AUTO, pass-through.
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi1)->isChecked(); }, 3s));
    EXPECT_EQ(List(c::kAutoSwitchList)->currentText(), "OFF");
    EXPECT_EQ(List(c::kResolutionList)->currentText(), "AUTO");
    EXPECT_EQ(List(c::kAspectList)->currentText(), "16:9  ");
    EXPECT_EQ(List(c::kEdidList)->currentText(), "EDID AUTO");
    EXPECT_EQ(List(c::kHdcpList)->currentText(), "Pass Through");
}

TEST_F(PanelWithSimulator, InputChangesAndListsReachTheSwitcher)
{
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Button(c::kHdmi1)->isChecked(); }, 3s));
    Button(c::kVga)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 5 && panel->Token().Ready(); }, 3s));
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tExt 1 \t"; }, 3s));
    EXPECT_TRUE(Button(c::kVga)->isChecked());

    Choose(c::kResolutionList, 2);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().resolution == 3; }, 3s));
    Choose(c::kEdidList, 0);
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().edid == 1; }, 3s));
    Choose(c::kAudioList, 2);  // "Ext 3" while VGA is the input
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().audioSource[4] == 3; }, 3s));

    Button(c::kDp)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 4 && panel->Token().Ready(); }, 3s));
    ASSERT_TRUE(PumpUntil([&] { return List(c::kAudioList)->GetLBText(0) == "\tEmb \t"; }, 3s));
    EXPECT_TRUE(Button(c::kDp)->isChecked());
}

TEST_F(PanelWithSimulator, DisconnectThenConnectReopensTheSamePort)
{
    Connect();
    ASSERT_TRUE(Idle());
    Button(c::kComConnect)->click();
    EXPECT_FALSE(panel->Connection().ComOpen());
    Connect();
    Button(c::kHdmi2)->click();
    ASSERT_TRUE(PumpUntil([&] { return simulator->Snapshot().input == 2; }, 3s));
}

}  // namespace velmora::test
