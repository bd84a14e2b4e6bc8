#pragma once
// Drives the real main window for the exchange benchmark: connects it as an
// operator would, clicks the input buttons one chain after the other and
// counts the frames it takes in. Nothing here polls: the next step is taken
// when the event loop is about to wait, once the panel has done its part.

#include "app/main_window.h"
#include "exchange_responder.h"
#include "platform/combo_box.h"
#include "res/main_ids.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/resource.h>

#include <functional>
#include <memory>

namespace velmora::bench {

namespace c = ctl::main;

// CPU time (user and system) and context switches.
struct Usage {
    double cpuUs = 0;
    long switches = 0;

    static Usage Of(int who)
    {
        rusage u{};
        ::getrusage(who, &u);
        const auto us = [](timeval t) { return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec); };
        return {us(u.ru_utime) + us(u.ru_stime), u.ru_nvcsw + u.ru_nivcsw};
    }
    static Usage OfProcess() { return Of(RUSAGE_SELF); }
    static Usage OfThread() { return Of(RUSAGE_THREAD); }
    Usage operator-(const Usage& o) const { return {cpuUs - o.cpuUs, switches - o.switches}; }
};

struct FloodFigures {
    std::uint64_t taken = 0;
    double framesPerSecond = 0;
    double cpuPerFrameUs = 0;
    double switchesPerFrame = 0;
    double firstThousandUs = 0;
    double lastThousandUs = 0;
};

class PanelDriver {
public:
    static constexpr int kPhaseLimitMs = 120000;
    static constexpr int kIdleCheckMs = 100;
    // A flood has ended once the far end is done and nothing came for this long.
    static constexpr int kFloodQuietMs = 300;
    static constexpr std::uint64_t kMark = 1000;

    PanelDriver() : panel_(std::make_unique<app::CVelmoraDlg>())
    {
        panel_->show();
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [this] {
            if (onIdle_)
                onIdle_();
        });
    }

    bool ConnectSerial(int com)
    {
        auto* ports = panel_->ControlAs<platform::ComboBox>(c::kPortList);
        const int entry = ports->FindStringExact(QStringLiteral("COM%1").arg(com));
        if (entry < 0) {
            return false;
        }
        ports->SetCurSel(entry);
        const std::uint64_t before = panel_->Dispatcher().Dispatched();
        Button(c::kComConnect)->click();
        return panel_->Connection().ComOpen() && StatusAnswered(before);
    }

    void DisconnectSerial()
    {
        Button(c::kComConnect)->click();
        RunUntil([&] { return !panel_->Connection().ComOpen(); }, kLineWaitMs);
    }

    bool ConnectTcp(const QString& address)
    {
        Button(c::kTcpMode)->click();
        panel_->ControlAs<platform::ComboBox>(c::kSwitcherIp)->setEditText(address);
        Button(c::kTcpConnect)->click();
        // No status is asked for on a TCP connection.
        return RunUntil([&] { return panel_->Tcp().TcpConnected() && panel_->Token().Ready(); }, kLineWaitMs);
    }

    void Close() { panel_.reset(); }

    // The input-change chain 'chains' times, by clicks on DP and HDMI 1 in
    // turn; what the panel's process spent on it.
    Usage RunChains(int chains)
    {
        auto& dispatcher = panel_->Dispatcher();
        std::uint64_t expected = dispatcher.Dispatched();
        int started = 0;
        const Usage start = Usage::OfProcess();
        RunUntil(
            [&] {
                if (dispatcher.Dispatched() < expected || !panel_->Token().Ready()) {
                    return false;
                }
                if (started == chains) {
                    return true;
                }
                const int id = started++ % 2 == 0 ? c::kDp : c::kHdmi1;
                expected += 3;
                QMetaObject::invokeMethod(
                    panel_.get(), [this, id] { Button(id)->click(); }, Qt::QueuedConnection);
                return false;
            },
            kPhaseLimitMs);
        return Usage::OfProcess() - start;
    }

    // Takes a flood of 'frames' frames from the far end, which reports the
    // end of its writing on 'results'.
    FloodFigures TakeFlood(int results, std::uint32_t frames);

private:
    QAbstractButton* Button(int id) { return panel_->ControlAs<QAbstractButton>(id); }

    // The status the panel asks for on a serial Connect has come, and
    // nothing waits.
    bool StatusAnswered(std::uint64_t dispatchedBefore)
    {
        return RunUntil([&] { return panel_->Dispatcher().Dispatched() > dispatchedBefore && panel_->Token().Ready(); },
                        kLineWaitMs);
    }

    // Runs the event loop until 'done' holds, asked each time the loop is
    // about to wait and at least every kIdleCheckMs.
    bool RunUntil(const std::function<bool()>& done, int limitMs)
    {
        if (done()) {
            return true;
        }
        QEventLoop loop;
        bool reached = false;
        onIdle_ = [&] {
            if (!reached && done()) {
                reached = true;
                loop.quit();
            }
        };
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] { onIdle_(); });
        check.start(kIdleCheckMs);
        QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
        loop.exec();
        onIdle_ = nullptr;
        return reached;
    }

    std::unique_ptr<app::CVelmoraDlg> panel_;
    std::function<void()> onIdle_;
};

inline FloodFigures PanelDriver::TakeFlood(int results, std::uint32_t frames)
{
    struct Mark {
        std::uint64_t count;
        Usage usage;
    };
    const std::uint64_t base = panel_->Dispatcher().Dispatched();
    std::vector<Mark> marks{{0, Usage::OfProcess()}};
    const auto start = Clock::now();
    auto lastChange = start;
    std::uint64_t seen = 0;
    bool farDone = false;
    QSocketNotifier notifier(results, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char done = 0;
        farDone = ::read(results, &done, 1) == 1 || farDone;
        notifier.setEnabled(false);
    });
    RunUntil(
        [&] {
            const std::uint64_t count = panel_->Dispatcher().Dispatched() - base;
            const auto now = Clock::now();
            if (count != seen) {
                seen = count;
                lastChange = now;
                if (count / kMark > marks.back().count / kMark) {
                    marks.push_back({count, Usage::OfProcess()});
                }
            }
            return count >= frames || (farDone && now - lastChange > std::chrono::milliseconds(kFloodQuietMs));
        },
        kPhaseLimitMs);
    if (!farDone) {  // the far end's report is still to be read
        char done = 0;
        ReadAll(results, reinterpret_cast<std::uint8_t*>(&done), 1);
    }
    const Usage used = Usage::OfProcess() - marks.front().usage;
    if (marks.back().count != seen) {
        marks.push_back({seen, Usage::OfProcess()});
    }
    FloodFigures f;
    f.taken = seen;
    const double seconds = std::chrono::duration<double>(lastChange - start).count();
    f.framesPerSecond = seconds > 0 ? static_cast<double>(seen) / seconds : 0;
    f.cpuPerFrameUs = seen ? used.cpuUs / static_cast<double>(seen) : 0;
    f.switchesPerFrame = seen ? static_cast<double>(used.switches) / static_cast<double>(seen) : 0;
    const auto cost = [&](std::size_t from, std::size_t to) {
        const auto n = static_cast<double>(marks[to].count - marks[from].count);
        return n > 0 ? (marks[to].usage.cpuUs - marks[from].usage.cpuUs) / n : 0;
    };
    if (marks.size() >= 2) {
        f.firstThousandUs = cost(0, 1);
        // The last whole thousand: between the last two marks at thousands.
        std::size_t last = marks.size() - 1;
        if (marks[last].count % kMark != 0 && last >= 2 && marks[last].count - marks[last - 1].count < kMark) {
            --last;
        }
        f.lastThousandUs = cost(last - 1, last);
    }
    return f;
}

}  // namespace velmora::bench
