#include "exchange.h"

#include "cli_error.h"

#include "protocol/frame_meaning.h"

namespace velmora::cli {

namespace p = velmora::protocol;

namespace {
constexpr int kTries = 2;
}

p::FrameBytes Exchange::Ask(const p::FrameBytes& frame)
{
    return AskFor(frame, [&](const p::FrameBytes& answer) {
        return answer[p::kClassByte] == frame[p::kClassByte] && answer[p::kCommandByte] == frame[p::kCommandByte];
    });
}

p::FrameBytes Exchange::AskAny(const p::FrameBytes& frame)
{
    return AskFor(frame, [](const p::FrameBytes&) { return true; });
}

p::FrameBytes Exchange::AskFor(const p::FrameBytes& frame, const Wanted& wanted)
{
    for (int attempt = 0; attempt < kTries; ++attempt) {
        link_.Send(frame);
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
        while (const auto answer = link_.NextFrame(deadline)) {
            if (p::ChecksumMatches(*answer) && wanted(*answer)) {
                return *answer;
            }
        }
    }
    throw CliError(kExitTimeout, link_.Name() + ": no answer to \"" + p::DescribeFrame(frame, p::Direction::Sent) +
                                     "\" within " + std::to_string(timeoutMs_) + " ms, sent twice");
}

}  // namespace velmora::cli
