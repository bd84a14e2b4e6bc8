#pragma once
// Window timers by id. Real timers run on Qt's event loop; tests switch to a
// manual clock and advance it, so a three-second time-out takes no time.

#include <cstdint>
#include <memory>

namespace velmora::platform {

class Window;

class TimerScheduler {
public:
    static TimerScheduler& Instance();

    void Start(Window* window, int id, int periodMs);
    void Stop(Window* window, int id);
    bool Running(const Window* window, int id) const;
    void ForgetWindow(Window* window);

    // Manual clock, for tests.
    void UseManualClock(bool manual);
    bool ManualClock() const;
    // Moves the manual clock forward, firing every due timer in time order.
    void Advance(int ms);
    std::int64_t NowMs() const;

    struct Impl;

private:
    TimerScheduler();
    std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::platform
