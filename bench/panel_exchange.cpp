// The panel end to end: the real main window (offscreen) against a switcher
// that answers at once, over a pseudo-terminal and over loopback TCP.
//
// For each line: the input-change chain (02 03 -> 24 08 -> 24 12) a few
// hundred times, by the panel and by a plain blocking client, with the
// turnaround of each chained command (answer written -> next command read)
// as the switcher sees it, and the CPU each spends per exchange; then a flood
// of frames, with frames per second, CPU per frame and the cost of the first
// and the last thousand. Last, the panel's start-up time, idle CPU and RSS in
// a process of its own.
//
//   bench_panel_exchange [--chains N] [--flood N] [--idle-seconds N]

#include "app/main_window.h"
#include "exchange_responder.h"
#include "panel_driver.h"
#include "panel_startup.h"
#include "res/main_ids.h"
#include "transport/port_map.h"

#include <QApplication>

#include <arpa/inet.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace velmora::bench {
namespace {

constexpr int kBenchCom = 77;
constexpr int kAddressTries = 20;
// One 115200-baud round trip: two 18-byte frames at 8N2 (11 bits a byte).
constexpr double kWireRoundTripUs = 2.0 * 18 * 11 * 1e6 / 115200;
constexpr double kLineFramesPerSecond = 115200.0 / (18 * 11);

struct Settings {
    int chains = 300;
    std::uint32_t flood = 20000;
    int idleSeconds = 5;
};

struct Far {
    pid_t pid = -1;
    int control = -1;
    int results = -1;
};

// The far end of one line, in a child process made before Qt starts threads.
Far StartResponder(int line, int listener)
{
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        Responder(line, listener, toChild[0], fromChild[1]).Run();
        ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    return {pid, toChild[1], fromChild[0]};
}

void Tell(const Far& far, char what) { WriteAll(far.control, reinterpret_cast<const std::uint8_t*>(&what), 1); }

std::vector<double> Turnarounds(const Far& far)
{
    Tell(far, kReport);
    std::uint32_t n = 0;
    std::vector<double> values;
    if (ReadAll(far.results, reinterpret_cast<std::uint8_t*>(&n), sizeof n)) {
        values.resize(n);
        if (!ReadAll(far.results, reinterpret_cast<std::uint8_t*>(values.data()), n * sizeof(double))) {
            values.clear();
        }
    }
    return values;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

std::string Load()
{
    double load[3] = {};
    ::getloadavg(load, 3);
    char text[64];
    std::snprintf(text, sizeof text, "load %.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

struct ChainFigures {
    double median = 0;
    double p99 = 0;
    double cpuPerExchangeUs = 0;
    double switchesPerExchange = 0;
    std::size_t samples = 0;
};

ChainFigures Figures(const std::vector<double>& turnarounds, const Usage& used, int exchanges)
{
    return {Percentile(turnarounds, 0.5), Percentile(turnarounds, 0.99), used.cpuUs / exchanges,
            static_cast<double>(used.switches) / exchanges, turnarounds.size()};
}

ChainFigures ReferenceChains(int fd, const Far& far, int chains)
{
    Tell(far, kChains);
    const Usage start = Usage::OfThread();
    for (int i = 0; i < chains; ++i) {
        if (!ReferenceChain(fd, i % 2 == 0 ? protocol::kInputDp : protocol::kInputHdmi1)) {
            std::fprintf(stderr, "reference client: no answer\n");
            break;
        }
    }
    const Usage used = Usage::OfThread() - start;
    return Figures(Turnarounds(far), used, chains * 3);
}

void PrintChains(const char* line, const ChainFigures& panel, const ChainFigures& reference, const std::string& load)
{
    std::printf("%s chain (%s): %zu turnarounds\n", line, load.c_str(), panel.samples);
    std::printf("  panel      median %8.1f us  p99 %8.1f us  (p99/median %.2f)  CPU %7.1f us/exchange  %.1f "
                "switches/exchange\n",
                panel.median, panel.p99, panel.p99 / std::max(panel.median, 1e-9), panel.cpuPerExchangeUs,
                panel.switchesPerExchange);
    std::printf("  reference  median %8.1f us  p99 %8.1f us  CPU %7.1f us/exchange\n", reference.median, reference.p99,
                reference.cpuPerExchangeUs);
    std::printf("  panel/reference median %.2f x   panel median = %.1f %% of a 115200 round trip (%.0f us)\n",
                panel.median / std::max(reference.median, 1e-9), 100.0 * panel.median / kWireRoundTripUs,
                kWireRoundTripUs);
}

void PrintFlood(const char* line, const FloodFigures& f, std::uint32_t sent, const std::string& load)
{
    std::printf("%s flood (%s): %u sent, %llu taken in, %.0f frames/s\n", line, load.c_str(), sent,
                static_cast<unsigned long long>(f.taken), f.framesPerSecond);
    std::printf("  CPU %.2f us/frame (%.2f %% of a core at a saturated 115200 line)  %.2f switches/frame\n",
                f.cpuPerFrameUs, f.cpuPerFrameUs * kLineFramesPerSecond / 1e4, f.switchesPerFrame);
    std::printf("  first 1000: %.2f us/frame  last 1000: %.2f us/frame\n", f.firstThousandUs, f.lastThousandUs);
}

FloodFigures Flood(PanelDriver& driver, const Far& far, std::uint32_t frames)
{
    Tell(far, kFlood);
    WriteAll(far.control, reinterpret_cast<const std::uint8_t*>(&frames), sizeof frames);
    return driver.TakeFlood(far.results, frames);
}

// A pty whose slave is COM kBenchCom through a port map directory.
struct PtyLine {
    int master = -1;
    int slave = -1;
    std::string dir;
    bool Open()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            return false;
        }
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        char dirTemplate[] = "/tmp/velmora-bench-XXXXXX";
        if (::mkdtemp(dirTemplate) == nullptr) {
            return false;
        }
        dir = dirTemplate;
        const std::string link = dir + "/com" + std::to_string(kBenchCom);
        return ::symlink(name, link.c_str()) == 0;
    }
    void Remove() const
    {
        ::unlink((dir + "/com" + std::to_string(kBenchCom)).c_str());
        ::rmdir(dir.c_str());
    }
};

// A listening socket on the switcher's port at a loopback address of its own.
int ListenOnLoopback(std::string& address)
{
    std::mt19937 random(std::random_device{}());
    for (int i = 0; i < kAddressTries; ++i) {
        address = "127.77." + std::to_string(random() % 250 + 1) + "." + std::to_string(random() % 250 + 1);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(protocol::kSwitcherTcpPort);
        ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 && ::listen(fd, 4) == 0) {
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

int ConnectTo(const std::string& address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(protocol::kSwitcherTcpPort);
    ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

Settings ParseSettings(int argc, char** argv)
{
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--chains") {
            s.chains = std::max(1, value);
        } else if (name == "--flood") {
            s.flood = static_cast<std::uint32_t>(std::max(1000, value));
        } else if (name == "--idle-seconds") {
            s.idleSeconds = std::max(1, value);
        }
    }
    return s;
}

int RunLines(int argc, char** argv, const Settings& settings)
{
    PtyLine pty;
    std::string address;
    const int listener = ListenOnLoopback(address);
    if (!pty.Open() || listener < 0) {
        std::fprintf(stderr, "no pty or no loopback address\n");
        return 1;
    }
    const Far serialFar = StartResponder(pty.master, -1);
    const Far tcpFar = StartResponder(-1, listener);
    ::close(pty.master);
    ::close(listener);

    // The reference client first, on the same pty and the same kind of socket.
    const ChainFigures serialReference = ReferenceChains(pty.slave, serialFar, settings.chains);
    const int socket = ConnectTo(address);
    const ChainFigures tcpReference = ReferenceChains(socket, tcpFar, settings.chains);
    ::close(socket);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    transport::PortMap::SetDirectory(pty.dir);
    PanelDriver driver;

    if (driver.ConnectSerial(kBenchCom)) {
        Tell(serialFar, kChains);
        const Usage used = driver.RunChains(settings.chains);
        const auto load = Load();
        PrintChains("pty", Figures(Turnarounds(serialFar), used, settings.chains * 3), serialReference, load);
        PrintFlood("pty", Flood(driver, serialFar, settings.flood), settings.flood, Load());
        driver.DisconnectSerial();
    } else {
        std::printf("pty: the panel did not connect\n");
    }
    if (driver.ConnectTcp(QString::fromStdString(address))) {
        Tell(tcpFar, kChains);
        const Usage used = driver.RunChains(settings.chains);
        const auto load = Load();
        PrintChains("tcp", Figures(Turnarounds(tcpFar), used, settings.chains * 3), tcpReference, load);
        PrintFlood("tcp", Flood(driver, tcpFar, settings.flood), settings.flood, Load());
    } else {
        std::printf("tcp: the panel did not connect\n");
    }
    driver.Close();
    for (const Far& far : {serialFar, tcpFar}) {
        Tell(far, kQuit);
        ::waitpid(far.pid, nullptr, 0);
    }
    pty.Remove();
    return 0;
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv)
{
    using namespace velmora::bench;
    if (argc > 1 && std::strcmp(argv[1], kStartupMode) == 0) {
        return RunStartupChild(argc, argv);
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const Settings settings = ParseSettings(argc, argv);
    const int result = RunLines(argc, argv, settings);
    MeasureStartup(argv[0], settings.idleSeconds);
    return result;
}
