#include "transport/port_discovery.h"

#include "transport/port_holders.h"
#include "transport/port_map.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

namespace velmora::transport {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxAncestors = 8;  // sysfs levels walked up from a tty's device
constexpr std::size_t kMaxLockLines = 1u << 16;
constexpr std::size_t kMaxAttributeBytes = 256;

[[noreturn]] void Fail(const std::string& what, int err)
{
    char text[512];
    std::snprintf(text, sizeof text, "Could not read %s. (err=%d: %s)", what.c_str(), err, std::strerror(err));
    throw PortEnumerationError(text);
}

// A sysfs attribute or a small file: its text without trailing white space.
std::optional<std::string> ReadAttribute(int dirFd, const char* name)
{
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    char buffer[kMaxAttributeBytes];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n < 0) {
        return std::nullopt;
    }
    std::string text(buffer, static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// A directory handle that closes itself.
class DirFd {
public:
    DirFd(int at, const char* path) : fd_(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~DirFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DirFd(const DirFd&) = delete;
    DirFd& operator=(const DirFd&) = delete;
    DirFd(DirFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    DirFd& operator=(DirFd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

bool StartsWith(const fs::path& path, const fs::path& root)
{
    const std::string p = path.string();
    const std::string r = root.string();
    return p.size() >= r.size() && p.compare(0, r.size(), r) == 0;
}

// What sysfs says about one tty: whether it is a real port and its own name.
struct TtyFacts {
    bool real = false;
    bool isUsb = false;
    std::string ownName;
};

// The basename of a symlink's target ("cdc_acm" for .../drivers/cdc_acm).
std::string LinkName(int dirFd, const char* link)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(dirFd, link, target, sizeof target - 1);
    if (n <= 0) {
        return {};
    }
    const std::string_view text(target, static_cast<std::size_t>(n));
    const std::size_t slash = text.rfind('/');
    return std::string(slash == std::string_view::npos ? text : text.substr(slash + 1));
}

// The devices above a tty are walked by directory handles ("device", then
// ".." of each): every lookup resolves one name, and no path is made
// canonical, which would cost a readlink per path component.
TtyFacts DescribeTty(int classFd, const std::string& name)
{
    TtyFacts facts;
    const DirFd tty(classFd, name.c_str());
    if (!tty) {
        return facts;
    }
    DirFd dir(tty.get(), "device");
    if (!dir) {
        return facts;  // no device behind it: a virtual or phantom tty
    }
    const bool usbFamily = name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
    if (!usbFamily) {
        const auto type = ReadAttribute(tty.get(), "type");
        if (type && *type == "0") {
            return facts;  // a reserved legacy port with no UART found
        }
    }
    facts.real = true;
    facts.isUsb = usbFamily;

    std::string driver;
    bool usbFound = false;
    for (int level = 0; dir && level < kMaxAncestors && (driver.empty() || (usbFamily && !usbFound)); ++level) {
        if (driver.empty()) {
            // The serial core's own port devices stand between the tty and the
            // controller; the controller's driver is the one that names it.
            if (LinkName(dir.get(), "subsystem") != "serial-base") {
                driver = LinkName(dir.get(), "driver");
            }
        }
        if (usbFamily && !usbFound && ::faccessat(dir.get(), "idVendor", F_OK, 0) == 0) {
            usbFound = true;
            const auto maker = ReadAttribute(dir.get(), "manufacturer");
            const auto product = ReadAttribute(dir.get(), "product");
            std::string strings = maker.value_or("");
            if (product && !product->empty()) {
                strings += (strings.empty() ? "" : " ") + *product;
            }
            facts.ownName = strings;
        }
        dir = DirFd(dir.get(), "..");
    }
    if (facts.ownName.empty()) {
        facts.ownName = driver.empty() ? name : driver;
    }
    return facts;
}

// The files on which /proc/locks lists a lock of any kind.
std::set<FileId> LockedFiles(const fs::path& procRoot)
{
    std::set<FileId> locked;
    std::ifstream in(procRoot / "locks");
    std::string line;
    for (std::size_t count = 0; count < kMaxLockLines && std::getline(in, line); ++count) {
        // "1: POSIX  ADVISORY  WRITE 1234 00:19:5 0 EOF", waiters with "->".
        std::size_t pos = 0;
        while (pos < line.size()) {
            const std::size_t start = line.find_first_not_of(' ', pos);
            if (start == std::string::npos) {
                break;
            }
            const std::size_t end = std::min(line.find(' ', start), line.size());
            const std::string token = line.substr(start, end - start);
            pos = end;
            unsigned major = 0;
            unsigned minor = 0;
            unsigned long long ino = 0;
            int used = 0;
            if (std::count(token.begin(), token.end(), ':') == 2 &&
                std::sscanf(token.c_str(), "%x:%x:%llu%n", &major, &minor, &ino, &used) == 3 &&
                used == static_cast<int>(token.size())) {
                locked.insert({makedev(major, minor), static_cast<ino_t>(ino)});
                break;
            }
        }
    }
    return locked;
}

bool IsLivePid(long pid)
{
    if (pid <= 0 || pid > 0x3fffffff) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// A UUCP lock file: held when it names a live process. The usual form is the
// PID as decimal text; old programs wrote it as a binary int.
bool LockFileHeld(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return errno != ENOENT && errno != ENOTDIR;  // there, but not ours to read
    }
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n <= 0) {
        return false;
    }
    const std::string_view text(buffer, static_cast<std::size_t>(n));
    const bool ascii = text.find_first_not_of(" \t\r\n0123456789") == std::string_view::npos &&
                       text.find_first_of("0123456789") != std::string_view::npos;
    if (ascii) {
        long pid = 0;
        for (char c : text) {
            if (c >= '0' && c <= '9' && pid < 0x3fffffff) {
                pid = pid * 10 + (c - '0');
            }
        }
        return IsLivePid(pid);
    }
    if (n == 4) {
        int pid = 0;
        std::memcpy(&pid, buffer, sizeof pid);
        return IsLivePid(pid);
    }
    return false;
}

// One port found, with what it takes to tell whether it is busy.
struct Candidate {
    int number;
    SSerInfo info;
    fs::path node;  // the device node, links resolved
    struct stat st;
    std::vector<std::string> lockNames;  // X of the lock files LCK..X that hold it
};

// The lock file names of a device node: "ttyUSB0" for /dev/ttyUSB0; for
// /dev/pts/3 "pts-3", the panel's own form (see SerialLock), and "pts_3",
// which other programs write.
void AddLockNames(std::vector<std::string>& names, const fs::path& node, const fs::path& devRoot)
{
    std::error_code ec;
    const fs::path dev = fs::weakly_canonical(devRoot, ec);
    if (ec || !StartsWith(node, dev / "")) {
        names.push_back(node.filename().string());
        return;
    }
    const std::string relative = node.lexically_relative(dev).string();
    for (const char separator : {'-', '_'}) {
        std::string name = relative;
        std::replace(name.begin(), name.end(), '/', separator);
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
}

class BusyTest {
public:
    BusyTest(const DiscoveryRoots& roots, const std::vector<Candidate>& candidates, HolderWatch* watch)
    {
        locked_ = LockedFiles(roots.proc);
        // The lock directories are read once; only files named LCK..X count.
        for (const auto& dirName : roots.lockDirs) {
            DIR* dir = ::opendir(dirName.c_str());
            if (!dir) {
                continue;
            }
            while (const dirent* entry = ::readdir(dir)) {
                const std::string_view file(entry->d_name);
                if (file.rfind("LCK..", 0) == 0 && file.size() > 5) {
                    lockFiles_.emplace_back(dirName + "/" + std::string(file), std::string(file.substr(5)));
                }
            }
            ::closedir(dir);
        }
        if (roots.scanProcessFds) {
            std::vector<struct stat> wanted;
            std::vector<std::string> paths;
            for (const auto& c : candidates) {
                wanted.push_back(c.st);
                paths.push_back(c.info.devicePath);
            }
            open_ = watch ? watch->Scan(roots.proc, wanted, paths) : ScanOpenDescriptors(roots.proc, wanted);
        }
    }

    bool Busy(const Candidate& c) const
    {
        if (locked_.count({c.st.st_dev, c.st.st_ino}) || open_.Holds(c.st)) {
            return true;
        }
        for (const auto& name : c.lockNames) {
            for (const auto& file : lockFiles_) {
                if (file.second == name && LockFileHeld(file.first)) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    std::set<FileId> locked_;
    HeldDevices open_;
    std::vector<std::pair<std::string, std::string>> lockFiles_;  // path, device name
};

std::string PortName(int number) { return "COM" + std::to_string(number); }

std::string FriendlyName(const char* kind, int number) { return std::string(kind) + " (" + PortName(number) + ")"; }

// The ports of the port map directory, each number once, with the numbers
// they take in `linked`.
void AddMappedPorts(std::vector<Candidate>& candidates, std::set<int>& linked, const DiscoveryRoots& roots, int classFd)
{
    std::error_code ec;
    const std::string mapDir = roots.portMapDir ? *roots.portMapDir : PortMap::Directory();
    const auto links = PortMap::Links(mapDir, ec);
    if (ec) {
        Fail("the port map directory " + mapDir, ec.value());
    }
    for (const auto& link : links) {
        if (!linked.insert(link.number).second) {
            continue;  // the first link of a number is the one that opens it
        }
        Candidate c{link.number, {}, {}, {}, {}};
        if (::stat(link.device.c_str(), &c.st) != 0) {
            continue;  // nothing behind the link now
        }
        std::error_code linkEc;
        c.node = fs::canonical(link.device, linkEc);
        if (linkEc) {
            continue;
        }
        c.info.devicePath = link.device;
        c.info.portName = PortName(link.number);
        c.info.friendlyName = FriendlyName(kPortMapKind, link.number);
        c.info.description = std::string(kPortMapKind) + " (" + c.node.string() + ")";
        const TtyFacts facts = DescribeTty(classFd, c.node.filename().string());
        if (facts.real) {
            c.info.isUsb = facts.isUsb;
            c.info.description += " " + facts.ownName;
        }
        AddLockNames(c.lockNames, c.node, roots.dev);
        candidates.push_back(std::move(c));
    }
}

}  // namespace

void EnumerateSerialPorts(std::vector<SSerInfo>& ports, bool skipBusy)
{
    EnumerateSerialPorts(ports, skipBusy, DiscoveryRoots{});
}

void EnumerateSerialPorts(std::vector<SSerInfo>& ports, bool skipBusy, const DiscoveryRoots& roots, HolderWatch* watch)
{
    ports.clear();
    std::vector<Candidate> candidates;
    const fs::path classDir = fs::path(roots.sysfs) / "class" / "tty";
    DIR* dir = ::opendir(classDir.c_str());
    if (!dir) {
        Fail(classDir.string(), errno);
    }
    struct DirCloser {
        DIR* d;
        ~DirCloser() { ::closedir(d); }
    } closer{dir};
    const int classFd = ::dirfd(dir);

    // The port map first: its links win over the fixed numbering.
    std::set<int> linked;
    AddMappedPorts(candidates, linked, roots, classFd);

    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const auto number = PortNumberForTty(name);
        if (!number || linked.count(*number)) {
            continue;
        }
        const TtyFacts facts = DescribeTty(classFd, name);
        if (!facts.real) {
            continue;
        }
        Candidate c{*number, {}, fs::path(roots.dev) / name, {}, {name}};
        if (::stat(c.node.c_str(), &c.st) != 0) {
            continue;  // no device node to open
        }
        c.info.devicePath = c.node.string();
        c.info.portName = PortName(*number);
        c.info.friendlyName = FriendlyName(facts.isUsb ? kUsbSerialKind : kSerialKind, *number);
        c.info.isUsb = facts.isUsb;
        c.info.description = facts.ownName;
        struct stat linkSt;
        std::error_code nodeEc;
        const bool isLink = ::lstat(c.node.c_str(), &linkSt) == 0 && S_ISLNK(linkSt.st_mode);
        const fs::path resolved = isLink ? fs::canonical(c.node, nodeEc) : c.node;
        if (isLink && !nodeEc) {
            c.node = resolved;
            AddLockNames(c.lockNames, resolved, roots.dev);
        }
        candidates.push_back(std::move(c));
    }

    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.number < b.number; });
    if (skipBusy) {
        // A port this user may not open is as good as busy, and is not looked
        // for among other programs' descriptors.
        std::erase_if(candidates, [](const Candidate& c) { return !MayReadWrite(c.info.devicePath); });
        const BusyTest busy(roots, candidates, watch);
        for (auto& c : candidates) {
            if (!busy.Busy(c)) {
                ports.push_back(std::move(c.info));
            }
        }
    } else {
        for (auto& c : candidates) {
            ports.push_back(std::move(c.info));
        }
    }
}

}  // namespace velmora::transport
