// How long the simulated serial line takes for command/answer exchanges:
// at 115200 baud, 8N2, one 18-byte frame is 18 x 11 / 115200 s = 1.72 ms on
// the wire each way, so 100 exchanges cannot take less than 344 ms: 36 byte
// times an exchange, the command's 18 and the answer's 18, each byte whole at
// the end of its slot. Faster than that, the simulator is wrong.

#include "sim/line_pacer.h"
#include "sim/simulator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using velmora::sim::SimOptions;
using velmora::sim::Simulator;

constexpr int kExchanges = 100;
constexpr std::size_t kFrame = 18;
constexpr int kReadTimeoutMs = 2000;
constexpr double kFloorByteTimes = 2 * kFrame;  // command and answer
constexpr std::uint8_t kStatusQuery[kFrame] = {0x50, 0x56, 0x54, 0x27, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22};

bool ReadFrame(int fd)
{
    std::size_t got = 0;
    std::uint8_t buffer[kFrame];
    while (got < kFrame) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, kReadTimeoutMs) <= 0) {
            return false;
        }
        const ssize_t n = ::read(fd, buffer + got, kFrame - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void BM_HundredStatusExchanges(benchmark::State& state)
{
    SimOptions options;
    options.tcp = false;
    options.baud = static_cast<unsigned>(state.range(0));
    options.processingDelayMs = 0;
    Simulator sim(options);
    if (!sim.Start()) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const int fd = ::open(sim.PtyPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        state.SkipWithError("cannot open the pty");
        return;
    }
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);

    const double byteUs = 1e6 * velmora::sim::kBitsPerByte / static_cast<double>(options.baud);
    double fastest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kExchanges; ++i) {
            if (::write(fd, kStatusQuery, kFrame) != static_cast<ssize_t>(kFrame) || !ReadFrame(fd)) {
                state.SkipWithError("exchange failed");
                break;
            }
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        const double perExchange = took.count() * 1e6 / byteUs / kExchanges;
        fastest = fastest == 0 ? perExchange : std::min(fastest, perExchange);
    }
    state.counters["wire_floor_ms"] = kExchanges * kFloorByteTimes * byteUs / 1000.0;
    state.counters["byte_times_per_exchange"] = fastest;
    if (fastest < kFloorByteTimes) {
        state.SkipWithError("exchanges faster than the wire: the simulator delivers bytes early");
    }
    ::close(fd);
}

BENCHMARK(BM_HundredStatusExchanges)
    ->Arg(115200)
    ->Arg(9600)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
