#pragma once
// What a frame on the line means, in the names of the settings: "set input
// DP", "status: General input HDMI 1, ...", "checksum wrong". For the
// traffic log and for velmoractl's raw command.

#include "protocol/traffic.h"

#include <cstdint>
#include <span>
#include <string>

namespace velmora::protocol {

enum class Direction { Sent, Received };

std::string DescribeFrame(std::span<const std::uint8_t> bytes, Direction direction);
// "search answer: 10.0.0.20 02-00-5e-10-00-01", "configuration accepted".
std::string DescribeDatagram(std::span<const std::uint8_t> bytes, DatagramKind kind);

}  // namespace velmora::protocol
