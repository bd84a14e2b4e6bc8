#pragma once
// Which serial devices other processes have open, found without opening a
// device: every open descriptor of every other process (/proc/<pid>/fd), as
// fuser finds them. A program that takes its port with TIOCEXCL and no lock
// leaves no other trace.
//
// A pseudo-terminal's own far end does not count: a process that holds the
// master of a pty and keeps its slave open too (as a simulated switcher does,
// so that the line stays up while no panel has it) offers that port, it does
// not use it. Which pty a master belongs to is read from its fdinfo
// ("tty-index"); a kernel without that line counts the slave as held.
//
// An ordinary user cannot read other users' descriptors; their programs are
// seen only by their lock files and locks, and their ports are mostly not
// the user's to open anyway (see MayReadWrite).

#include <sys/stat.h>
#include <sys/types.h>

#include <compare>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::transport {

struct FileId {
    dev_t dev;
    ino_t ino;
    auto operator<=>(const FileId&) const = default;
};

struct HeldDevices {
    std::set<dev_t> devices;  // character devices, by device number
    std::set<FileId> files;  // anything else looked for, by identity
    // What the scan went through.
    int processes = 0;
    int descriptors = 0;

    bool Holds(const struct stat& st) const;
};

// The files of `wanted` that a process other than this one has open, read
// below procRoot (normally /proc).
HeldDevices ScanOpenDescriptors(const std::string& procRoot, const std::vector<struct stat>& wanted);

// The same answer, scanned again only when it may have changed. The scan is
// the costly part of a refresh (a microsecond or two a descriptor: tens of
// milliseconds on a busy desktop, every 600 ms on the window thread), while
// whether a port is open changes only when it is opened or closed, which the
// kernel reports to an inotify watch on the device node. So the last answer
// stands until a port looked for is opened or closed, or the ports looked
// for change; where no watch can be set, every call scans.
class HolderWatch {
public:
    HolderWatch();
    ~HolderWatch();
    HolderWatch(const HolderWatch&) = delete;
    HolderWatch& operator=(const HolderWatch&) = delete;

    // `paths` opens each of `wanted`, in the same order.
    const HeldDevices& Scan(const std::string& procRoot, const std::vector<struct stat>& wanted,
                            const std::vector<std::string>& paths);
    // Scans run so far: for tests and benchmarks.
    int Scans() const { return scans_; }

private:
    bool EventsPending();
    bool Watch(const std::vector<std::string>& paths);

    int inotify_ = -1;
    bool watching_ = false;
    std::string procRoot_;
    std::vector<FileId> watched_;
    HeldDevices last_;
    int scans_ = 0;
};

// Whether this process's user may open the device for reading and writing
// (its effective ids, as open() checks them).
bool MayReadWrite(const std::string& path);

// The pty index of a master descriptor's fdinfo text ("tty-index:\t3"), -1
// when it names none.
int PtyIndexFromFdinfo(std::string_view text);

}  // namespace velmora::transport
