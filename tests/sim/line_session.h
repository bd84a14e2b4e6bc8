#pragma once
// A simulator started for one line and a client on it, and the frames the
// line tests exchange most.

#include "line_client.h"
#include "model_test_util.h"

#include "sim/simulator.h"

namespace velmora::sim::test {

inline const Bytes kStatusQuery{0x50, 0x56, 0x54, 0x27, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22};
inline const Bytes kFactoryStatus{0x50, 0x56, 0x54, 0x27, 0x01, 0x00, 0x01, 0x00, 0x00,
                                  0x0C, 0x01, 0x04, 0x01, 0,    0,    0,    0,    0x35};
inline const Bytes kNetworkStatus{0x50, 0x56, 0x54, 0x22, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x27};
inline const Bytes kReset{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0};

inline SimOptions PtyOnly()
{
    SimOptions options;
    options.tcp = false;
    options.processingDelayMs = 0;
    return options;
}

inline SimOptions TcpOnly()
{
    SimOptions options;
    options.pty = false;
    options.tcpPort = 0;
    options.processingDelayMs = 0;
    return options;
}

inline Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// Writes `frame` and reads up to `count` bytes of answer; empty when the
// write fails or nothing comes.
inline Bytes Ask(FdClient& client, const Bytes& frame, std::size_t count = kTestFrameSize)
{
    return client.Write(frame) ? client.Read(count) : Bytes{};
}

// True when `frame` is written and nothing comes back for a while.
inline bool Unanswered(FdClient& client, const Bytes& frame)
{
    return client.Write(frame) && client.Read(1, kSilenceMs).empty();
}

// One frame written and what must come back: nothing at all when `answer` is
// empty.
struct Exchange {
    Bytes query;
    Bytes answer;
};

inline void ExpectExchanges(FdClient& client, const std::vector<Exchange>& steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        if (steps[i].answer.empty()) {
            EXPECT_TRUE(Unanswered(client, steps[i].query));
        } else {
            EXPECT_EQ(Ask(client, steps[i].query, steps[i].answer.size()), steps[i].answer);
        }
    }
}

enum class Line { Pty, Tcp };

// The simulator started with `options` and one client on `line`; Ok() is
// false when either failed.
struct LineSession {
    LineSession(Line line, SimOptions options) : sim(std::move(options))
    {
        if (sim.Start()) {
            client = line == Line::Pty ? OpenPty(sim.PtyPath()) : ConnectTcp(sim.TcpPort());
        }
    }
    bool Ok() const { return client.Ok(); }

    Simulator sim;
    FdClient client;
};

}  // namespace velmora::sim::test
