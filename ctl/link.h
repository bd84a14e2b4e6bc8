#pragma once
// A blocking line to the switcher: whole frames out, assembled frames in,
// every wait bounded by a deadline. Serial and TCP links differ only in how
// they open and how their bytes are assembled.

#include "protocol/frame.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>

namespace velmora::cli {

using Clock = std::chrono::steady_clock;

class Link {
public:
    virtual ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Throws CliError (failed) when the line is gone.
    void Send(std::span<const std::uint8_t> bytes);
    // The next frame that arrives before the deadline, checksum unchecked;
    // nothing at the deadline. Throws CliError (failed) when the far end
    // closes the line.
    std::optional<protocol::FrameBytes> NextFrame(Clock::time_point deadline);
    // Where it goes: "COM5", "127.0.0.1:8000".
    const std::string& Name() const { return name_; }

protected:
    Link(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    // Hands received bytes to the link's assembler, which calls Arrived.
    virtual void Feed(std::span<const std::uint8_t> bytes) = 0;
    void Arrived(std::span<const std::uint8_t, protocol::kFrameSize> frame);

private:
    void ReadSome();

    int fd_;
    std::string name_;
    std::deque<protocol::FrameBytes> frames_;
};

}  // namespace velmora::cli
