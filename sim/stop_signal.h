#pragma once
// A stop request that wakes sleeping threads and poll() loops alike.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora::sim {

class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Request();
    void Rearm();
    bool Requested() const;
    // Sleeps until `deadline`; false when stopped before.
    bool SleepUntil(std::chrono::steady_clock::time_point deadline);
    // Readable once a stop was requested: for poll().
    int Fd() const { return pipe_[0]; }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool stop_ = false;
    int pipe_[2] = {-1, -1};
};

}  // namespace velmora::sim
