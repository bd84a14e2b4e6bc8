#include "protocol/send_path.h"

#include <algorithm>

namespace velmora::protocol {

SendPath::SendPath(SendLog& log, std::function<bool()> comMode, FrameSink& serial, FrameSink& tcp)
    : log_(log), comMode_(std::move(comMode)), serial_(serial), tcp_(tcp)
{}

void SendPath::SendFrame(std::size_t length)
{
    length = std::min(length, kFrameSize);
    if (length == kFrameSize) {
        frame_.Seal();
    }
    const std::span<const std::uint8_t> bytes(frame_.Data(), length);
    (comMode_() ? serial_ : tcp_).Write(bytes);
    log_.Append(bytes);
}

void SendPath::Send(Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params)
{
    frame_.Begin(command);
    for (const auto& [index, value] : params) {
        frame_.Set(index, value);
    }
    SendFrame(kFrameSize);
}

}  // namespace velmora::protocol
