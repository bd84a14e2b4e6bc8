#include "sim/line_pacer.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace velmora::sim {

namespace {
constexpr unsigned kMinBaud = 50;
constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
}  // namespace

LinePacer::LinePacer(unsigned baud) : byteTime_(kNanosPerSecond * kBitsPerByte / std::max(baud, kMinBaud)) {}

std::size_t LinePacer::BytesArrived(std::chrono::nanoseconds elapsed) const
{
    return elapsed.count() < 0 ? 0 : static_cast<std::size_t>(elapsed / byteTime_);
}

bool LinePacer::Write(int fd, std::span<const std::uint8_t> bytes, StopSignal& stop)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (stop.Requested()) {
            return false;
        }
        const auto due = std::min(bytes.size(), BytesArrived(Clock::now() - start));
        if (due > sent) {
            const ssize_t n = ::write(fd, bytes.data() + sent, due - sent);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;  // nobody takes the bytes: they are lost, as on a wire
            }
            sent += static_cast<std::size_t>(n);
        }
        // Until the end of the next byte's slot.
        if (sent < bytes.size() && !stop.SleepUntil(start + byteTime_ * static_cast<std::int64_t>(sent + 1))) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora::sim
