// The serial reply assembler against a plain model of its steps: hunt in a
// 256-byte scan buffer from position 2 for 50 56 or FE EF, collect 18 bytes,
// hand the frame on, start over; the scan position wraps from 256 to 2.
// The first two input bytes name a position at which the connection is
// renewed (both start afresh); the rest is the line.

#include "check.h"

#include "protocol/reply_assembly.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

using velmora::protocol::FrameBytes;

class PlainAssembler {
public:
    std::vector<FrameBytes> frames;

    void OnByte(std::uint8_t b)
    {
        if (synchronised) {
            reply[count] = b;
            count = count + 1;
        } else {
            scan[index] = b;
            index = index + 1;
        }
        if (!synchronised && scan[index - 2] == 0x50 && scan[index - 1] == 0x56) {
            Start(0x50, 0x56);
        }
        if (!synchronised && scan[index - 2] == 0xFE && scan[index - 1] == 0xEF) {
            Start(0xFE, 0xEF);
        }
        if (count == 18) {
            frames.push_back(reply);
            Reset();
        }
        if (index == 256) {
            index = 2;
        }
    }
    void Reset()
    {
        synchronised = false;
        count = 0;
        index = 2;
        scan.fill(0);
        reply.fill(0);
    }

private:
    void Start(std::uint8_t first, std::uint8_t second)
    {
        synchronised = true;
        reply[0] = first;
        reply[1] = second;
        count = 2;
        index = 2;
    }

    std::array<std::uint8_t, 256> scan{};
    int index = 2;
    bool synchronised = false;
    FrameBytes reply{};
    int count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const std::size_t renewAt = data[0] | (data[1] << 8);
    data += 2;
    size -= 2;

    std::vector<FrameBytes> got;
    velmora::protocol::SerialReplyAssembler assembler([&](std::span<const std::uint8_t, 18> frame) {
        FrameBytes copy;
        std::memcpy(copy.data(), frame.data(), frame.size());
        got.push_back(copy);
    });
    PlainAssembler model;
    for (std::size_t i = 0; i < size; ++i) {
        if (i == renewAt) {
            assembler.Reset();
            model.Reset();
        }
        assembler.OnByte(data[i]);
        model.OnByte(data[i]);
        FUZZ_REQUIRE(got.size() == model.frames.size());
    }
    FUZZ_REQUIRE(got == model.frames);
    return 0;
}
