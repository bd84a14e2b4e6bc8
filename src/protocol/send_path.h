#pragma once
// The one send operation: checksum, transport by the control mode, send log.

#include "protocol/frame.h"
#include "protocol/hex_log.h"

#include <functional>
#include <span>

namespace velmora::protocol {

// A transport that takes whole frames.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

class SendPath {
public:
    // comMode tells, at the moment of sending, whether COM control is chosen.
    SendPath(SendLog& log, std::function<bool()> comMode, FrameSink& serial, FrameSink& tcp);

    // The shared buffer every builder writes the next command into.
    CommandFrame& Frame() { return frame_; }
    const CommandFrame& Frame() const { return frame_; }

    // Sends the first `length` bytes of the shared buffer; a full frame gets
    // its checksum first, the 13-byte reset does not.
    void SendFrame(std::size_t length);

    // Builds a frame in the shared buffer and sends it.
    void Send(Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params = {});

private:
    SendLog& log_;
    std::function<bool()> comMode_;
    FrameSink& serial_;
    FrameSink& tcp_;
    CommandFrame frame_;
};

}  // namespace velmora::protocol
