#pragma once
// The serial side: a pseudo-terminal whose slave the panel opens as its port.

#include "sim/command_session.h"
#include "sim/line_pacer.h"
#include "sim/sim_options.h"
#include "sim/stop_signal.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace velmora::sim {

class PtyLine {
public:
    PtyLine(const SimOptions& options, SharedDevice& device, ReplyFaults& faults);
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    bool Open();  // false with a message on stderr
    void Start();  // the line's thread
    void Stop();  // joins, closes, removes the link it made
    std::string SlavePath() const { return slavePath_; }
    std::string LinkPath() const { return linkPath_; }
    long Resets() const { return resets_; }
    long AnswersWritten() const { return answersWritten_; }
    bool HungUp() const { return hungUp_; }
    unsigned Baud() const { return baud_; }

private:
    void Run();
    void Send(const std::vector<Chunk>& chunks);
    void FollowDeviceBaud();
    void WaitForPanelToDrain();
    void HangUp();

    SimOptions options_;
    SharedDevice& device_;
    CommandSession session_;
    LinePacer pacer_;
    StopSignal stop_;
    int master_ = -1;
    int keptSlave_ = -1;  // keeps the line up while the panel has it closed
    std::string slavePath_;
    std::string linkPath_;
    std::thread thread_;
    std::atomic<long> resets_{0};
    std::atomic<long> answersWritten_{0};  // whole, noise included
    std::atomic<bool> hungUp_{false};
    std::atomic<unsigned> baud_;
    std::uint8_t deviceBaud_ = 0;  // the device's baud setting the pacing last followed
    std::chrono::steady_clock::time_point inboundDone_{};  // when the bytes read so far would have arrived
};

}  // namespace velmora::sim
