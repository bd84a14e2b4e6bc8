#pragma once
// What a frame on the line means, in the names of the settings: "set input
// DP", "status: General input HDMI 1, ...", "checksum wrong". For the
// traffic log and for velmoractl's raw command.

#include <cstdint>
#include <span>
#include <string>

namespace velmora::protocol {

enum class Direction { Sent, Received };

std::string DescribeFrame(std::span<const std::uint8_t> bytes, Direction direction);

}  // namespace velmora::protocol
