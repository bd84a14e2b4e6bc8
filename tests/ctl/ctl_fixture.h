#pragma once
// velmoractl against the simulated switcher, on a pseudo-terminal linked
// into a port map directory as COM9 and on a free TCP port of loopback.

#include "ctl_run.h"
#include "sim/simulator.h"

#include <QTemporaryDir>

#include <memory>

namespace velmora::test {

inline constexpr int kSimCom = 9;

class CtlWithSimulator : public ::testing::Test {
protected:
    void StartSwitcher(int dropEvery = 0, int corruptEvery = 0)
    {
        ASSERT_TRUE(portDir.isValid());
        sim::SimOptions options;
        options.dropEvery = dropEvery;
        options.corruptEvery = corruptEvery;
        options.portDir = portDir.path().toStdString();
        options.comNumber = kSimCom;
        options.tcpPort = 0;
        switcher.reset();  // its port map link goes with it
        switcher = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(switcher->Start());
    }
    void SetUp() override { StartSwitcher(); }

    QStringList OverPty() const
    {
        return {"--port-dir", portDir.path(), "--port", QStringLiteral("COM%1").arg(kSimCom)};
    }
    QStringList OverTcp() const { return {"--host", QStringLiteral("127.0.0.1:%1").arg(switcher->TcpPort())}; }
    ProgramRun Ctl(const QStringList& where, const QStringList& words) { return RunCtl(where + words); }
    sim::DeviceState State() const { return switcher->Snapshot(); }

    QTemporaryDir portDir;
    std::unique_ptr<sim::Simulator> switcher;
};

}  // namespace velmora::test
