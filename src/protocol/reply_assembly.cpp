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
        Restart();
        onFrame_(frame);
    }
    if (scanIndex_ == kScanSize) {
        scanIndex_ = kScanStart;
    }
}

void SerialReplyAssembler::Restart()
{
    synchronised_ = false;
    replyCount_ = 0;
    scanIndex_ = kScanStart;
    scan_.fill(0);
    reply_.fill(0);
}

void StreamReplyAssembler::OnData(std::span<const std::uint8_t> data)
{
    while (!data.empty()) {
        const std::size_t take = std::min(data.size(), kBufferSize - count_);
        std::memcpy(buffer_.data() + count_, data.data(), take);
        count_ += take;
        data = data.subspan(take);
        TakeFrames();
    }
}

void StreamReplyAssembler::TakeFrames()
{
    std::size_t pos = 0;
    for (;;) {
        // Find the next "PVT"; a "P" or "PV" at the very end may still become one.
        while (pos < count_) {
            const std::size_t left = count_ - pos;
            const bool p = buffer_[pos] == kStart0;
            const bool pv = left < 2 || buffer_[pos + 1] == kStart1;
            const bool pvt = left < 3 || buffer_[pos + 2] == kStart2;
            if (p && pv && pvt) {
                break;
            }
            ++pos;
        }
        if (count_ - pos < kFrameSize) {
            break;
        }
        FrameBytes frame;
        std::memcpy(frame.data(), buffer_.data() + pos, kFrameSize);
        pos += kFrameSize;
        onFrame_(frame);
    }
    std::memmove(buffer_.data(), buffer_.data() + pos, count_ - pos);
    count_ -= pos;
}

}  // namespace velmora::protocol
