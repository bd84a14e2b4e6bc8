#include "sim/input_framer.h"

#include "sim/device_model.h"

#include <algorithm>
#include <array>

namespace velmora::sim {

namespace p = velmora::protocol;

namespace {

constexpr std::array<std::uint8_t, 3> kStart{p::kStart0, p::kStart1, p::kStart2};

// True when `bytes` (possibly shorter than three) could be the start of "PVT".
bool MayStartFrame(std::span<const std::uint8_t> bytes)
{
    const std::size_t n = std::min(bytes.size(), kStart.size());
    return std::equal(bytes.begin(), bytes.begin() + n, kStart.begin());
}

}  // namespace

std::vector<InputEvent> InputFramer::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now)
{
    std::vector<InputEvent> out;
    if (!bytes.empty() && !buffer_.empty() && now - lastByte_ >= kResetGap) {
        // The gap has passed before these bytes came: settle what waited.
        Take(out, true);
    }
    for (std::uint8_t byte : bytes) {
        buffer_.push_back(byte);
        if (buffer_.size() >= kMaxBuffered) {
            Take(out, false);
            if (buffer_.size() >= kMaxBuffered) {
                buffer_.erase(buffer_.begin());
            }
        }
    }
    if (!bytes.empty()) {
        lastByte_ = now;
    }
    Take(out, false);
    return out;
}

std::vector<InputEvent> InputFramer::Idle(Clock::time_point now)
{
    std::vector<InputEvent> out;
    if (!buffer_.empty() && now - lastByte_ >= kResetGap) {
        Take(out, true);
    }
    return out;
}

void InputFramer::Take(std::vector<InputEvent>& out, bool gapPassed)
{
    std::size_t pos = 0;
    const std::span<const std::uint8_t> all(buffer_);
    while (pos < all.size()) {
        const auto rest = all.subspan(pos);
        if (!MayStartFrame(rest)) {
            ++pos;
            continue;
        }
        if (rest.size() < kStart.size()) {
            break;  // perhaps the beginning of a frame
        }
        if (IsFactoryResetPrefix(rest)) {
            const auto after = rest.subspan(p::kResetFrameSize);
            const bool nextStarts = after.size() >= kStart.size() && MayStartFrame(after);
            // After the gap, anything short of a full frame behind the 13 bytes
            // is a fragment, not the rest of "select HDMI 3".
            const bool aloneAfterGap = gapPassed && rest.size() < p::kFrameSize;
            if (nextStarts || aloneAfterGap) {
                out.push_back({InputEvent::Kind::FactoryReset, {}});
                pos += p::kResetFrameSize;
                continue;
            }
        }
        if (rest.size() < p::kFrameSize) {
            if (gapPassed && !IsFactoryResetPrefix(rest)) {
                pos += rest.size();  // a fragment nobody completed
            }
            break;
        }
        InputEvent event;
        std::copy_n(rest.begin(), p::kFrameSize, event.frame.begin());
        if (p::ChecksumMatches(event.frame)) {
            out.push_back(event);
            pos += p::kFrameSize;
        } else {
            ++pos;
        }
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos));
}

}  // namespace velmora::sim
