#include "sim/stop_signal.h"

#include <fcntl.h>
#include <unistd.h>

namespace velmora::sim {

StopSignal::StopSignal()
{
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_[0] = pipe_[1] = -1;
    }
}

StopSignal::~StopSignal()
{
    for (int fd : pipe_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void StopSignal::Request()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    cv_.notify_all();
    if (pipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(pipe_[1], &byte, 1);
    }
}

void StopSignal::Rearm()
{
    std::lock_guard lock(mutex_);
    stop_ = false;
    char buffer[64];
    while (pipe_[0] >= 0 && ::read(pipe_[0], buffer, sizeof buffer) > 0) {}
}

bool StopSignal::Requested() const
{
    std::lock_guard lock(mutex_);
    return stop_;
}

bool StopSignal::SleepUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    return !cv_.wait_until(lock, deadline, [this] { return stop_; });
}

}  // namespace velmora::sim
