#pragma once
// The panel's start-up time, idle CPU and resident memory, in a fresh
// process: from before the process is made to the main window's first paint,
// then a few seconds with no line open (the port list refreshing itself).

#include "app/main_window.h"
#include "panel_driver.h"

#include <QApplication>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace velmora::bench {

inline constexpr char kStartupMode[] = "--startup-child";

inline long long MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

inline long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// Reports the first paint of the window it watches.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && at == 0) {
            at = MonotonicNs();
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
    long long at = 0;
};

// argv: kStartupMode, start time in ns, idle seconds.
inline int RunStartupChild(int argc, char** argv)
{
    if (argc < 4) {
        return 2;
    }
    const long long startNs = std::atoll(argv[2]);
    const int idleSeconds = std::atoi(argv[3]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app::CVelmoraDlg panel;
    FirstPaint paint;
    panel.installEventFilter(&paint);
    panel.show();
    QApplication::exec();
    const double startupMs = static_cast<double>(paint.at - startNs) / 1e6;

    const Usage before = Usage::OfProcess();
    const auto idleFrom = Clock::now();
    QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
    QApplication::exec();
    const Usage idle = Usage::OfProcess() - before;
    const double wallUs = std::chrono::duration<double, std::micro>(Clock::now() - idleFrom).count();
    std::printf(
        "start-up: %.1f ms to the first paint (offscreen); idle CPU %.3f %% over %d s (%ld switches); RSS %.1f MB\n",
        startupMs, 100.0 * idle.cpuUs / wallUs, idleSeconds, idle.switches, static_cast<double>(ResidentKb()) / 1024.0);
    return 0;
}

inline void MeasureStartup(const char* self, int idleSeconds)
{
    std::fflush(stdout);
    const std::string start = std::to_string(MonotonicNs());
    const std::string idle = std::to_string(idleSeconds);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(self, self, kStartupMode, start.c_str(), idle.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid > 0) {
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace velmora::bench
