#pragma once
// One run of the panel: the port map, the main window and, for the demo, a
// simulated switcher on a pseudo-terminal and on TCP on loopback.

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
    // The demo switcher's TCP address, empty without the demo.
    QString DemoAddress() const { return demoAddress_; }

private:
    bool StartDemo(const Options& options);
    void OfferDemo();

    QTemporaryDir portDir_;
    std::unique_ptr<sim::Simulator> simulator_;
    std::unique_ptr<CVelmoraDlg> window_;
    QString demoAddress_;
};

}  // namespace velmora::app
