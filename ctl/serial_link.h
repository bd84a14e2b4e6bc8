#pragma once
// The switcher on a serial port, opened as the panel opens it: exclusive
// (flock, TIOCEXCL and a UUCP lock file), 8N2, DTR and RTS on.

#include "link.h"

#include "protocol/reply_assembly.h"
#include "transport/serial_lock.h"

#include <memory>

namespace velmora::cli {

class SerialLink : public Link {
public:
    // `port` is COM<n> or a device path. Throws CliError: unreachable when
    // there is no such port, busy when another program holds it.
    static std::unique_ptr<SerialLink> Open(const std::string& port, unsigned baud);
    ~SerialLink() override;

private:
    SerialLink(int fd, std::string name);
    void Feed(std::span<const std::uint8_t> bytes) override;

    protocol::SerialReplyAssembler assembler_;
    transport::SerialLock lock_;
    int fd_;
};

// The device a --port text names: COM<n> by the panel's numbering and port
// map, anything else as a path. Nothing for a COM number that names none.
std::optional<std::string> DeviceForPort(const std::string& port);

}  // namespace velmora::cli
