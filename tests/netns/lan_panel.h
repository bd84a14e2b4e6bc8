#pragma once
// The panel in TCP control inside the test's private network, with helpers
// to put simulated switchers and scripted answerers on a LAN.

#include "lan.h"
#include "search_responder.h"

#include "app/main_window.h"
#include "gui_helpers.h"
#include "pages/message_box.h"
#include "pages/progress_popup.h"
#include "panel_logs.h"
#include "platform/combo_box.h"
#include "platform/timers.h"
#include "res/main_ids.h"
#include "sim/simulator.h"

#include <QAbstractButton>
#include <QPlainTextEdit>

#include <memory>

namespace velmora::test {

namespace c = ctl::main;
using namespace std::chrono_literals;
using Ipv4 = std::array<std::uint8_t, 4>;

inline std::string Dotted(const Ipv4& ip)
{
    return std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
           std::to_string(ip[3]);
}

class LanPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VELMORA_NEEDS_PRIVATE_NETWORK();
        platform::TimerScheduler::Instance().UseManualClock(true);
        lan = std::make_unique<Lan>("10.0.0.1/24", std::vector<std::string>{"10.0.0.20/24", "10.0.0.3/24"});
        VELMORA_NEEDS_LAN(*lan);
        panel = std::make_unique<app::CVelmoraDlg>();
        panel->show();
        Button(c::kTcpMode)->click();
    }
    void TearDown() override
    {
        panel.reset();
        switchers.clear();
        responders.clear();
        otherLan.reset();
        lan.reset();
        platform::TimerScheduler::Instance().UseManualClock(false);
    }

    // A simulated switcher on `where`, listening for TCP on ip (unless it
    // shares the address with one that does) and answering the search and
    // configuration broadcasts, as it does by default.
    sim::Simulator* StartSwitcher(Lan& where, const Ipv4& ip, std::uint8_t macLast, bool listenTcp = true)
    {
        sim::SimOptions options;
        options.pty = false;
        options.tcp = listenTcp;
        options.tcpBind = Dotted(ip);
        options.tcpPort = protocol::kSwitcherTcpPort;
        options.udp = true;
        auto simulator = where.Run([&] {
            auto s = std::make_unique<sim::Simulator>(options);
            return s->Start() ? std::move(s) : nullptr;
        });
        if (!simulator) {
            ADD_FAILURE() << "the switcher at " << Dotted(ip) << " did not start";
            return nullptr;
        }
        simulator->Modify([&](sim::DeviceState& s) {
            s.ip = ip;
            s.mac = {0x02, 0x00, 0x5E, 0x10, 0x00, macLast};
        });
        switchers.push_back(std::move(simulator));
        return switchers.back().get();
    }
    SearchResponder& StartResponder(std::vector<Bytes> answers)
    {
        responders.push_back(std::make_unique<SearchResponder>(*lan, std::move(answers)));
        EXPECT_TRUE(responders.back()->Ok());
        return *responders.back();
    }

    platform::ComboBox* Addresses() { return panel->ControlAs<platform::ComboBox>(c::kSwitcherIp); }
    QAbstractButton* Button(int id) { return panel->ControlAs<QAbstractButton>(id); }
    QString ReceiveLog() { return LogText(*panel, c::kReceiveLog); }
    QStringList Listed()
    {
        QStringList entries;
        for (int i = 0; i < Addresses()->GetCount(); ++i) {
            entries << Addresses()->GetLBText(i);
        }
        return entries;
    }
    bool ListedCount(int count)
    {
        return PumpUntil([&] { return Addresses()->GetCount() == count; }, 3s);
    }
    // The hardware address of each entry, in list order.
    std::vector<protocol::MacAddress> ListedMacs()
    {
        std::vector<protocol::MacAddress> macs;
        const int selected = Addresses()->GetCurSel();
        for (int i = 0; i < Addresses()->GetCount(); ++i) {
            Addresses()->SetCurSel(i);
            macs.push_back(panel->Search().SelectedMac().value_or(protocol::MacAddress{}));
        }
        Addresses()->SetCurSel(selected);
        return macs;
    }
    static void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }

    std::unique_ptr<Lan> lan;
    std::unique_ptr<Lan> otherLan;
    std::unique_ptr<app::CVelmoraDlg> panel;
    std::vector<std::unique_ptr<sim::Simulator>> switchers;
    std::vector<std::unique_ptr<SearchResponder>> responders;
};

}  // namespace velmora::test
