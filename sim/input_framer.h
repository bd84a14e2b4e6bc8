#pragma once
// Cuts the byte stream from the panel into commands: 18-byte frames that
// start "PVT" and carry a correct checksum, and the 13-byte factory reset.
//
// The reset's 13 bytes are the first 13 of "select HDMI 3", so they count as
// a reset only when an idle gap follows them or the next "PVT" starts right
// after them. Bytes that cannot start a frame are skipped one at a time until
// the next "PVT"; a frame with a wrong checksum is skipped the same way.

#include "protocol/frame.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora::sim {

struct InputEvent {
    enum class Kind { Frame, FactoryReset };
    Kind kind = Kind::Frame;
    protocol::FrameBytes frame{};
};

class InputFramer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kResetGap{40};
    static constexpr std::size_t kMaxBuffered = 1024;

    // Bytes received at `now`.
    std::vector<InputEvent> Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    // Nothing received up to `now`: completes a reset waiting for its gap.
    std::vector<InputEvent> Idle(Clock::time_point now);
    // Time at which Idle has something to decide, if anything waits.
    bool Waiting() const { return !buffer_.empty(); }
    Clock::time_point GapEnds() const { return lastByte_ + kResetGap; }
    void Clear() { buffer_.clear(); }
    std::size_t Buffered() const { return buffer_.size(); }

private:
    void Take(std::vector<InputEvent>& out, bool gapPassed);

    std::vector<std::uint8_t> buffer_;
    Clock::time_point lastByte_{};
};

}  // namespace velmora::sim
