#pragma once
// Every assembled reply: logged, checked, handed to the receiver of the
// selected page, and the command token given back.

#include "protocol/frame.h"
#include "protocol/hex_log.h"
#include "protocol/link_token.h"

#include <array>
#include <cstdint>
#include <span>

namespace velmora::protocol {

// One assembled reply, 18 bytes.
using ReplyFrame = std::span<const std::uint8_t, kFrameSize>;

constexpr Command CommandOf(ReplyFrame frame) { return {frame[kClassByte], frame[kCommandByte]}; }

// A page's entry point for checked replies while it is selected.
class ReplyReceiver {
public:
    virtual ~ReplyReceiver() = default;
    virtual void HandleReply(ReplyFrame frame) = 0;
};

class ReplyDispatcher {
public:
    ReplyDispatcher(ReceiveLog& log, LinkToken& token) : log_(log), token_(token) {}

    void SetReceiver(std::uint8_t page, ReplyReceiver* receiver);
    void SetCurrentPage(std::uint8_t page) { currentPage_ = page; }
    std::uint8_t CurrentPage() const { return currentPage_; }

    void DispatchReply(std::span<const std::uint8_t, kFrameSize> frame);
    // Replies dispatched since start, for the diagnostics of the benchmarks.
    std::uint64_t Dispatched() const { return dispatched_; }

private:
    static constexpr std::size_t kPageSlots = 8;

    ReceiveLog& log_;
    LinkToken& token_;
    std::array<ReplyReceiver*, kPageSlots> receivers_{};
    std::uint8_t currentPage_ = 1;
    std::uint64_t dispatched_ = 0;
};

}  // namespace velmora::protocol
