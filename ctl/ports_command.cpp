// velmoractl ports: every serial port the panel would list, busy ones too,
// with what the system knows of it and who holds it.

#include "cli_error.h"
#include "commands.h"
#include "transport/port_holder_name.h"

#include "transport/port_discovery.h"
#include "transport/port_map.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kByIdDir = "/dev/serial/by-id";
constexpr const char* kTtyClass = "/sys/class/tty";
constexpr int kMaxAncestors = 8;
constexpr int kMaxByIdLinks = 1024;

fs::path Resolved(const std::string& path)
{
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    return ec ? fs::path(path) : real;
}

std::string ByIdName(const fs::path& device)
{
    std::error_code ec;
    int seen = 0;
    for (fs::directory_iterator it(kByIdDir, ec), end; !ec && it != end && ++seen <= kMaxByIdLinks; it.increment(ec)) {
        if (Resolved(it->path().string()) == device) {
            return it->path().string();
        }
    }
    return {};
}

// The USB serial number of the device behind a tty, where it has one.
std::string SerialNumber(const fs::path& device)
{
    std::error_code ec;
    fs::path dir = fs::canonical(fs::path(kTtyClass) / device.filename() / "device", ec);
    for (int level = 0; !ec && level < kMaxAncestors && dir.has_parent_path(); ++level, dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", ec)) {
            std::ifstream in(dir / "serial");
            std::string serial;
            std::getline(in, serial);
            return serial;
        }
    }
    return {};
}

std::vector<transport::SSerInfo> Ports(bool skipBusy)
{
    std::vector<transport::SSerInfo> ports;
    try {
        transport::EnumerateSerialPorts(ports, skipBusy);
    } catch (const transport::PortEnumerationError& error) {
        throw CliError(kExitFailed, std::string("cannot list the serial ports: ") + error.what());
    }
    return ports;
}

}  // namespace

Json RunPorts(const Options& options)
{
    if (!options.words.empty()) {
        throw CliError(kExitUsage, "ports takes no words");
    }
    const std::vector<transport::SSerInfo> free = Ports(true);
    Json list = Json::Array();
    for (const transport::SSerInfo& port : Ports(false)) {
        const fs::path device = Resolved(port.devicePath);
        const bool isFree =
            std::any_of(free.begin(), free.end(), [&](const auto& other) { return other.portName == port.portName; });
        Json entry = Json::Object();
        entry.Add("port", Json::Text(port.portName));
        entry.Add("device", Json::Text(port.devicePath));
        entry.Add("by-id", Json::Text(ByIdName(device)));
        entry.Add("maker", Json::Text(port.description));
        entry.Add("serial", Json::Text(SerialNumber(device)));
        entry.Add("state", Json::Text(isFree ? "free" : transport::HolderText(transport::FindHolder(port.devicePath))));
        list.Push(std::move(entry));
    }
    return Json::Object().Add("ports", std::move(list));
}

}  // namespace velmora::cli
