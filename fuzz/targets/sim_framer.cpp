// The simulated switcher's framer on any byte stream: every frame it takes
// starts "PVT" and carries a correct checksum; what it takes does not depend
// on how the stream was cut into reads while no pause falls in between; and
// after a pause nothing but the start of a "PVT" is left waiting.
// Input: a seed byte for the cuts, then the stream.

#include "check.h"

#include "protocol/frame.h"
#include "sim/input_framer.h"

#include <vector>

using velmora::sim::InputEvent;
using velmora::sim::InputFramer;

namespace {

void RequireSound(const std::vector<InputEvent>& events)
{
    for (const InputEvent& event : events) {
        if (event.kind == InputEvent::Kind::Frame) {
            FUZZ_REQUIRE(velmora::protocol::StartsFrame(event.frame));
            FUZZ_REQUIRE(velmora::protocol::ChecksumMatches(event.frame));
        }
    }
}

bool Same(const std::vector<InputEvent>& a, const std::vector<InputEvent>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].frame != b[i].frame) {
            return false;
        }
    }
    return true;
}

void Append(std::vector<InputEvent>& to, const std::vector<InputEvent>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    unsigned seed = data[0] * 2654435761u + 7;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    const auto t0 = InputFramer::Clock::time_point{} + std::chrono::hours(1);
    const auto afterGap = t0 + InputFramer::kResetGap;

    InputFramer whole;
    std::vector<InputEvent> wholeEvents = whole.Feed(stream, t0);
    Append(wholeEvents, whole.Idle(afterGap));

    InputFramer cut;
    InputFramer paused;  // the same reads, some after a pause
    std::vector<InputEvent> cutEvents;
    auto now = t0;
    for (std::size_t pos = 0; pos < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>((seed >> 16) % 48 + 1, stream.size() - pos);
        Append(cutEvents, cut.Feed(stream.subspan(pos, n), t0));
        FUZZ_REQUIRE(cut.Buffered() < InputFramer::kMaxBuffered);
        if ((seed >> 8) % 4 == 0) {
            now += InputFramer::kResetGap;
            RequireSound(paused.Idle(now));
            FUZZ_REQUIRE(paused.Buffered() < 3);
        }
        RequireSound(paused.Feed(stream.subspan(pos, n), now));
        pos += n;
    }
    Append(cutEvents, cut.Idle(afterGap));
    RequireSound(wholeEvents);
    FUZZ_REQUIRE(Same(wholeEvents, cutEvents));
    return 0;
}
