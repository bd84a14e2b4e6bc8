#pragma once
// COM port numbers and the device nodes behind them.
//
// COM1-32 are ttyS0-31, COM33-64 ttyUSB0-31 and COM65-96 ttyACM0-31. A port
// map directory adds ports: each link "comN" in it names the device of COM N
// (a pseudo-terminal of a test or of the demo, or a USB adapter's stable
// /dev/serial/by-id name). A link wins over the fixed numbering.

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace velmora::transport {

inline constexpr const char* kPortDirEnv = "VELMORA_PORT_DIR";
inline constexpr int kMaxPortNumber = 255;

struct MappedPort {
    int number;  // N of COM N
    std::string device;  // path that opens it
};

class PortMap {
public:
    // The directory of comN links; empty for none. Starts from the
    // environment variable; the --port-dir option and tests replace it.
    static void SetDirectory(std::string directory);
    static const std::string& Directory();

    // The links of the directory whose number is 1 to kMaxPortNumber, in
    // ascending number (a number linked twice: the names in text order).
    static std::vector<MappedPort> Links();
    // The same for a given directory, reporting why it could not be read. A
    // directory that does not exist holds no links and is no error.
    static std::vector<MappedPort> Links(const std::string& directory, std::error_code& ec);
};

// The fixed numbering: "ttyUSB2" gives 35; names outside it give nothing.
std::optional<int> PortNumberForTty(std::string_view ttyName);
std::optional<std::string> TtyForPortNumber(int number);

// The device that opens COM N: a link of the port map directory, else the
// fixed numbering under /dev.
std::optional<std::string> DevicePathForPort(int number);

}  // namespace velmora::transport
