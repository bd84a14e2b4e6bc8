#include "sim/reply_faults.h"

namespace velmora::sim {

namespace {
// No 0x50 0x56 and no 0xFE 0xEF pair: a panel cannot take noise for a frame.
constexpr std::uint8_t kNoisePattern[] = {0x00, 0x11, 0x22, 0x33, 0xA5, 0x5A, 0xC3, 0x3C};
constexpr std::uint8_t kCorruptMask = 0xFF;
}  // namespace

std::uint8_t ReplyFaults::NoiseByte(int index)
{
    return kNoisePattern[static_cast<std::size_t>(index) % std::size(kNoisePattern)];
}

std::optional<Chunk> ReplyFaults::Shape(const protocol::FrameBytes& answer)
{
    const long n = ++answers_;
    if (dropEvery_ > 0 && n % dropEvery_ == 0) {
        return std::nullopt;
    }
    if (dropClass_ != kNoClass && answer[protocol::kClassByte] == dropClass_) {
        return std::nullopt;
    }
    Chunk out;
    for (int i = 0; i < noiseBytes_; ++i) {
        out.bytes.push_back(NoiseByte(i));
    }
    out.bytes.insert(out.bytes.end(), answer.begin(), answer.end());
    if (corruptEvery_ > 0 && n % corruptEvery_ == 0) {
        out.bytes.back() ^= kCorruptMask;
    }
    if (delayEvery_ > 0 && n % delayEvery_ == 0) {
        out.extraDelay = std::chrono::milliseconds(delayMs_);
    }
    return out;
}

}  // namespace velmora::sim
