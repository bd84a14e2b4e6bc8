#include "transport/port_holders.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmora::transport {

namespace {

// Device numbers of the pty multiplexer (/dev/ptmx and /dev/pts/ptmx) and of
// the slaves it hands out (/dev/pts/<index>).
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;
constexpr unsigned kPtySlaveMajor = 136;
constexpr std::size_t kMaxFdinfoBytes = 1024;
constexpr int kMaxDescriptorsPerProcess = 1 << 20;
constexpr std::size_t kInotifyBufferBytes = 4096;

bool IsPtySlave(dev_t rdev) { return major(rdev) == kPtySlaveMajor; }

bool IsPtyMaster(dev_t rdev) { return major(rdev) == kPtmxMajor && minor(rdev) == kPtmxMinor; }

bool IsNumber(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// One directory stream over an open directory descriptor; closes both.
class DirStream {
public:
    explicit DirStream(int fd) : dir_(fd >= 0 ? ::fdopendir(fd) : nullptr)
    {
        if (fd >= 0 && !dir_) {
            ::close(fd);
        }
    }
    ~DirStream()
    {
        if (dir_)
            ::closedir(dir_);
    }
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;
    explicit operator bool() const { return dir_ != nullptr; }
    int Fd() const { return ::dirfd(dir_); }
    const dirent* Next() { return ::readdir(dir_); }

private:
    DIR* dir_;
};

int PtyIndexOfMaster(int pidFd, const char* fdName)
{
    const std::string path = std::string("fdinfo/") + fdName;
    const int fd = ::openat(pidFd, path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    char buffer[kMaxFdinfoBytes];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? PtyIndexFromFdinfo(std::string_view(buffer, static_cast<std::size_t>(n))) : -1;
}

// What one process has open of the wanted files.
struct ProcessFinds {
    std::vector<dev_t> devices;
    std::vector<FileId> files;
    std::vector<std::string> masters;  // descriptor names of pty masters
    int descriptors = 0;
};

ProcessFinds ScanProcess(int pidFd, const std::set<dev_t>& devices, const std::set<FileId>& files)
{
    ProcessFinds finds;
    DirStream fds(::openat(pidFd, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fds) {
        return finds;  // gone, or another user's
    }
    while (const dirent* entry = fds.Next()) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        if (finds.descriptors >= kMaxDescriptorsPerProcess) {
            break;
        }
        ++finds.descriptors;
        struct stat st;
        if (::fstatat(fds.Fd(), entry->d_name, &st, 0) != 0) {
            continue;
        }
        if (S_ISCHR(st.st_mode)) {
            if (devices.count(st.st_rdev)) {
                finds.devices.push_back(st.st_rdev);
            } else if (IsPtyMaster(st.st_rdev)) {
                finds.masters.emplace_back(entry->d_name);
            }
        } else if (files.count({st.st_dev, st.st_ino})) {
            finds.files.push_back({st.st_dev, st.st_ino});
        }
    }
    return finds;
}

// The slaves among `finds.devices` whose master the same process holds.
std::set<dev_t> OwnLines(int pidFd, const ProcessFinds& finds)
{
    std::set<dev_t> own;
    if (finds.masters.empty() ||
        std::none_of(finds.devices.begin(), finds.devices.end(), [](dev_t d) { return IsPtySlave(d); })) {
        return own;
    }
    std::set<int> indexes;
    for (const auto& name : finds.masters) {
        indexes.insert(PtyIndexOfMaster(pidFd, name.c_str()));
    }
    for (const dev_t device : finds.devices) {
        if (IsPtySlave(device) && indexes.count(static_cast<int>(minor(device)))) {
            own.insert(device);
        }
    }
    return own;
}

}  // namespace

bool HeldDevices::Holds(const struct stat& st) const
{
    return (S_ISCHR(st.st_mode) && devices.count(st.st_rdev)) || files.count({st.st_dev, st.st_ino});
}

int PtyIndexFromFdinfo(std::string_view text)
{
    constexpr std::string_view kKey = "tty-index:";
    for (std::size_t line = 0; line < text.size();) {
        const std::size_t end = std::min(text.find('\n', line), text.size());
        std::string_view row = text.substr(line, end - line);
        line = end + 1;
        if (!row.starts_with(kKey)) {
            continue;
        }
        row.remove_prefix(std::min(row.size(), row.find_first_not_of(" \t", kKey.size())));
        int index = -1;
        const auto [rest, error] = std::from_chars(row.data(), row.data() + row.size(), index);
        return error == std::errc() && rest == row.data() + row.size() && index >= 0 ? index : -1;
    }
    return -1;
}

HeldDevices ScanOpenDescriptors(const std::string& procRoot, const std::vector<struct stat>& wanted)
{
    HeldDevices held;
    std::set<dev_t> devices;
    std::set<FileId> files;
    for (const auto& st : wanted) {
        if (S_ISCHR(st.st_mode)) {
            devices.insert(st.st_rdev);
        } else {
            files.insert({st.st_dev, st.st_ino});
        }
    }
    if (wanted.empty()) {
        return held;
    }
    DirStream proc(::open(procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!proc) {
        return held;
    }
    const std::string self = std::to_string(::getpid());
    while (const dirent* entry = proc.Next()) {
        const std::string_view pid(entry->d_name);
        if (!IsNumber(pid) || pid == self) {
            continue;
        }
        const int pidFd = ::openat(proc.Fd(), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (pidFd < 0) {
            continue;
        }
        const ProcessFinds finds = ScanProcess(pidFd, devices, files);
        ++held.processes;
        held.descriptors += finds.descriptors;
        const std::set<dev_t> own = OwnLines(pidFd, finds);
        ::close(pidFd);
        for (const dev_t device : finds.devices) {
            if (!own.count(device)) {
                held.devices.insert(device);
            }
        }
        held.files.insert(finds.files.begin(), finds.files.end());
    }
    return held;
}

HolderWatch::HolderWatch() = default;

HolderWatch::~HolderWatch()
{
    if (inotify_ >= 0) {
        ::close(inotify_);
    }
}

const HeldDevices& HolderWatch::Scan(const std::string& procRoot, const std::vector<struct stat>& wanted,
                                     const std::vector<std::string>& paths)
{
    std::vector<FileId> ids;
    ids.reserve(wanted.size());
    for (const auto& st : wanted) {
        ids.push_back({st.st_dev, st.st_ino});
    }
    // Events are taken before the scan: an open during it is seen next time.
    bool stale = EventsPending() || !watching_ || procRoot != procRoot_;
    if (ids != watched_) {
        watching_ = Watch(paths);
        watched_ = std::move(ids);
        stale = true;
    }
    if (stale) {
        procRoot_ = procRoot;
        last_ = ScanOpenDescriptors(procRoot, wanted);
        ++scans_;
    }
    return last_;
}

bool HolderWatch::EventsPending()
{
    bool any = false;
    alignas(inotify_event) char buffer[kInotifyBufferBytes];
    while (inotify_ >= 0 && ::read(inotify_, buffer, sizeof buffer) > 0) {
        any = true;  // an open, a close, an overflow or a watch gone: all mean look again
    }
    return any;
}

bool HolderWatch::Watch(const std::vector<std::string>& paths)
{
    // A fresh instance drops the watches of ports no longer looked for.
    if (inotify_ >= 0) {
        ::close(inotify_);
    }
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    bool all = inotify_ >= 0;
    for (const auto& path : paths) {
        all = all && ::inotify_add_watch(inotify_, path.c_str(), IN_OPEN | IN_CLOSE) >= 0;
    }
    return all;
}

bool MayReadWrite(const std::string& path) { return ::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0; }

}  // namespace velmora::transport
