#include "transport/serial_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace velmora::transport {

namespace {

constexpr const char* kLockDirectories[] = {"/run/lock", "/var/lock"};
constexpr int kTakeOverAttempts = 3;

std::string LockDirectory()
{
    for (const char* dir : kLockDirectories) {
        if (access(dir, W_OK | X_OK) == 0) {
            return dir;
        }
    }
    return {};
}

std::string ResolvedPath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

std::string ReadSmallFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return {};
    }
    char buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool ProcessAlive(long pid) { return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

enum class LockFileResult { Taken, Busy, Skipped };

// Writes our PID into a private file and links it to the lock name, so the
// lock file appears whole or not at all.
LockFileResult TakeLockFile(const std::string& dir, const std::string& lockFile)
{
    static std::atomic<unsigned> counter{0};
    const std::string temp = dir + "/LTMP." + std::to_string(getpid()) + "." + std::to_string(counter++);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return LockFileResult::Skipped;
    }
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(getpid()));
    const bool written = write(fd, text, static_cast<std::size_t>(length)) == length;
    close(fd);
    if (!written) {
        unlink(temp.c_str());
        return LockFileResult::Skipped;
    }
    LockFileResult result = LockFileResult::Skipped;
    for (int attempt = 0; attempt < kTakeOverAttempts; ++attempt) {
        if (link(temp.c_str(), lockFile.c_str()) == 0) {
            result = LockFileResult::Taken;
            break;
        }
        if (errno != EEXIST) {
            break;  // no hard links here: do without the lock file
        }
        if (ProcessAlive(SerialLock::ParseLockPid(ReadSmallFile(lockFile)))) {
            result = LockFileResult::Busy;
            break;
        }
        unlink(lockFile.c_str());  // stale
        result = LockFileResult::Busy;  // if the last attempt loses a race
    }
    unlink(temp.c_str());
    return result;
}

}  // namespace

SerialLock::~SerialLock() { RemoveLockFile(); }

void SerialLock::RemoveLockFile()
{
    // Remove it only while it is still ours.
    if (!lockFile_.empty() && ParseLockPid(ReadSmallFile(lockFile_)) == static_cast<long>(getpid())) {
        unlink(lockFile_.c_str());
    }
    lockFile_.clear();
}

std::string SerialLock::LockFileName(const std::string& devicePath)
{
    std::string name = ResolvedPath(devicePath);
    constexpr std::string_view kDev = "/dev/";
    if (name.compare(0, kDev.size(), kDev) == 0) {
        name.erase(0, kDev.size());
    }
    while (!name.empty() && name.front() == '/') {
        name.erase(0, 1);
    }
    for (char& c : name) {
        if (c == '/') {
            c = '-';
        }
    }
    return "LCK.." + name;
}

std::string SerialLock::LockFilePath(const std::string& devicePath)
{
    const std::string dir = LockDirectory();
    return dir.empty() ? std::string() : dir + "/" + LockFileName(devicePath);
}

long SerialLock::ParseLockPid(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(begin, &end, 10);
    if (end == begin || errno != 0 || pid <= 0 || pid > INT_MAX) {
        return 0;
    }
    return pid;
}

bool SerialLock::Acquire(int fd, const std::string& devicePath)
{
    Release(fd);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    if (const std::string dir = LockDirectory(); !dir.empty()) {
        const std::string lockFile = dir + "/" + LockFileName(devicePath);
        switch (TakeLockFile(dir, lockFile)) {
        case LockFileResult::Taken:
            lockFile_ = lockFile;
            break;
        case LockFileResult::Busy:
            flock(fd, LOCK_UN);
            errno = EBUSY;
            return false;
        case LockFileResult::Skipped:
            break;
        }
    }
    // Not a terminal, or a kernel without it: flock and the lock file remain.
    ioctl(fd, TIOCEXCL);
    held_ = true;
    return true;
}

void SerialLock::Release(int fd)
{
    if (!held_) {
        return;
    }
    held_ = false;
    ioctl(fd, TIOCNXCL);
    RemoveLockFile();
    flock(fd, LOCK_UN);
}

}  // namespace velmora::transport
