#pragma once
// Every setting of the simulated switcher, with its factory values.

#include <array>
#include <cstdint>

namespace velmora::sim {

inline constexpr std::size_t kInputs = 5;

struct DeviceState {
    // General. Stored as the values the set commands carry (1-based), except
    // audio sources, which are 0 embedded, 1..5 external.
    std::uint8_t input = 1;
    std::array<std::uint8_t, kInputs> audioSource{0, 0, 0, 0, 1};
    std::uint8_t autoSwitch = 1;
    std::uint8_t resolution = 13;
    std::uint8_t aspectRatio = 2;
    std::uint8_t edid = 5;
    std::uint8_t hdcp = 2;

    // Video.
    std::uint8_t contrast = 50;
    std::uint8_t brightness = 50;
    std::uint8_t color = 30;
    std::uint8_t sharpness = 10;
    std::uint8_t vgaHSize = 10;
    std::uint8_t vgaVSize = 10;
    std::uint8_t hPosition = 50;
    std::uint8_t vPosition = 50;
    std::uint8_t clock = 50;
    std::uint8_t phase = 50;

    // Audio.
    bool mute = false;
    std::uint8_t volume = 24;
    bool micMute = false;
    std::uint8_t micVolume = 16;
    std::uint8_t mixerMode = 2;
    std::uint8_t mixerVolume = 12;
    std::uint16_t fadeInMs = 500;
    std::uint16_t fadeOutMs = 500;

    // Advanced.
    bool beep = true;
    bool power = true;
    std::uint8_t serialBaud = 6;
    std::uint8_t sleepTimer = 1;
    std::uint8_t osdTimeout = 1;
    std::uint8_t versionMajor = 1;
    std::uint8_t versionMinor = 2;
    int upgrades = 0;

    // Network.
    bool dhcp = false;
    std::array<std::uint8_t, 4> ip{192, 168, 1, 200};
    std::array<std::uint8_t, 4> subnet{255, 255, 255, 0};
    std::array<std::uint8_t, 4> gateway{192, 168, 1, 1};
    std::array<std::uint8_t, 6> mac{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};
    std::uint16_t tcpPort = 8000;

    // Counters the tests and the demo look at.
    int factoryResets = 0;

    friend bool operator==(const DeviceState&, const DeviceState&) = default;
};

}  // namespace velmora::sim
