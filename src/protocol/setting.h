#pragma once
// The shapes of the switcher's settings. Each setting is one row: its
// command, where its value travels, its range and how on and off are
// encoded in each direction. The pages, the simulated switcher and the tests
// all read the same rows.

#include "protocol/frame.h"

#include <cstdint>
#include <optional>

namespace velmora::protocol {

// Where a setting's value goes in its set command and in read answers.
inline constexpr std::size_t kValueByte = kFirstParam;
inline constexpr std::size_t kSecondValueByte = kFirstParam + 1;
inline constexpr std::size_t kThirdValueByte = kFirstParam + 2;

// A number from min to max, sent in byte 5.
struct ValueSetting {
    Command set;
    std::uint8_t min;
    std::uint8_t max;
    std::size_t statusByte;  // where the page's status answer reports it
    std::size_t echoByte = 0;  // a second byte that repeats the value, 0 for none

    constexpr bool InRange(int value) const { return value >= min && value <= max; }
};

// One entry of a list of `count`, sent as its position + 1 in byte 5. Some
// status answers report the position, others the value sent.
struct ListSetting {
    Command set;
    std::uint8_t count;
    std::size_t statusByte;
    std::uint8_t statusBase;  // status value of the first entry
    std::uint8_t byte6 = 0;  // a fixed second parameter

    static constexpr std::uint8_t ValueOf(int position) { return static_cast<std::uint8_t>(position + 1); }
    constexpr bool ValidValue(std::uint8_t value) const { return value >= 1 && value <= count; }
    // The entry a status byte names; out of range means no entry.
    constexpr int PositionOf(std::uint8_t status) const { return static_cast<int>(status) - statusBase; }
    constexpr std::uint8_t StatusOf(std::uint8_t value) const
    {
        return static_cast<std::uint8_t>(value - 1 + statusBase);
    }
};

// On or off. "On" is the checked state of the control that sets it; the
// command and the status answer may encode it differently.
struct SwitchSetting {
    Command set;
    std::uint8_t commandOn;  // byte 5 of the command that switches it on
    std::uint8_t commandOff;
    std::size_t statusByte;
    std::uint8_t statusOn;  // the status value that reads as on; anything else reads as off
    std::uint8_t statusOff;  // what a switcher reports when off

    constexpr std::uint8_t CommandByte(bool on) const { return on ? commandOn : commandOff; }
    constexpr std::uint8_t StatusByte(bool on) const { return on ? statusOn : statusOff; }
    constexpr bool StatusIsOn(std::uint8_t status) const { return status == statusOn; }
    // What a command asks for; nothing for a byte that is neither.
    constexpr std::optional<bool> FromCommand(std::uint8_t value) const
    {
        if (value == commandOn) {
            return true;
        }
        if (value == commandOff) {
            return false;
        }
        return std::nullopt;
    }
};

// A number from 0 to max, big-endian in bytes 5 and 6, read back after it is set.
struct WordSetting {
    Command set;
    Command read;
    std::uint16_t max;
    std::size_t statusHigh;  // the status answer's high byte; the low byte follows

    constexpr bool InRange(long value) const { return value >= 0 && value <= max; }
};

// A value moved one step at a time, then read back into byte 5 of the answer.
struct StepSetting {
    Command step;
    Command read;
    std::size_t statusByte;
};

// Byte 5 of a step command.
inline constexpr std::uint8_t kStepUp = kOn;
inline constexpr std::uint8_t kStepDown = kOff;

constexpr std::uint8_t HighByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
constexpr std::uint8_t LowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFFu); }
constexpr std::uint16_t Word(std::uint8_t high, std::uint8_t low)
{
    return static_cast<std::uint16_t>((high << 8) | low);
}

}  // namespace velmora::protocol
