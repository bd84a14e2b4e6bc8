#pragma once
// Assembly of the switcher's 18-byte replies: from the serial line one byte
// at a time, and from the TCP stream in pieces of any size.

#include "protocol/frame.h"

#include <array>
#include <functional>
#include <span>

namespace velmora::protocol {

using FrameHandler = std::function<void(std::span<const std::uint8_t, kFrameSize>)>;

// Serial line: hunts for "PV" (or FE EF), then takes the next 16 bytes as the
// rest of the frame without looking at them. Bytes before a frame start are
// discarded. A partly collected frame survives reconnection.
class SerialReplyAssembler {
public:
    static constexpr std::size_t kScanSize = 256;
    static constexpr std::size_t kScanStart = 2;  // positions 0 and 1 stay 0

    explicit SerialReplyAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame)) {}
    void OnByte(std::uint8_t byte);
    bool Synchronised() const { return synchronised_; }

private:
    void Restart();

    FrameHandler onFrame_;
    std::array<std::uint8_t, kScanSize> scan_{};
    std::size_t scanIndex_ = kScanStart;
    bool synchronised_ = false;
    FrameBytes reply_{};
    std::size_t replyCount_ = 0;
};

// TCP stream: every complete frame starting "PVT" is handed on in arrival
// order, whatever the pieces the stream came in; garbage before "PVT" is
// dropped; the buffer never holds more than its 1024 bytes.
class StreamReplyAssembler {
public:
    static constexpr std::size_t kBufferSize = 1024;

    explicit StreamReplyAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame)) {}
    void OnData(std::span<const std::uint8_t> data);
    std::size_t Buffered() const { return count_; }
    void Reset() { count_ = 0; }

private:
    void TakeFrames();

    FrameHandler onFrame_;
    std::array<std::uint8_t, kBufferSize> buffer_{};
    std::size_t count_ = 0;
};

}  // namespace velmora::protocol
