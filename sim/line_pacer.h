#pragma once
// Writes bytes no faster than a serial line would carry them: eleven bit
// times a byte (start, eight data, two stop bits).

#include "sim/stop_signal.h"

#include <chrono>
#include <cstdint>
#include <span>

namespace velmora::sim {

inline constexpr unsigned kBitsPerByte = 11;

class LinePacer {
public:
    explicit LinePacer(unsigned baud);
    std::chrono::nanoseconds ByteTime() const { return byteTime_; }
    // How many bytes a receiver holds 'elapsed' after the first start bit:
    // byte k (from 0) is whole at the end of its slot, (k + 1) byte times in.
    std::size_t BytesArrived(std::chrono::nanoseconds elapsed) const;
    // Writes `bytes` to `fd`, each when it has crossed the line; the call
    // returns with the last byte. Bytes the other side cannot take at once
    // are dropped. False when stopped.
    bool Write(int fd, std::span<const std::uint8_t> bytes, StopSignal& stop);

private:
    std::chrono::nanoseconds byteTime_;
};

}  // namespace velmora::sim
