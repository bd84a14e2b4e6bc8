#include "transport/port_holder_name.h"

#include "transport/serial_lock.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora::transport {

namespace {

// More processes than this are not looked through.
constexpr int kMaxProcesses = 100000;
constexpr int kMaxDescriptors = 100000;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ProcessName(const std::string& procRoot, long pid)
{
    std::string name = ReadFile(procRoot + "/" + std::to_string(pid) + "/comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) {
        name.pop_back();
    }
    return name;
}

bool HasOpen(const std::string& fdDir, const struct stat& device)
{
    DIR* dir = ::opendir(fdDir.c_str());
    if (!dir) {
        return false;
    }
    bool found = false;
    int seen = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (++seen > kMaxDescriptors) {
            break;
        }
        if (entry->d_name[0] != '.' && ::stat((fdDir + "/" + entry->d_name).c_str(), &st) == 0 && S_ISCHR(st.st_mode) &&
            st.st_rdev == device.st_rdev) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::optional<long> LockFileOwner(const std::string& devicePath)
{
    const std::string lockFile = SerialLock::LockFilePath(devicePath);
    if (lockFile.empty()) {
        return std::nullopt;
    }
    const long pid = SerialLock::ParseLockPid(ReadFile(lockFile));
    if (pid <= 0 || pid == ::getpid() || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)) {
        return std::nullopt;
    }
    return pid;
}

}  // namespace

std::optional<Holder> FindHolder(const std::string& devicePath, const std::string& procRoot)
{
    if (const auto pid = LockFileOwner(devicePath)) {
        return Holder{*pid, ProcessName(procRoot, *pid)};
    }
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
        return std::nullopt;
    }
    DIR* proc = ::opendir(procRoot.c_str());
    if (!proc) {
        return std::nullopt;
    }
    std::optional<Holder> holder;
    int seen = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (++seen > kMaxProcesses) {
            break;
        }
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == ::getpid()) {
            continue;
        }
        if (HasOpen(procRoot + "/" + entry->d_name + "/fd", device)) {
            holder = Holder{pid, ProcessName(procRoot, pid)};
            break;
        }
    }
    ::closedir(proc);
    return holder;
}

std::string HolderText(const std::optional<Holder>& holder)
{
    if (!holder) {
        return "held by another program";
    }
    return "held by PID " + std::to_string(holder->pid) + (holder->name.empty() ? "" : " (" + holder->name + ")");
}

}  // namespace velmora::transport
