#pragma once
// Frames written as their class, command and parameters; the simulator
// started for one line with a client on it; exchanges checked in turn.

#include "gui_helpers.h"
#include "line_fixture.h"

#include "sim/device_model.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

namespace velmora::test {

inline constexpr std::size_t kWireFrame = 18;

// The start bytes, then `body` (class, command, parameters), zero-padded,
// with the checksum last.
inline Bytes Wire(const Bytes& body)
{
    Bytes frame(kWireFrame, 0);
    frame[0] = 0x50;
    frame[1] = 0x56;
    frame[2] = 0x54;
    for (std::size_t i = 0; i < body.size() && i + 4 < kWireFrame; ++i) {
        frame[i + 3] = body[i];
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < kWireFrame; ++i) {
        sum += frame[i];
    }
    frame.back() = static_cast<std::uint8_t>(sum);
    return frame;
}

inline const Bytes kStatusQuery = Wire({0x27, 0x01});
inline const Bytes kFactoryStatus = Wire({0x27, 0x01, 0x00, 0x01, 0x00, 0x00, 0x0C, 0x01, 0x04, 0x01});
inline const Bytes kReset{0x50, 0x56, 0x54, 0x02, 0x03, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0};

inline sim::SimOptions Lines(bool pty, bool tcp)
{
    sim::SimOptions options;
    options.pty = pty;
    options.tcp = tcp;
    options.tcpPort = 0;
    options.processingDelayMs = 0;
    return options;
}

// How an answer must arrive: whole within the time-out, in one read call,
// only after a while of silence, or with a later step (nothing is read).
enum class Arrives { Whole, AtOnce, Late, Later };

// Bytes written and what must come back: nothing at all when `answer` is empty.
struct Exchange {
    Bytes query;
    Bytes answer;
    Arrives arrives = Arrives::Whole;
};

inline void ExpectExchanges(const Fd& client, const std::vector<Exchange>& steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const Exchange& step = steps[i];
        ASSERT_TRUE(client.Write(step.query));
        if (step.arrives == Arrives::Later) {
            continue;
        }
        if (step.answer.empty() || step.arrives == Arrives::Late) {
            EXPECT_TRUE(client.Read(1, kSilenceMs).empty());
        }
        if (step.arrives == Arrives::AtOnce) {
            EXPECT_EQ(client.ReadOnce(), step.answer);
        } else if (!step.answer.empty()) {
            EXPECT_EQ(client.Read(step.answer.size()), step.answer);
        }
    }
}

enum class Line { Pty, Tcp };

// The simulator started with `options` and one client on `line`.
struct LineSession {
    LineSession(Line line, sim::SimOptions options) : sim(std::move(options))
    {
        if (sim.Start()) {
            client = line == Line::Pty ? OpenRaw(sim.PtyPath()) : ConnectTcp(sim.TcpPort());
        }
    }
    sim::Simulator sim;
    Fd client;
};

}  // namespace velmora::test
