#pragma once
// Which program holds a serial device: the PID of its lock file, or else a
// process with the device open, and that process's name.

#include <optional>
#include <string>

namespace velmora::transport {

struct Holder {
    long pid = 0;
    std::string name;  // /proc/<pid>/comm
};

std::optional<Holder> FindHolder(const std::string& devicePath, const std::string& procRoot = "/proc");
// "held by PID 4711 (minicom)", or "held by another program".
std::string HolderText(const std::optional<Holder>& holder);

}  // namespace velmora::transport
