#pragma once
// The simulated switcher's behaviour: one command frame in, the answer
// frames out. Not thread-safe; the simulator guards it with a mutex.

#include "protocol/frame.h"
#include "sim/device_state.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::sim {

class DeviceModel {
public:
    using State = DeviceState;

    // Takes one 18-byte frame. Frames of another length, without "PVT", with
    // a wrong checksum, of an unknown command or with a value out of range
    // are ignored: no answer, no change.
    std::vector<protocol::FrameBytes> Handle(std::span<const std::uint8_t> frame);

    // The 13-byte factory reset (and the Advanced page's reset command).
    void FactoryReset();

    const State& GetState() const { return state_; }
    State& MutableState() { return state_; }

    // A mixer audio volume above the audio volume: unanswered and unchanged
    // when set, else clamped to the audio volume and echoed.
    void SetDropMixerOverVolume(bool drop) { dropMixerOverVolume_ = drop; }

private:
    std::vector<protocol::FrameBytes> HandleStatus(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleGeneral(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleSettings(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleSteps(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleAudio(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleAdvanced(const protocol::FrameBytes& in);
    std::vector<protocol::FrameBytes> HandleNetwork(const protocol::FrameBytes& in);

    State state_;
    bool dropMixerOverVolume_ = false;
};

// Byte 5 of the factory reset as a full 18-byte frame would be "select HDMI 3":
// true when the 13 bytes are exactly the reset message.
bool IsFactoryResetPrefix(std::span<const std::uint8_t> bytes);

}  // namespace velmora::sim
