#pragma once
// One line's conversation: bytes in, the answers to write out.

#include "sim/input_framer.h"
#include "sim/reply_faults.h"
#include "sim/shared_device.h"

#include <optional>
#include <vector>

namespace velmora::sim {

class CommandSession {
public:
    using Clock = InputFramer::Clock;

    CommandSession(SharedDevice& device, ReplyFaults& faults) : device_(device), faults_(faults) {}

    std::vector<Chunk> Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    std::vector<Chunk> Idle(Clock::time_point now);
    // When Idle next has something to decide.
    std::optional<Clock::time_point> NextDeadline() const;
    // Frames answered (before faults) since the session began.
    long Answered() const { return answered_; }
    long Resets() const { return resets_; }
    void Restart()
    {
        framer_.Clear();
        answered_ = 0;
    }

private:
    std::vector<Chunk> Process(const std::vector<InputEvent>& events);

    SharedDevice& device_;
    ReplyFaults& faults_;
    InputFramer framer_;
    long answered_ = 0;
    long resets_ = 0;
};

}  // namespace velmora::sim
