#include "protocol/frame.h"

#include <algorithm>
#include <numeric>

namespace velmora::protocol {

std::uint8_t FrameChecksum(std::span<const std::uint8_t> block)
{
    if (block.empty()) {
        return 0;
    }
    const unsigned sum = std::accumulate(block.begin(), block.end() - 1, 0u);
    return static_cast<std::uint8_t>(sum & 0xFFu);
}

bool ChecksumMatches(std::span<const std::uint8_t, kFrameSize> frame)
{
    return FrameChecksum(frame) == frame[kChecksumByte];
}

CommandFrame::CommandFrame()
{
    bytes_[0] = kStart0;
    bytes_[1] = kStart1;
    bytes_[2] = kStart2;
}

void CommandFrame::Begin(Command command)
{
    std::fill(bytes_.begin() + kClassByte, bytes_.end(), 0);
    bytes_[kClassByte] = command.cls;
    bytes_[kCommandByte] = command.cmd;
}

void CommandFrame::BeginShort(Command command)
{
    std::fill(bytes_.begin() + kClassByte, bytes_.begin() + kResetFrameSize, 0);
    bytes_[kClassByte] = command.cls;
    bytes_[kCommandByte] = command.cmd;
}

void CommandFrame::Seal() { bytes_[kChecksumByte] = FrameChecksum(bytes_); }

FrameBytes MakeFrame(Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params)
{
    CommandFrame frame;
    frame.Begin(command);
    for (const auto& [index, value] : params) {
        frame.Set(index, value);
    }
    frame.Seal();
    return frame.Bytes();
}

bool StartsFrame(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == kStart0 && bytes[1] == kStart1 && bytes[2] == kStart2;
}

}  // namespace velmora::protocol
