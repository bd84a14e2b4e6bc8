#include "protocol/reply_dispatch.h"

namespace velmora::protocol {

void ReplyDispatcher::SetReceiver(std::uint8_t page, ReplyReceiver* receiver)
{
    if (page < kPageSlots) {
        receivers_[page] = receiver;
    }
}

void ReplyDispatcher::DispatchReply(std::span<const std::uint8_t, kFrameSize> frame)
{
    ++dispatched_;
    log_.AppendFrame(frame);
    if (ChecksumMatches(frame) && currentPage_ < kPageSlots && receivers_[currentPage_]) {
        receivers_[currentPage_]->HandleReply(frame);
    }
    token_.GiveBack();
}

}  // namespace velmora::protocol
