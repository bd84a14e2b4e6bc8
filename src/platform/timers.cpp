#include "platform/timers.h"

#include "platform/window.h"

#include <QTimer>

#include <algorithm>
#include <map>
#include <utility>

namespace velmora::platform {

namespace {

struct Entry {
    int periodMs = 0;
    std::int64_t dueMs = 0;  // manual clock only
    std::unique_ptr<QTimer> timer;  // real clock only
};

using Key = std::pair<const Window*, int>;

}  // namespace

struct TimerScheduler::Impl {
    std::map<Key, Entry> entries;
    bool manual = false;
    std::int64_t nowMs = 0;
};

TimerScheduler& TimerScheduler::Instance()
{
    static TimerScheduler scheduler;
    return scheduler;
}

TimerScheduler::TimerScheduler() : impl_(std::make_unique<Impl>()) {}

void TimerScheduler::Start(Window* window, int id, int periodMs)
{
    Stop(window, id);
    Entry entry;
    entry.periodMs = std::max(periodMs, 1);
    entry.dueMs = impl_->nowMs + entry.periodMs;
    if (!impl_->manual) {
        entry.timer = std::make_unique<QTimer>();
        entry.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(entry.timer.get(), &QTimer::timeout, window, [window, id] { window->OnTimer(id); });
        entry.timer->start(entry.periodMs);
    }
    impl_->entries.emplace(Key{window, id}, std::move(entry));
}

void TimerScheduler::Stop(Window* window, int id)
{
    const auto it = impl_->entries.find(Key{window, id});
    if (it != impl_->entries.end()) {
        // The timer may be the one whose timeout is running right now: it is
        // stopped at once (no further expiry) and deleted once that is over.
        if (it->second.timer) {
            it->second.timer->stop();
            it->second.timer.release()->deleteLater();
        }
        impl_->entries.erase(it);
    }
}

bool TimerScheduler::Running(const Window* window, int id) const { return impl_->entries.count(Key{window, id}) != 0; }

void TimerScheduler::ForgetWindow(Window* window)
{
    for (auto it = impl_->entries.begin(); it != impl_->entries.end();) {
        if (it->first.first == window) {
            if (it->second.timer) {
                it->second.timer.release()->deleteLater();
            }
            it = impl_->entries.erase(it);
        } else {
            ++it;
        }
    }
}

void TimerScheduler::UseManualClock(bool manual) { impl_->manual = manual; }

bool TimerScheduler::ManualClock() const { return impl_->manual; }

void TimerScheduler::Advance(int ms)
{
    const std::int64_t target = impl_->nowMs + ms;
    for (;;) {
        auto next = impl_->entries.end();
        for (auto it = impl_->entries.begin(); it != impl_->entries.end(); ++it) {
            if (it->second.dueMs <= target && (next == impl_->entries.end() || it->second.dueMs < next->second.dueMs)) {
                next = it;
            }
        }
        if (next == impl_->entries.end()) {
            break;
        }
        impl_->nowMs = next->second.dueMs;
        next->second.dueMs += next->second.periodMs;
        auto* window = const_cast<Window*>(next->first.first);
        window->OnTimer(next->first.second);
    }
    impl_->nowMs = target;
}

std::int64_t TimerScheduler::NowMs() const { return impl_->nowMs; }

}  // namespace velmora::platform
