#pragma once
// Assembly of the switcher's 18-byte replies: from the serial line one byte
// at a time, and from the TCP stream in pieces of any size.

#include "protocol/frame.h"

#include <array>
#include <functional>
#include <span>
#include <vector>

namespace velmora::protocol {

using FrameHandler = std::function<void(std::span<const std::uint8_t, kFrameSize>)>;

// Serial line: hunts for "PV" (or FE EF), then takes the next 16 bytes as the
// rest of the frame without looking at them. Bytes before a frame start are
// discarded. A new connection starts it afresh (Reset), so that a frame cut
// off by a disconnect cannot swallow the first answer on the next one.
class SerialReplyAssembler {
public:
    static constexpr std::size_t kScanSize = 256;
    static constexpr std::size_t kScanStart = 2;  // positions 0 and 1 stay 0

    explicit SerialReplyAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame)) {}
    void OnByte(std::uint8_t byte);
    // Back to hunting with empty buffers, as after a dispatched frame.
    void Reset();
    bool Synchronised() const { return synchronised_; }

private:
    FrameHandler onFrame_;
    std::array<std::uint8_t, kScanSize> scan_{};
    std::size_t scanIndex_ = kScanStart;
    bool synchronised_ = false;
    FrameBytes reply_{};
    std::size_t replyCount_ = 0;
};

// TCP stream: every complete frame starting "PVT" is handed on in arrival
// order, whatever the pieces the stream came in; garbage before "PVT" is
// dropped. Between reads fewer than 18 bytes stay held. A frame handler may
// feed more data in re-entrantly: no frame is handed on twice or out of order.
class StreamReplyAssembler {
public:
    static constexpr std::size_t kBufferSize = 1024;
    // What re-entrant reads may pile up at the most while handlers run.
    static constexpr std::size_t kMaxHeld = 64 * kBufferSize;

    explicit StreamReplyAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame)) {}
    void OnData(std::span<const std::uint8_t> data);
    std::size_t Buffered() const { return held_.size() - head_; }
    void Reset()
    {
        held_.clear();
        head_ = 0;
    }

private:
    void TakeFrames();
    void SkipToFrameStart();

    FrameHandler onFrame_;
    std::vector<std::uint8_t> held_;
    std::size_t head_ = 0;  // first byte not yet taken
};

}  // namespace velmora::protocol
