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

// The demo switcher answers on the switcher's own ports at an address of its
// own on loopback, from 127.0.0.2 on (the next one when another program has
// them there). Not 127.0.0.1: the panel's datagrams to loopback come from
// there, and the switcher's answers must reach the panel, not itself.
constexpr int kFirstLoopbackHost = 2;
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
    for (int host = kFirstLoopbackHost; host < kFirstLoopbackHost + kLoopbackTries; ++host) {
        sim::SimOptions sim;
        sim.portDir = dir;
        sim.comNumber = kDemoComNumber;
        sim.tcpBind = "127.0.0." + std::to_string(host);
        sim.tcpPort = protocol::kSwitcherTcpPort;
        // Search and Config... reach it only by the panel's direct probe:
        // it hears no broadcast, so it never answers a real LAN.
        sim.udp = true;
        sim.udpBroadcast = false;
        sim.udpBind = sim.tcpBind;
        auto simulator = std::make_unique<sim::Simulator>(sim);
        if (simulator->Start()) {
            // Found under the address it is served on.
            simulator->Modify([host](sim::DeviceState& state) {
                state.ip = {127, 0, 0, static_cast<std::uint8_t>(host)};
            });
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
    if (const auto address = transport::ParseSwitcherAddress(demoAddress_)) {
        window_->Search().AddDirectTarget(*address);
    }
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
