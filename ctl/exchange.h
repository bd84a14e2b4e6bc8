#pragma once
// One command in flight at a time: a frame goes out, its answer is awaited
// for the time-out, and a frame that got none is sent once more, as the
// panel's Audio page does with the mixer volume. Answers with a wrong
// checksum and answers to other commands are passed over.

#include "link.h"

#include "protocol/frame.h"

#include <functional>

namespace velmora::cli {

class Exchange {
public:
    Exchange(Link& link, int timeoutMs) : link_(link), timeoutMs_(timeoutMs) {}

    // The answer repeating the frame's class and command. Throws CliError
    // (time-out) when none came after the retry.
    protocol::FrameBytes Ask(const protocol::FrameBytes& frame);
    // The first answer with a good checksum, whatever its command.
    protocol::FrameBytes AskAny(const protocol::FrameBytes& frame);
    // Sends a frame that is answered by nothing.
    void Tell(std::span<const std::uint8_t> bytes) { link_.Send(bytes); }

private:
    using Wanted = std::function<bool(const protocol::FrameBytes&)>;
    protocol::FrameBytes AskFor(const protocol::FrameBytes& frame, const Wanted& wanted);

    Link& link_;
    int timeoutMs_;
};

}  // namespace velmora::cli
