#pragma once
// Pseudo-terminal pairs reachable as COM ports through a temporary port map
// directory, a window that records what the serial port delivers, and
// bounded waits for the tests of the serial port.

#include "gui_helpers.h"
#include "platform/window.h"
#include "transport/port_map.h"
#include "transport/serial_messages.h"
#include "transport/serial_port.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::serial_test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline constexpr int kPort = 5;
inline constexpr unsigned kBaud = 115200;

// Opens the port as the main window does.
inline bool OpenLikeMainWindow(transport::CSerialPort& port, platform::Window* owner, int number = kPort,
                               unsigned baud = kBaud)
{
    return port.OpenPort(owner, number, baud, 'N', 8, 2, 0x03, 512, 3);
}

using test::PumpFor;
using test::PumpUntil;
using test::WaitUntil;

// Ends the test program when a test does not finish in time: a deadlock
// fails instead of hanging.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit, const char* what) : what_(what)
    {
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
                std::fprintf(stderr, "watchdog: %s did not finish in time (deadlock?)\n", what_);
                std::abort();
            }
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

private:
    const char* what_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

// What the port delivered to its owner.
class RecordingWindow : public platform::Window {
public:
    RecordingWindow()
    {
        OnMessage(msg::kSerialByte, [this](platform::WParam w, platform::LParam l) {
            if (!accepting) {
                ++lateBytes;
            }
            bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
            ports.push_back(l);
            return platform::LResult{1};
        });
        OnMessage(msg::kSerialFailed, [this](platform::WParam w, platform::LParam l) {
            failures.push_back({w, l});
            return platform::LResult{1};
        });
    }

    std::vector<std::uint8_t> bytes;
    std::vector<platform::LParam> ports;
    std::vector<std::pair<platform::WParam, platform::LParam>> failures;
    // Cleared by a test once it asked the port to close: bytes after that are late.
    bool accepting = true;
    int lateBytes = 0;
};

// A pty pair whose slave is COM kPort through a temporary port map directory.
class PtyPair {
public:
    PtyPair(int number = kPort) : number_(number)
    {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty failed";
            return;
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        fcntl(slave_, F_SETFD, FD_CLOEXEC);
        slaveName_ = name;
        char dirTemplate[] = "/tmp/velmora-serial-XXXXXX";
        if (mkdtemp(dirTemplate) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        dir_ = dirTemplate;
        link_ = dir_ + "/com" + std::to_string(number);
        if (symlink(slaveName_.c_str(), link_.c_str()) != 0) {
            ADD_FAILURE() << "symlink failed";
        }
        previousDir_ = transport::PortMap::Directory();
        transport::PortMap::SetDirectory(dir_);
    }
    ~PtyPair()
    {
        transport::PortMap::SetDirectory(previousDir_);
        unlink(link_.c_str());
        rmdir(dir_.c_str());
        CloseMaster();
        if (slave_ >= 0) {
            close(slave_);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int Master() const { return master_; }
    int Slave() const { return slave_; }
    const std::string& SlaveName() const { return slaveName_; }
    const std::string& Link() const { return link_; }
    int Number() const { return number_; }
    void CloseMaster()
    {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

    // Writes all of 'bytes' to the master, bounded.
    bool WriteMaster(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds limit = 2000ms) const
    {
        const auto deadline = Clock::now() + limit;
        std::size_t done = 0;
        while (done < bytes.size() && Clock::now() < deadline) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 10);
            }
        }
        return done == bytes.size();
    }

    // Reads exactly 'count' bytes from the master, bounded; fewer on time-out.
    std::vector<std::uint8_t> ReadMaster(std::size_t count, std::chrono::milliseconds limit = 3000ms) const
    {
        std::vector<std::uint8_t> out;
        const auto deadline = Clock::now() + limit;
        while (out.size() < count && Clock::now() < deadline) {
            std::uint8_t buffer[512];
            const std::size_t want = std::min(sizeof buffer, count - out.size());
            const ssize_t n = read(master_, buffer, want);
            if (n > 0) {
                out.insert(out.end(), buffer, buffer + n);
            } else {
                pollfd p{master_, POLLIN, 0};
                poll(&p, 1, 10);
            }
        }
        return out;
    }

private:
    int number_;
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
    std::string dir_;
    std::string link_;
    std::string previousDir_;
};

// Writes bytes into the master until stopped, as a switcher that talks all
// the time (counting bytes, or the given pattern over and over), and keeps
// what the port writes to the far end.
class Streamer {
public:
    explicit Streamer(int master, std::vector<std::uint8_t> pattern = {}) : master_(master)
    {
        thread_ = std::thread([this, pattern] {
            std::size_t next = 0;
            while (!stop_) {
                std::uint8_t chunk[32];
                for (auto& b : chunk) {
                    b = pattern.empty() ? static_cast<std::uint8_t>(next) : pattern[next % pattern.size()];
                    ++next;
                }
                if (write(master_, chunk, sizeof chunk) <= 0) {
                    std::this_thread::sleep_for(200us);
                }
                std::uint8_t sink[256];
                for (ssize_t n = 0; (n = read(master_, sink, sizeof sink)) > 0;) {
                    std::lock_guard lock(mutex_);
                    received_.insert(received_.end(), sink, sink + n);
                }
            }
        });
    }
    ~Streamer()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::uint8_t> Received() const
    {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    int master_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> received_;
    std::thread thread_;
};

// An 18-byte frame with the sequence number in bytes 3 and 4: distinct for
// each number below 65536.
inline std::vector<std::uint8_t> NumberedFrame(unsigned sequence)
{
    std::vector<std::uint8_t> frame{0x50, 0x56, 0x54, static_cast<std::uint8_t>(sequence),
                                    static_cast<std::uint8_t>(sequence >> 8)};
    for (unsigned i = 5; i < 18; ++i) {
        frame.push_back(static_cast<std::uint8_t>(sequence * 31u + i * 7u));
    }
    return frame;
}

// A pty reachable as the test's COM port, the window the serial port posts
// to, and the port; destroyed port first, as locals would be.
class SerialPortTest : public testing::Test {
protected:
    bool OpenAndStart() { return OpenLikeMainWindow(port, &window) && port.StartWorker(); }

    PtyPair pty;
    RecordingWindow window;
    transport::CSerialPort port;
};

}  // namespace velmora::serial_test
