#pragma once
// Line settings of a serial device: speed, character format, raw mode and the
// modem control lines, applied as a chain of steps.

#include <termios.h>

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::transport {

inline constexpr std::uint32_t kLineControlRts = 1;
inline constexpr std::uint32_t kLineControlDtr = 2;

struct LineSettings {
    unsigned baud = 115200;
    char parity = 'N';  // N, E, O, M or S (either case)
    int dataBits = 8;  // 5 to 8
    int stopBits = 1;  // 1 or 2
};

// The termios speed of a baud rate; only the standard speeds have one.
std::optional<speed_t> SpeedForBaud(unsigned baud);

// "baud=115200 parity=N data=8 stop=2": how the settings read in traces.
std::string LineSettingsText(const LineSettings& settings);

// Builds raw 'base' into the settings: no echo, no line editing, no
// translation, no flow control, receiver on, modem status lines ignored.
// Fails (false) on a speed, parity, data or stop value it cannot express.
bool BuildTermios(const LineSettings& settings, termios& base);

struct ConfigFailure {
    const char* step;  // name of the failing call, as traced
    int error;  // errno of the failure
};

// Runs the configuration chain on an open device; the first failing step ends
// it and is returned. Order: read the settings, build them, apply them (and
// read them back), then the modem lines DTR/RTS. The modem lines come last:
// a pseudo-terminal has none, and the line settings must still be in force.
std::optional<ConfigFailure> ConfigureLine(int fd, const LineSettings& settings, std::uint32_t lineControl);

}  // namespace velmora::transport
