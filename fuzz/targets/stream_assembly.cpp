// The TCP stream assembler: the frames it hands on do not depend on how the
// stream was cut into reads, and are the frames a plain scan of the whole
// stream finds (every "PVT" and the 15 bytes after it, garbage skipped).
// Input: a byte of read sizes' seed, then the stream.

#include "check.h"

#include "protocol/reply_assembly.h"

#include <cstring>
#include <vector>

namespace {

using velmora::protocol::FrameBytes;
using velmora::protocol::kFrameSize;

std::vector<FrameBytes> PlainScan(const std::uint8_t* data, std::size_t size)
{
    std::vector<FrameBytes> frames;
    std::size_t pos = 0;
    while (pos + kFrameSize <= size) {
        if (data[pos] == 0x50 && data[pos + 1] == 0x56 && data[pos + 2] == 0x54) {
            FrameBytes frame;
            std::memcpy(frame.data(), data + pos, kFrameSize);
            frames.push_back(frame);
            pos += kFrameSize;
        } else {
            ++pos;
        }
    }
    return frames;
}

struct Collector {
    std::vector<FrameBytes> frames;
    velmora::protocol::StreamReplyAssembler assembler{[this](std::span<const std::uint8_t, kFrameSize> frame) {
        FrameBytes copy;
        std::memcpy(copy.data(), frame.data(), frame.size());
        frames.push_back(copy);
    }};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    unsigned seed = data[0] * 2654435761u + 1;
    data += 1;
    size -= 1;

    Collector whole;
    whole.assembler.OnData({data, size});
    FUZZ_REQUIRE(whole.assembler.Buffered() < kFrameSize);

    Collector pieces;
    for (std::size_t pos = 0; pos < size;) {
        seed = seed * 1103515245u + 12345u;
        // Mostly small reads, now and then one larger than the buffer.
        const std::size_t want = (seed >> 16) % 8 == 0 ? (seed >> 8) % 3000 + 1 : (seed >> 16) % 40 + 1;
        const std::size_t n = std::min(want, size - pos);
        pieces.assembler.OnData({data + pos, n});
        FUZZ_REQUIRE(pieces.assembler.Buffered() < kFrameSize);
        pos += n;
    }
    FUZZ_REQUIRE(whole.frames == pieces.frames);
    FUZZ_REQUIRE(whole.frames == PlainScan(data, size));
    return 0;
}
