#pragma once
// The device model behind a mutex, shared by the pty and TCP lines.

#include "sim/device_model.h"

#include <functional>
#include <mutex>

namespace velmora::sim {

class SharedDevice {
public:
    std::vector<protocol::FrameBytes> Handle(std::span<const std::uint8_t> frame)
    {
        std::lock_guard lock(mutex_);
        return model_.Handle(frame);
    }
    void FactoryReset()
    {
        std::lock_guard lock(mutex_);
        model_.FactoryReset();
    }
    void SetDropMixerOverVolume(bool drop)
    {
        std::lock_guard lock(mutex_);
        model_.SetDropMixerOverVolume(drop);
    }
    DeviceState Snapshot() const
    {
        std::lock_guard lock(mutex_);
        return model_.GetState();
    }
    void Modify(const std::function<void(DeviceState&)>& change)
    {
        std::lock_guard lock(mutex_);
        change(model_.MutableState());
    }

private:
    mutable std::mutex mutex_;
    DeviceModel model_;
};

}  // namespace velmora::sim
