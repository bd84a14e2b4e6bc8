#pragma once
// Decides, answer by answer, which faults hit it. Thread-safe.

#include "protocol/frame.h"
#include "sim/sim_options.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::sim {

// The bytes that go out for one answer, and how much longer than the
// processing delay they wait.
struct Chunk {
    std::vector<std::uint8_t> bytes;
    std::chrono::milliseconds extraDelay{0};
};

class ReplyFaults {
public:
    explicit ReplyFaults(const SimOptions& options)
        : dropEvery_(options.dropEvery), dropClass_(options.dropClass), delayEvery_(options.delayEvery),
          delayMs_(options.delayMs), corruptEvery_(options.corruptEvery), noiseBytes_(options.noiseBytes)
    {}

    // The bytes to send for one answer (noise included), or nothing when the
    // answer is dropped.
    std::optional<Chunk> Shape(const protocol::FrameBytes& answer);

    // Noise never holds a frame start, so it cannot fake a frame.
    static std::uint8_t NoiseByte(int index);

private:
    const int dropEvery_;
    const int dropClass_;
    const int delayEvery_;
    const int delayMs_;
    const int corruptEvery_;
    const int noiseBytes_;
    std::atomic<long> answers_{0};
};

}  // namespace velmora::sim
