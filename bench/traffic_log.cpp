// What the traffic log costs a frame: the send and receive logs' work for one
// command and its answer, with the traffic log closed (no observer) and open.

#include "app/traffic_log.h"
#include "protocol/commands.h"
#include "protocol/hex_log.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace velmora;

class NullView : public protocol::LogView {
public:
    void Append(std::string_view text) override { size_ += text.size(); }
    void Clear() override { size_ = 0; }

private:
    std::size_t size_ = 0;
};

void Exchange(benchmark::State& state, protocol::TrafficObserver* observer)
{
    NullView sendView;
    NullView receiveView;
    protocol::SendLog sendLog(sendView);
    protocol::ReceiveLog receiveLog(receiveView);
    sendLog.SetObserver(observer);
    receiveLog.SetObserver(observer);
    const auto query = protocol::MakeFrame(protocol::kGeneralStatus);
    const auto answer = protocol::MakeFrame(protocol::kGeneralStatus, {{protocol::general_status::kInput, 4}});
    for (auto _ : state) {
        sendLog.Append(query);
        receiveLog.AppendFrame(answer);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_LogsWithTheTrafficLogClosed(benchmark::State& state) { Exchange(state, nullptr); }
BENCHMARK(BM_LogsWithTheTrafficLogClosed);

void BM_LogsWithTheTrafficLogOpen(benchmark::State& state)
{
    app::TrafficLogWindow window(nullptr);
    Exchange(state, &window);
}
BENCHMARK(BM_LogsWithTheTrafficLogOpen);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
