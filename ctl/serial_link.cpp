#include "serial_link.h"

#include "cli_error.h"
#include "transport/port_holder_name.h"

#include "transport/port_map.h"
#include "transport/serial_line_settings.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace velmora::cli {

namespace {

constexpr char kComPrefix[] = "COM";
constexpr std::size_t kComPrefixSize = sizeof kComPrefix - 1;
// The switcher's line format.
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 2;

bool IsComName(const std::string& port)
{
    if (port.size() <= kComPrefixSize) {
        return false;
    }
    for (std::size_t i = 0; i < kComPrefixSize; ++i) {
        if (std::toupper(static_cast<unsigned char>(port[i])) != kComPrefix[i]) {
            return false;
        }
    }
    return true;
}

std::string Busy(const std::string& port, const std::string& device)
{
    return port + ": busy, " + transport::HolderText(transport::FindHolder(device));
}

}  // namespace

std::optional<std::string> DeviceForPort(const std::string& port)
{
    if (!IsComName(port)) {
        return port;
    }
    int number = 0;
    const char* first = port.data() + kComPrefixSize;
    const auto [end, error] = std::from_chars(first, port.data() + port.size(), number);
    if (error != std::errc{} || end != port.data() + port.size()) {
        return std::nullopt;
    }
    return transport::DevicePathForPort(number);
}

std::unique_ptr<SerialLink> SerialLink::Open(const std::string& port, unsigned baud)
{
    const auto device = DeviceForPort(port);
    if (!device) {
        throw CliError(kExitUnreachable, port + ": no such port");
    }
    if (!transport::SpeedForBaud(baud)) {
        throw CliError(kExitUsage, "--baud " + std::to_string(baud) + " is no serial speed");
    }
    const int fd = ::open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EBUSY) {
            throw CliError(kExitBusy, Busy(port, *device));
        }
        throw CliError(kExitUnreachable, port + ": cannot open " + *device + ": " + std::strerror(errno));
    }
    std::unique_ptr<SerialLink> link(new SerialLink(fd, port));
    if (!link->lock_.Acquire(fd, *device)) {
        throw CliError(kExitBusy, Busy(port, *device));
    }
    // A pseudo-terminal has no modem lines; the line settings stand anyway.
    transport::ConfigureLine(fd, {baud, kParity, kDataBits, kStopBits},
                             transport::kLineControlDtr | transport::kLineControlRts);
    // An answer left over from whoever used the port before is no answer to us.
    ::tcflush(fd, TCIFLUSH);
    return link;
}

SerialLink::SerialLink(int fd, std::string name)
    : Link(fd, std::move(name)), assembler_([this](auto frame) { Arrived(frame); }), fd_(fd)
{}

SerialLink::~SerialLink() { lock_.Release(fd_); }

void SerialLink::Feed(std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t byte : bytes) {
        assembler_.OnByte(byte);
    }
}

}  // namespace velmora::cli
