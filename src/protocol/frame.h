#pragma once
// The switcher's command frame: 18 bytes, "PVT", class, command, twelve
// parameter bytes and a checksum. Replies use the same layout.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::protocol {

inline constexpr std::size_t kFrameSize = 18;
inline constexpr std::size_t kResetFrameSize = 13;  // factory reset: no checksum

inline constexpr std::uint8_t kStart0 = 0x50;  // 'P'
inline constexpr std::uint8_t kStart1 = 0x56;  // 'V'
inline constexpr std::uint8_t kStart2 = 0x54;  // 'T'
// A second frame start the serial assembler also accepts.
inline constexpr std::uint8_t kAltStart0 = 0xFE;
inline constexpr std::uint8_t kAltStart1 = 0xEF;

// Byte positions inside a frame.
inline constexpr std::size_t kClassByte = 3;
inline constexpr std::size_t kCommandByte = 4;
inline constexpr std::size_t kFirstParam = 5;
inline constexpr std::size_t kLastParam = 16;
inline constexpr std::size_t kChecksumByte = 17;

// Two encodings of on/off settings; each command says which way round.
inline constexpr std::uint8_t kOn = 0xF0;
inline constexpr std::uint8_t kOff = 0x0F;

using FrameBytes = std::array<std::uint8_t, kFrameSize>;

// Sum of all bytes but the last, modulo 256.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> block);
bool ChecksumMatches(std::span<const std::uint8_t, kFrameSize> frame);

struct Command {
    std::uint8_t cls;
    std::uint8_t cmd;
    friend constexpr bool operator==(Command, Command) = default;
};

// The one outgoing frame buffer. Bytes 0 to 2 are "PVT" from construction on;
// builders clear what they own and write class, command and parameters.
class CommandFrame {
public:
    CommandFrame();

    // Clears bytes 3 to 17 and writes class and command.
    void Begin(Command command);
    // Clears bytes 3 to 12 only: the factory reset's 13-byte form.
    void BeginShort(Command command);
    void Set(std::size_t index, std::uint8_t value) { bytes_.at(index) = value; }
    std::uint8_t At(std::size_t index) const { return bytes_.at(index); }
    Command GetCommand() const { return {bytes_[kClassByte], bytes_[kCommandByte]}; }
    // Stores the checksum of bytes 0 to 16 in byte 17.
    void Seal();

    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    const FrameBytes& Bytes() const { return bytes_; }

private:
    FrameBytes bytes_{};
};

// A whole frame built at once, with its checksum: for the simulator and tests.
FrameBytes MakeFrame(Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params = {});

bool StartsFrame(std::span<const std::uint8_t> bytes);  // "PVT"

}  // namespace velmora::protocol
