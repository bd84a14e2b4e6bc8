#pragma once
// The network side: a TCP listener that serves one panel at a time; a new
// connection replaces the old one.

#include "sim/command_session.h"
#include "sim/sim_options.h"
#include "sim/stop_signal.h"

#include <atomic>
#include <thread>

namespace velmora::sim {

class TcpLine {
public:
    TcpLine(const SimOptions& options, SharedDevice& device, ReplyFaults& faults);
    ~TcpLine();
    TcpLine(const TcpLine&) = delete;
    TcpLine& operator=(const TcpLine&) = delete;

    bool Listen();  // false with a message on stderr
    void Start();
    void Stop();
    int Port() const { return port_; }
    long Connections() const { return connections_; }

private:
    void Run();
    void Accept();
    void CloseClient();
    void Send(const std::vector<Chunk>& chunks);
    void Write(std::span<const std::uint8_t> bytes);
    void FlushHeld();
    void CloseWhenDue();
    bool SendAll(std::span<const std::uint8_t> bytes);

    SimOptions options_;
    CommandSession session_;
    StopSignal stop_;
    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
    std::vector<std::uint8_t> held_;  // an answer waiting for the next one
    CommandSession::Clock::time_point heldUntil_{};
    std::thread thread_;
    std::atomic<long> connections_{0};
};

}  // namespace velmora::sim
