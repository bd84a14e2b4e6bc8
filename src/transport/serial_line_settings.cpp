#include "transport/serial_line_settings.h"

#include <sys/ioctl.h>

#include <cctype>
#include <cerrno>

namespace velmora::transport {

namespace {

struct SpeedEntry {
    unsigned baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

std::optional<tcflag_t> CharSize(int dataBits)
{
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return std::nullopt;
    }
}

std::optional<tcflag_t> ParityFlags(char parity)
{
    switch (std::toupper(static_cast<unsigned char>(parity))) {
    case 'N':
        return tcflag_t{0};
    case 'E':
        return tcflag_t{PARENB};
    case 'O':
        return tcflag_t{PARENB | PARODD};
    case 'M':
        return tcflag_t{PARENB | CMSPAR | PARODD};
    case 'S':
        return tcflag_t{PARENB | CMSPAR};
    default:
        return std::nullopt;
    }
}

constexpr tcflag_t kFormatMask = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR;

}  // namespace

std::optional<speed_t> SpeedForBaud(unsigned baud)
{
    for (const auto& entry : kSpeeds) {
        if (entry.baud == baud) {
            return entry.speed;
        }
    }
    return std::nullopt;
}

std::string LineSettingsText(const LineSettings& settings)
{
    return "baud=" + std::to_string(settings.baud) + " parity=" + std::string(1, settings.parity) +
           " data=" + std::to_string(settings.dataBits) + " stop=" + std::to_string(settings.stopBits);
}

bool BuildTermios(const LineSettings& settings, termios& t)
{
    const auto speed = SpeedForBaud(settings.baud);
    const auto size = CharSize(settings.dataBits);
    const auto parity = ParityFlags(settings.parity);
    if (!speed || !size || !parity || (settings.stopBits != 1 && settings.stopBits != 2)) {
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag &= ~(kFormatMask | CRTSCTS | HUPCL);
    t.c_cflag |= *size | *parity | CLOCAL | CREAD;
    if (settings.stopBits == 2) {
        t.c_cflag |= CSTOPB;
    }
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    if (*parity != 0) {
        t.c_iflag |= INPCK;
    }
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return cfsetispeed(&t, *speed) == 0 && cfsetospeed(&t, *speed) == 0;
}

std::optional<ConfigFailure> ConfigureLine(int fd, const LineSettings& settings, std::uint32_t lineControl)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return ConfigFailure{"tcgetattr()", errno};
    }
    if (!BuildTermios(settings, t)) {
        return ConfigFailure{"BuildTermios()", EINVAL};
    }
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        return ConfigFailure{"tcsetattr()", errno};
    }
    // tcsetattr succeeds when any part of the change took: read it back.
    termios applied{};
    if (tcgetattr(fd, &applied) != 0) {
        return ConfigFailure{"tcgetattr() after tcsetattr()", errno};
    }
    if ((applied.c_cflag & kFormatMask) != (t.c_cflag & kFormatMask) || cfgetospeed(&applied) != cfgetospeed(&t) ||
        (applied.c_lflag & (ICANON | ECHO)) != 0) {
        return ConfigFailure{"tcsetattr()", EINVAL};
    }
    int on = 0;
    int off = 0;
    ((lineControl & kLineControlDtr) ? on : off) |= TIOCM_DTR;
    ((lineControl & kLineControlRts) ? on : off) |= TIOCM_RTS;
    if (on != 0 && ioctl(fd, TIOCMBIS, &on) != 0) {
        return ConfigFailure{"ioctl(TIOCMBIS)", errno};
    }
    if (off != 0 && ioctl(fd, TIOCMBIC, &off) != 0) {
        return ConfigFailure{"ioctl(TIOCMBIC)", errno};
    }
    return std::nullopt;
}

}  // namespace velmora::transport
