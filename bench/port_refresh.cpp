// The cost of one refresh of the port list, which runs every 600 ms on the
// window thread: on this machine's sysfs and on fake trees of 8 and 32 ports,
// with and without the scan of every other process's open descriptors, and
// that scan alone among a crowd of processes as busy as a desktop's.

#include "app/port_list_refresh.h"
#include "platform/combo_box.h"
#include "transport/port_discovery.h"
#include "transport/port_holders.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace velmora;

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// `ports` listed ports: a quarter UARTs, the rest USB adapters and USB
// modems, among 32 legacy ttyS (the others reserved, no UART) and 30
// consoles. A few stale lock files in the lock dir.
class FakeTree {
public:
    explicit FakeTree(int ports)
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root_ = pattern;
        const fs::path sys = root_ / "sys";
        fs::create_directories(sys / "class" / "tty");
        fs::create_directories(root_ / "dev");
        fs::create_directories(root_ / "lock");
        fs::create_directories(root_ / "map");
        auto addTty = [&](const std::string& name, const fs::path& device, const std::string& driver) {
            fs::create_directories(sys / device);
            fs::create_directories(sys / "bus" / driver);
            fs::create_symlink(sys / "bus" / driver, sys / device / "driver");
            fs::create_directories(sys / "class" / "tty" / name);
            fs::create_symlink(sys / device, sys / "class" / "tty" / name / "device");
            Write(root_ / "dev" / name, "");
        };
        const int uarts = ports / 4;
        const int adapters = (ports - uarts + 1) / 2;
        const int modems = ports - uarts - adapters;
        for (int i = 0; i < 32; ++i) {
            const std::string name = "ttyS" + std::to_string(i);
            addTty(name, fs::path("platform/serial8250") / name, "serial8250");
            Write(sys / "class" / "tty" / name / "type", i < uarts ? "4\n" : "0\n");
        }
        for (int i = 0; i < adapters; ++i) {
            const fs::path usb = fs::path("pci0000:00/usb1") / ("1-" + std::to_string(i + 1));
            Write(sys / usb / "idVendor", "0403\n");
            Write(sys / usb / "manufacturer", "Acme\n");
            Write(sys / usb / "product", "USB-Serial Bridge\n");
            addTty("ttyUSB" + std::to_string(i), usb / "1-x:1.0" / ("ttyUSB" + std::to_string(i)), "acme_sio");
        }
        for (int i = 0; i < modems; ++i) {
            const fs::path modem = fs::path("pci0000:00/usb2") / ("2-" + std::to_string(i + 1));
            Write(sys / modem / "idVendor", "1d6b\n");
            Write(sys / modem / "product", "Modem\n");
            addTty("ttyACM" + std::to_string(i), modem / "2-x:1.0", "cdc_acm");
        }
        for (int i = 0; i < 4; ++i) {
            Write(root_ / "lock" / ("LCK..ttyUSB" + std::to_string(i)), "    999999\n");  // stale
        }
        for (int i = 0; i < 30; ++i) {
            fs::create_directories(sys / "class" / "tty" / ("tty" + std::to_string(i)));  // consoles
        }
    }
    ~FakeTree()
    {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    transport::DiscoveryRoots Roots(bool scanFds) const
    {
        transport::DiscoveryRoots roots;
        roots.sysfs = (root_ / "sys").string();
        roots.dev = (root_ / "dev").string();
        roots.lockDirs = {(root_ / "lock").string()};
        roots.portMapDir = (root_ / "map").string();
        roots.scanProcessFds = scanFds;
        return roots;
    }

private:
    fs::path root_;
};

transport::DiscoveryRoots RealRoots(bool scanFds)
{
    transport::DiscoveryRoots roots;
    roots.portMapDir = "";
    roots.scanProcessFds = scanFds;
    return roots;
}

void RunRefresh(benchmark::State& state, const transport::DiscoveryRoots& roots)
{
    platform::ComboBox list(false, false);
    app::PortListRefresh refresh(list, roots);
    refresh.Refresh();
    for (auto _ : state) {
        refresh.Refresh();
    }
    state.counters["ports"] = list.GetCount();
    if (!refresh.LastSucceeded()) {
        state.SkipWithError(refresh.LastError().c_str());
    }
}

// Other programs, as many and as busy as on a desktop: each holds pipes,
// sockets and files open while it sleeps, all of which a descriptor scan
// goes through. Made once, ended with the program.
class ProcessCrowd {
public:
    ProcessCrowd(int processes, int descriptorsEach)
    {
        for (int i = 0; i < processes; ++i) {
            int ready[2];
            if (::pipe2(ready, O_CLOEXEC) != 0) {
                break;
            }
            const pid_t pid = ::fork();
            if (pid == 0) {
                Fill(descriptorsEach);
                ::execlp("sleep", "sleep", "600", static_cast<char*>(nullptr));
                ::_exit(1);
            }
            ::close(ready[1]);
            char byte;
            while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {}
            ::close(ready[0]);
            if (pid > 0) {
                children_.push_back(pid);
            }
        }
    }
    ~ProcessCrowd()
    {
        for (const pid_t pid : children_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

private:
    static void Fill(int count)
    {
        for (int opened = 0; opened < count;) {
            int pair[2];
            if (opened % 3 == 0 && ::pipe(pair) == 0) {
                opened += 2;
            } else if (opened % 3 == 1 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
                opened += 2;
            } else if (::open("/dev/null", O_RDONLY) >= 0) {
                opened += 1;
            } else {
                return;
            }
        }
    }

    std::vector<pid_t> children_;
};

constexpr int kCrowdProcesses = 300;
constexpr int kCrowdDescriptors = 40;

void EnsureCrowd() { static ProcessCrowd crowd(kCrowdProcesses, kCrowdDescriptors); }

void BM_RefreshRealSysfs(benchmark::State& state) { RunRefresh(state, RealRoots(false)); }
void BM_RefreshRealSysfsWithFdScan(benchmark::State& state) { RunRefresh(state, RealRoots(true)); }

// How a refresh looks at other programs' descriptors.
enum ScanMode { kNoScan = 0, kWatchedScan = 1, kScanEveryTime = 2 };

// Arguments: listed ports, ScanMode, among the crowd (0 or 1). A watched scan
// in steady state costs what a refresh costs while no port is opened or
// closed; a scan every time, what it costs right after one was.
void BM_RefreshFakeTree(benchmark::State& state)
{
    if (state.range(2) != 0) {
        EnsureCrowd();
    }
    FakeTree tree(static_cast<int>(state.range(0)));
    const auto mode = static_cast<ScanMode>(state.range(1));
    const transport::DiscoveryRoots roots = tree.Roots(mode != kNoScan);
    if (mode == kScanEveryTime) {
        platform::ComboBox list(false, false);
        app::PortListRefresh refresh(list, [&](std::vector<transport::SSerInfo>& ports) {
            transport::EnumerateSerialPorts(ports, true, roots);
        });
        for (auto _ : state) {
            refresh.Refresh();
        }
        state.counters["ports"] = list.GetCount();
        return;
    }
    RunRefresh(state, roots);
}

// The descriptor scan alone, with what it went through.
void BM_DescriptorScan(benchmark::State& state)
{
    if (state.range(0) != 0) {
        EnsureCrowd();
    }
    // A port nobody else has open: a fresh pseudo-terminal's slave.
    int master = -1;
    int slave = -1;
    struct stat port {};
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 || ::fstat(slave, &port) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    transport::HeldDevices held;
    for (auto _ : state) {
        held = transport::ScanOpenDescriptors("/proc", {port});
        benchmark::DoNotOptimize(held);
    }
    state.counters["processes"] = held.processes;
    state.counters["descriptors"] = held.descriptors;
    ::close(slave);
    ::close(master);
}

// The list itself when every refresh finds a change: 40 ports, one of them
// coming and going, the selection kept.
void BM_RebuildList40(benchmark::State& state)
{
    std::vector<transport::SSerInfo> full;
    for (int i = 1; i <= 40; ++i) {
        transport::SSerInfo info;
        info.devicePath = "/dev/ttyX" + std::to_string(i);
        info.friendlyName = "Serial Port (COM" + std::to_string(i) + ")";
        info.description = "serial8250";
        full.push_back(info);
    }
    std::vector<transport::SSerInfo> fewer(full.begin() + 1, full.end());
    bool toggle = false;
    platform::ComboBox list(false, false);
    app::PortListRefresh refresh(list, [&](std::vector<transport::SSerInfo>& out) {
        out = toggle ? fewer : full;
        toggle = !toggle;
    });
    refresh.Refresh();
    list.SetCurSel(20);
    for (auto _ : state) {
        refresh.Refresh();
    }
    state.counters["ports"] = list.GetCount();
}

BENCHMARK(BM_RefreshRealSysfs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshRealSysfsWithFdScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildList40)->Unit(benchmark::kMicrosecond);
// This machine's processes as they are, then among the crowd (made once, kept).
BENCHMARK(BM_DescriptorScan)->ArgName("crowd")->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshFakeTree)
    ->ArgNames({"ports", "scan", "crowd"})
    ->ArgsProduct({{8, 32}, {kNoScan, kWatchedScan, kScanEveryTime}, {0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DescriptorScan)->ArgName("crowd")->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshFakeTree)
    ->ArgNames({"ports", "scan", "crowd"})
    ->ArgsProduct({{8, 32}, {kWatchedScan, kScanEveryTime}, {1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
