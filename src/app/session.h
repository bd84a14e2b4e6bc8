#pragma once
// One run of the panel: the port map, the main window and, for the demo, a
// simulated switcher on a pseudo-terminal and at an address of its own on
// loopback (TCP, search and configuration), which Search probes directly.

#include "app/options.h"

#include <QTemporaryDir>

#include <memory>

namespace velmora::sim {
class Simulator;
}

namespace velmora::app {

class CVelmoraDlg;

inline constexpr int kDemoComNumber = 99;

class Session {
public:
    explicit Session(const Options& options);
    ~Session();

    // Shows the window and runs until it is closed.
    int Run();
    CVelmoraDlg& Window() { return *window_; }
    // The demo switcher's address on loopback, empty without the demo.
    QString DemoAddress() const { return demoAddress_; }
    sim::Simulator* DemoSwitcher() { return simulator_.get(); }

private:
    bool StartDemo(const Options& options);
    void OfferDemo();

    QTemporaryDir portDir_;
    std::unique_ptr<sim::Simulator> simulator_;
    std::unique_ptr<CVelmoraDlg> window_;
    QString demoAddress_;
};

}  // namespace velmora::app
