#include "link.h"

#include "cli_error.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace velmora::cli {

namespace {

constexpr std::size_t kReadChunk = 256;
// Frames the far end may send ahead of the one waited for; older ones go.
constexpr std::size_t kMaxWaitingFrames = 64;

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

}  // namespace

Link::~Link() { ::close(fd_); }

void Link::Send(std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            throw CliError(kExitFailed, name_ + ": write failed: " + std::strerror(errno));
        }
        pollfd out{fd_, POLLOUT, 0};
        if (::poll(&out, 1, MillisecondsUntil(deadline)) == 0) {
            throw CliError(kExitFailed, name_ + ": the line takes no more bytes");
        }
    }
}

std::optional<protocol::FrameBytes> Link::NextFrame(Clock::time_point deadline)
{
    while (frames_.empty()) {
        pollfd in{fd_, POLLIN, 0};
        const int ready = ::poll(&in, 1, MillisecondsUntil(deadline));
        if (ready < 0 && errno != EINTR) {
            throw CliError(kExitFailed, name_ + ": " + std::strerror(errno));
        }
        if (ready > 0) {
            ReadSome();
        } else if (Clock::now() >= deadline) {
            return std::nullopt;
        }
    }
    const protocol::FrameBytes frame = frames_.front();
    frames_.pop_front();
    return frame;
}

void Link::ReadSome()
{
    std::array<std::uint8_t, kReadChunk> buffer{};
    const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
    if (n > 0) {
        Feed(std::span(buffer.data(), static_cast<std::size_t>(n)));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    throw CliError(kExitFailed, name_ + ": connection closed by the switcher");
}

void Link::Arrived(std::span<const std::uint8_t, protocol::kFrameSize> frame)
{
    if (frames_.size() == kMaxWaitingFrames) {
        frames_.pop_front();
    }
    protocol::FrameBytes copy{};
    std::copy(frame.begin(), frame.end(), copy.begin());
    frames_.push_back(copy);
}

}  // namespace velmora::cli
