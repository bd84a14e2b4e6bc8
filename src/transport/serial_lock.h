#pragma once
// Exclusive use of a serial device, in the three ways other Linux serial
// programs look for it:
//  - flock(LOCK_EX) on the open device;
//  - TIOCEXCL, so that further opens fail with EBUSY (root is exempt);
//  - the UUCP lock file "LCK..<name>" in /run/lock (or /var/lock), holding the
//    owner's PID as ten right-aligned ASCII digits and a newline.
//
// The lock file is named for the device the path resolves to (so a link of
// the port map directory and the device itself share one lock), relative to
// /dev with every '/' turned into '-': /dev/ttyUSB0 gives LCK..ttyUSB0 and
// /dev/pts/5 gives LCK..pts-5.
//
// A lock file whose PID is not a running process (or that holds no PID) is
// stale and is taken over. A lock file naming this very process counts as
// held: the panel opens each device once. When no lock directory is writable
// (an unprivileged user without the lock group), lock files are skipped and
// flock alone keeps the device exclusive.

#include <string>

namespace velmora::transport {

class SerialLock {
public:
    SerialLock() = default;
    ~SerialLock();
    SerialLock(const SerialLock&) = delete;
    SerialLock& operator=(const SerialLock&) = delete;

    // Takes all three locks for the open device 'fd' reached through
    // 'devicePath'. False, with nothing held, when another program holds the
    // device (errno EBUSY or EWOULDBLOCK).
    bool Acquire(int fd, const std::string& devicePath);
    // Gives all back; call before closing 'fd' (the flock goes with the close).
    void Release(int fd);
    bool Held() const { return held_; }

    // "LCK..pts-5" for a path that resolves to /dev/pts/5.
    static std::string LockFileName(const std::string& devicePath);
    // Full path of the lock file for the device; empty when no lock
    // directory is writable.
    static std::string LockFilePath(const std::string& devicePath);
    // The PID in a lock file's text; 0 when it holds none.
    static long ParseLockPid(const std::string& text);

private:
    void RemoveLockFile();

    bool held_ = false;
    std::string lockFile_;  // the lock file we created; empty for none
};

}  // namespace velmora::transport
