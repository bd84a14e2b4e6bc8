#include "app/session.h"

#include "app/main_window.h"
#include "platform/combo_box.h"
#include "protocol/network_commands.h"
#include "res/main_ids.h"
#include "sim/simulator.h"
#include "transport/port_map.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>

namespace velmora::app {

namespace c = ctl::main;

namespace {

// The demo switcher answers on the switcher's own port; when another program
// has it on 127.0.0.1 the demo moves to the next loopback address.
constexpr int kLoopbackTries = 8;

}  // namespace

Session::Session(const Options& options)
{
    if (!options.portDir.isEmpty()) {
        transport::PortMap::SetDirectory(options.portDir.toStdString());
    }
    if (options.demo && !StartDemo(options)) {
        std::fprintf(stderr, "velmora: the simulated switcher could not be started\n");
    }
    window_ = std::make_unique<CVelmoraDlg>();
    if (simulator_) {
        OfferDemo();
    }
}

Session::~Session()
{
    window_.reset();
    simulator_.reset();
}

bool Session::StartDemo(const Options& options)
{
    std::string dir = options.portDir.toStdString();
    if (dir.empty()) {
        if (!portDir_.isValid()) {
            return false;
        }
        dir = portDir_.path().toStdString();
    }
    transport::PortMap::SetDirectory(dir);
    for (int i = 1; i <= kLoopbackTries; ++i) {
        sim::SimOptions sim;
        sim.portDir = dir;
        sim.comNumber = kDemoComNumber;
        sim.tcpBind = "127.0.0." + std::to_string(i);
        sim.tcpPort = protocol::kSwitcherTcpPort;
        auto simulator = std::make_unique<sim::Simulator>(sim);
        if (simulator->Start()) {
            simulator_ = std::move(simulator);
            demoAddress_ = QString::fromStdString(sim.tcpBind);
            return true;
        }
    }
    return false;
}

void Session::OfferDemo()
{
    auto* ports = window_->ControlAs<platform::ComboBox>(c::kPortList);
    const int entry = ports->FindStringExact(QStringLiteral("COM%1").arg(kDemoComNumber));
    if (entry >= 0) {
        ports->SetCurSel(entry);
    }
    auto* addresses = window_->ControlAs<platform::ComboBox>(c::kSwitcherIp);
    addresses->SetCurSel(addresses->AddString(demoAddress_));
}

int Session::Run()
{
    window_->show();
    if (const QScreen* screen = window_->screen()) {
        window_->move(screen->availableGeometry().center() - window_->rect().center());
    }
    return QApplication::exec();
}

}  // namespace velmora::app
