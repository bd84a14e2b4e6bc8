#pragma once
// Helpers for the model tests: frames written as literal bytes.

#include "sim/device_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velmora::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kTestFrameSize = 18;

// The given leading bytes, zero-padded to 18, with the checksum in the last.
inline Bytes Frame(std::initializer_list<std::uint8_t> head)
{
    Bytes frame(head);
    frame.resize(kTestFrameSize, 0);
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < kTestFrameSize; ++i) {
        sum += frame[i];
    }
    frame[kTestFrameSize - 1] = static_cast<std::uint8_t>(sum & 0xFF);
    return frame;
}

inline std::vector<Bytes> Answers(DeviceModel& model, const Bytes& in)
{
    std::vector<Bytes> out;
    for (const auto& frame : model.Handle(in)) {
        out.emplace_back(frame.begin(), frame.end());
    }
    return out;
}

inline Bytes One(DeviceModel& model, const Bytes& in)
{
    auto out = Answers(model, in);
    EXPECT_EQ(out.size(), 1u);
    return out.empty() ? Bytes{} : out.front();
}

// The frame with the given leading bytes must come back unchanged.
inline void ExpectEcho(DeviceModel& model, std::initializer_list<std::uint8_t> head)
{
    const Bytes frame = Frame(head);
    EXPECT_EQ(One(model, frame), frame);
}

}  // namespace velmora::sim::test
