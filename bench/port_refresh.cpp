// The cost of one refresh of the port list, which runs every 600 ms on the
// window thread: on this machine's sysfs and on a fake tree of 40 ports, with
// and without the scan of every process's open descriptors.

#include "platform/combo_box.h"
#include "transport/port_discovery.h"
#include "transport/port_list_refresh.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace velmora;

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// 8 UARTs and 24 reserved legacy ports, 16 USB adapters and 16 USB modems:
// 40 ports listed, 64 looked at. A few stale lock files in the lock dir.
class FakeTree {
public:
    FakeTree()
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
        for (int i = 0; i < 32; ++i) {
            const std::string name = "ttyS" + std::to_string(i);
            addTty(name, fs::path("platform/serial8250") / name, "serial8250");
            Write(sys / "class" / "tty" / name / "type", i < 8 ? "4\n" : "0\n");
        }
        for (int i = 0; i < 16; ++i) {
            const fs::path usb = fs::path("pci0000:00/usb1") / ("1-" + std::to_string(i + 1));
            Write(sys / usb / "idVendor", "0403\n");
            Write(sys / usb / "manufacturer", "Acme\n");
            Write(sys / usb / "product", "USB-Serial Bridge\n");
            addTty("ttyUSB" + std::to_string(i), usb / "1-x:1.0" / ("ttyUSB" + std::to_string(i)), "acme_sio");
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
    transport::PortListRefresh refresh(list, roots);
    refresh.Refresh();
    for (auto _ : state) {
        refresh.Refresh();
    }
    state.counters["ports"] = list.GetCount();
    if (!refresh.LastSucceeded()) {
        state.SkipWithError(refresh.LastError().c_str());
    }
}

void BM_RefreshRealSysfs(benchmark::State& state) { RunRefresh(state, RealRoots(false)); }
void BM_RefreshRealSysfsWithFdScan(benchmark::State& state) { RunRefresh(state, RealRoots(true)); }

void BM_RefreshFakeTree40(benchmark::State& state)
{
    FakeTree tree;
    RunRefresh(state, tree.Roots(false));
}

void BM_RefreshFakeTree40WithFdScan(benchmark::State& state)
{
    FakeTree tree;
    RunRefresh(state, tree.Roots(true));
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
    transport::PortListRefresh refresh(list, [&](std::vector<transport::SSerInfo>& out) {
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
BENCHMARK(BM_RefreshFakeTree40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshFakeTree40WithFdScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildList40)->Unit(benchmark::kMicrosecond);

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
