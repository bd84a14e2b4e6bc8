#pragma once
// The simulated switcher with its lines: the in-process interface used by
// the demo and the end-to-end tests.

#include "sim/device_model.h"
#include "sim/reply_faults.h"
#include "sim/shared_device.h"
#include "sim/sim_options.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora::sim {

class PtyLine;
class TcpLine;
class UdpResponder;

class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();  // stops
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool Start();  // false with a message on stderr if a line cannot be set up
    void Stop();  // joins threads, closes everything, removes the link it made

    std::string PtyPath() const;  // slave device path; empty without a pty
    std::string LinkPath() const;  // portDir/com<N>, when made
    int TcpPort() const;  // actual bound port; 0 without TCP
    int SearchPort() const;  // actual UDP ports; 0 without UDP
    int ConfigPort() const;

    // The device's settings, copied under its lock; Modify changes them.
    DeviceModel::State Snapshot() const;
    void Modify(const std::function<void(DeviceState&)>& change);

    long PtyResets() const;  // 13-byte resets seen on the pty
    long PtyAnswersWritten() const;  // answers whose last byte has gone out on the pty
    bool PtyHungUp() const;  // the hang-up fault has closed the pty
    unsigned PtyBaud() const;  // the speed the pty is paced at now
    long TcpConnections() const;  // connections accepted so far
    long Configurations() const;  // configuration packets applied

private:
    SimOptions options_;
    SharedDevice device_;
    ReplyFaults faults_;
    std::unique_ptr<PtyLine> pty_;
    std::unique_ptr<TcpLine> tcp_;
    std::unique_ptr<UdpResponder> udp_;
    bool running_ = false;
};

}  // namespace velmora::sim
