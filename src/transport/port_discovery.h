#pragma once
// Discovery of the serial ports that are present and free.
//
// Present ports come from sysfs (/sys/class/tty): ttyS, ttyUSB and ttyACM
// devices that are real (a ttyS without a device or of port type 0 is one of
// the legacy ports the kernel reserves whether or not a UART is there), plus
// every link of the port map directory. Each port gets the friendly name
// "<kind> (COM<n>)", from which the port list reads its number.
//
// A port that another program holds is left out without opening it (opening
// a tty raises DTR, which resets many boards): a UUCP lock file LCK..<name>
// with a live owner (the name as SerialLock writes it), a flock/POSIX/OFD
// lock on the device node listed in /proc/locks, or an open descriptor of
// another process on the device (see port_holders.h), which is all a program
// leaves that takes its port with TIOCEXCL alone. A port this user may not
// open for reading and writing is left out too.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::transport {

class HolderWatch;

struct SSerInfo {
    std::string devicePath;  // path that opens the port
    std::string portName;  // "COM<n>"
    std::string friendlyName;  // "<kind> (COM<n>)"
    bool isUsb = false;
    std::string description;  // the device's own name (USB strings, driver, or link target)
};

// An enumeration that could not read what it needs; what() tells why.
class PortEnumerationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where discovery looks. The defaults are the running system's; tests point
// them into a temporary tree.
struct DiscoveryRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
    std::vector<std::string> lockDirs = {"/run/lock", "/var/lock"};
    std::string proc = "/proc";
    // The port map directory; unset means the program's (PortMap::Directory()).
    std::optional<std::string> portMapDir;
    // Leave out devices that another process has open (/proc/<pid>/fd).
    bool scanProcessFds = true;
};

inline constexpr const char* kSerialKind = "Serial Port";
inline constexpr const char* kUsbSerialKind = "USB Serial";
inline constexpr const char* kPortMapKind = "Port map";

// Fills ports (emptied first) in ascending port number. A link of the port
// map wins over the device of the same number. Throws PortEnumerationError
// when the tty class directory or the port map directory cannot be read.
void EnumerateSerialPorts(std::vector<SSerInfo>& ports, bool skipBusy);
// With a watch, other programs' descriptors are scanned again only when a
// port may have been opened or closed since the watch's last scan.
void EnumerateSerialPorts(std::vector<SSerInfo>& ports, bool skipBusy, const DiscoveryRoots& roots,
                          HolderWatch* watch = nullptr);

}  // namespace velmora::transport
