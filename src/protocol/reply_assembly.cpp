#include "protocol/reply_assembly.h"

#include <algorithm>
#include <cstring>

namespace velmora::protocol {

void SerialReplyAssembler::OnByte(std::uint8_t byte)
{
    if (synchronised_) {
        reply_[replyCount_++] = byte;
    } else {
        scan_[scanIndex_++] = byte;
        const std::uint8_t first = scan_[scanIndex_ - 2];
        const std::uint8_t second = scan_[scanIndex_ - 1];
        const bool start = (first == kStart0 && second == kStart1) || (first == kAltStart0 && second == kAltStart1);
        if (start) {
            synchronised_ = true;
            reply_[0] = first;
            reply_[1] = second;
            replyCount_ = 2;
            scanIndex_ = kScanStart;
        }
    }
    if (replyCount_ == kFrameSize) {
        // Copy first: the handler may feed further bytes re-entrantly.
        const FrameBytes frame = reply_;
        Reset();
        onFrame_(frame);
    }
    if (scanIndex_ == kScanSize) {
        scanIndex_ = kScanStart;
    }
}

void SerialReplyAssembler::Reset()
{
    synchronised_ = false;
    replyCount_ = 0;
    scanIndex_ = kScanStart;
    scan_.fill(0);
    reply_.fill(0);
}

void StreamReplyAssembler::OnData(std::span<const std::uint8_t> data)
{
    // All of a read goes in before any frame is handed on, so data that a
    // handler brings in re-entrantly lands behind it, in stream order.
    if (held_.size() - head_ + data.size() > kMaxHeld) {
        return;  // only a handler nested without end could get here
    }
    if (head_ == held_.size()) {
        held_.clear();
        head_ = 0;
    }
    held_.insert(held_.end(), data.begin(), data.end());
    TakeFrames();
}

// Each frame leaves the buffer before its handler runs, so a handler that
// pumps the event loop and brings more data in re-entrantly finds a buffer
// that no longer holds it.
void StreamReplyAssembler::TakeFrames()
{
    for (;;) {
        SkipToFrameStart();
        if (held_.size() - head_ < kFrameSize) {
            break;
        }
        FrameBytes frame;
        std::memcpy(frame.data(), held_.data() + head_, kFrameSize);
        head_ += kFrameSize;
        onFrame_(frame);
    }
    if (head_ > kBufferSize) {
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
}

// Drops bytes up to the next "PVT"; a "P" or "PV" at the very end may still become one.
void StreamReplyAssembler::SkipToFrameStart()
{
    while (head_ < held_.size()) {
        const std::size_t left = held_.size() - head_;
        const bool p = held_[head_] == kStart0;
        const bool pv = left < 2 || held_[head_ + 1] == kStart1;
        const bool pvt = left < 3 || held_[head_ + 2] == kStart2;
        if (p && pv && pvt) {
            return;
        }
        ++head_;
    }
}

}  // namespace velmora::protocol
