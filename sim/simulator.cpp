#include "sim/simulator.h"

#include "sim/pty_line.h"
#include "sim/tcp_line.h"
#include "sim/udp_responder.h"

namespace velmora::sim {

Simulator::Simulator(SimOptions options) : options_(std::move(options)), faults_(options_)
{
    device_.SetDropMixerOverVolume(options_.dropMixerOverVolume);
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start()
{
    if (running_) {
        return true;
    }
    if (options_.pty) {
        pty_ = std::make_unique<PtyLine>(options_, device_, faults_);
        if (!pty_->Open()) {
            Stop();
            return false;
        }
    }
    if (options_.tcp) {
        tcp_ = std::make_unique<TcpLine>(options_, device_, faults_);
        if (!tcp_->Listen()) {
            Stop();
            return false;
        }
    }
    if (options_.udp) {
        udp_ = std::make_unique<UdpResponder>(options_, device_);
        if (!udp_->Bind()) {
            Stop();
            return false;
        }
    }
    if (pty_) {
        pty_->Start();
    }
    if (tcp_) {
        tcp_->Start();
    }
    if (udp_) {
        udp_->Start();
    }
    running_ = true;
    return true;
}

void Simulator::Stop()
{
    if (pty_) {
        pty_->Stop();
    }
    if (tcp_) {
        tcp_->Stop();
    }
    if (udp_) {
        udp_->Stop();
    }
    running_ = false;
}

std::string Simulator::PtyPath() const { return pty_ ? pty_->SlavePath() : std::string(); }
std::string Simulator::LinkPath() const { return pty_ ? pty_->LinkPath() : std::string(); }
int Simulator::TcpPort() const { return tcp_ ? tcp_->Port() : 0; }
int Simulator::SearchPort() const { return udp_ ? udp_->SearchPort() : 0; }
int Simulator::ConfigPort() const { return udp_ ? udp_->ConfigPort() : 0; }
DeviceModel::State Simulator::Snapshot() const { return device_.Snapshot(); }
void Simulator::Modify(const std::function<void(DeviceState&)>& change) { device_.Modify(change); }
long Simulator::PtyResets() const { return pty_ ? pty_->Resets() : 0; }
long Simulator::PtyAnswersWritten() const { return pty_ ? pty_->AnswersWritten() : 0; }
bool Simulator::PtyHungUp() const { return pty_ && pty_->HungUp(); }
unsigned Simulator::PtyBaud() const { return pty_ ? pty_->Baud() : 0; }
long Simulator::TcpConnections() const { return tcp_ ? tcp_->Connections() : 0; }
long Simulator::Configurations() const { return udp_ ? udp_->Configurations() : 0; }

}  // namespace velmora::sim
