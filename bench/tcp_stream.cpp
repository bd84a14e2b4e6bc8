// The TCP side: how fast the stream assembly takes a burst of answers in the
// pieces a network delivers, and how long one command/answer exchange with
// the simulated switcher takes over loopback TCP.

#include "protocol/commands.h"
#include "protocol/reply_assembly.h"
#include "sim/simulator.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <vector>

namespace {

using namespace velmora;

constexpr int kFramesPerBurst = 111;  // 1998 bytes
constexpr int kReadTimeoutMs = 2000;

std::vector<std::uint8_t> Burst()
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < kFramesPerBurst; ++i) {
        const auto frame = protocol::MakeFrame(protocol::kGeneralStatus);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

void BM_StreamAssemblyOfABurst(benchmark::State& state)
{
    const std::vector<std::uint8_t> burst = Burst();
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> piece(1, static_cast<std::size_t>(state.range(0)));
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; at < burst.size();) {
        const std::size_t n = std::min(piece(random), burst.size() - at);
        cuts.push_back(n);
        at += n;
    }
    long frames = 0;
    protocol::StreamReplyAssembler assembler([&](auto) { ++frames; });
    for (auto _ : state) {
        std::size_t at = 0;
        for (const std::size_t n : cuts) {
            assembler.OnData(std::span(burst.data() + at, n));
            at += n;
        }
    }
    if (frames != kFramesPerBurst * static_cast<long>(state.iterations())) {
        state.SkipWithError("frames were lost");
    }
    state.SetItemsProcessed(frames);
    state.SetBytesProcessed(static_cast<std::int64_t>(burst.size()) * state.iterations());
}
BENCHMARK(BM_StreamAssemblyOfABurst)->Arg(18)->Arg(1024);

void BM_TcpExchangeWithTheSimulator(benchmark::State& state)
{
    sim::SimOptions options;
    options.pty = false;
    options.tcpPort = 0;
    options.processingDelayMs = 0;
    sim::Simulator simulator(options);
    if (!simulator.Start()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(simulator.TcpPort()));
    ::inet_pton(AF_INET, "127.0.0.1", &where.sin_addr);
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
        state.SkipWithError("no connection");
        ::close(fd);
        return;
    }
    const auto query = protocol::MakeFrame(protocol::kGeneralStatus);
    for (auto _ : state) {
        ::send(fd, query.data(), query.size(), MSG_NOSIGNAL);
        std::size_t got = 0;
        std::uint8_t answer[protocol::kFrameSize];
        while (got < sizeof answer) {
            pollfd pfd{fd, POLLIN, 0};
            const ssize_t n =
                ::poll(&pfd, 1, kReadTimeoutMs) == 1 ? ::recv(fd, answer + got, sizeof answer - got, 0) : -1;
            if (n <= 0) {
                state.SkipWithError("no answer");
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
}
BENCHMARK(BM_TcpExchangeWithTheSimulator)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
