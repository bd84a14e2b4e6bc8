#pragma once
// Pseudo-terminals as COM ports, a window recording what the serial port
// delivers, and a far end that talks all the time.

#include "gui_helpers.h"
#include "line_fixture.h"
#include "platform/window.h"
#include "transport/port_map.h"
#include "transport/serial_messages.h"
#include "transport/serial_port.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <pty.h>

#include <atomic>
#include <csignal>
#include <mutex>
#include <thread>

namespace velmora::serial_test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using test::PumpFor;
using test::PumpUntil;
using test::WaitUntil;

inline constexpr int kPort = 5;

// Opens the port as the main window does.
inline bool OpenLikeMainWindow(transport::CSerialPort& port, platform::Window* owner, int number = kPort,
                               unsigned baud = 115200)
{
    return port.OpenPort(owner, number, baud, 'N', 8, 2, 0x03, 512, 3);
}

// Ends the test program when a test does not finish in time: a deadlock
// fails instead of hanging.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, const char* what)
    {
        what_ = what;
        std::signal(SIGALRM, [](int) {
            const std::string text = std::string("watchdog: ") + what_ + " did not finish in time (deadlock?)\n";
            [[maybe_unused]] const auto written = ::write(STDERR_FILENO, text.data(), text.size());
            std::abort();
        });
        ::alarm(static_cast<unsigned>(limit.count()));
    }
    ~Watchdog() { ::alarm(0); }

private:
    static inline const char* what_ = "";
};

// What the port delivered to its owner.
class RecordingWindow : public platform::Window {
public:
    RecordingWindow()
    {
        OnMessage(msg::kSerialByte, [this](platform::WParam w, platform::LParam l) { return Take(w, l); });
        OnMessage(msg::kSerialFailed, [this](platform::WParam w, platform::LParam l) {
            failures.push_back({w, l});
            return platform::LResult{1};
        });
    }
    platform::LResult Take(platform::WParam w, platform::LParam l)
    {
        lateBytes += accepting ? 0 : 1;
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        ports.push_back(l);
        return platform::LResult{1};
    }

    std::vector<std::uint8_t> bytes;
    std::vector<platform::LParam> ports;
    std::vector<std::pair<platform::WParam, platform::LParam>> failures;
    // Cleared by a test once it asked the port to close: bytes after that are late.
    bool accepting = true;
    int lateBytes = 0;
};

// A pty pair whose slave is COM `number` through a temporary port map directory.
class PtyPair {
public:
    explicit PtyPair(int number = kPort)
    {
        int master = -1;
        char name[256] = {};
        char dir[] = "/tmp/velmora-serial-XXXXXX";
        if (openpty(&master, &slave_, name, nullptr, nullptr) != 0 || mkdtemp(dir) == nullptr) {
            ADD_FAILURE() << "no pty or no directory";
            return;
        }
        master_ = test::Fd(master);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave_, F_SETFD, FD_CLOEXEC);
        slaveName_ = name;
        dir_ = dir;
        link_ = dir_ + "/com" + std::to_string(number);
        EXPECT_EQ(symlink(slaveName_.c_str(), link_.c_str()), 0);
        previousDir_ = transport::PortMap::Directory();
        transport::PortMap::SetDirectory(dir_);
    }
    ~PtyPair()
    {
        transport::PortMap::SetDirectory(previousDir_);
        unlink(link_.c_str());
        rmdir(dir_.c_str());
        close(slave_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int Master() const { return master_.Get(); }
    int Slave() const { return slave_; }
    const std::string& SlaveName() const { return slaveName_; }
    const std::string& Link() const { return link_; }
    void CloseMaster() { master_.Close(); }
    bool WriteMaster(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds limit = 2000ms) const
    {
        return master_.Write(bytes, static_cast<int>(limit.count()));
    }
    // Exactly `count` bytes from the master; fewer on time-out.
    std::vector<std::uint8_t> ReadMaster(std::size_t count, std::chrono::milliseconds limit = 3000ms) const
    {
        return master_.Read(count, static_cast<int>(limit.count()));
    }

private:
    test::Fd master_;
    int slave_ = -1;
    std::string slaveName_;
    std::string dir_;
    std::string link_;
    std::string previousDir_;
};

// Writes counting bytes (or `pattern` over and over) into the master until
// stopped, and keeps what the port writes.
class Streamer {
public:
    explicit Streamer(int master, std::vector<std::uint8_t> pattern = {})
        : thread_([this, master, pattern] {
              for (std::size_t next = 0; !stop_;) {
                  std::uint8_t chunk[32];
                  for (auto& b : chunk) {
                      b = pattern.empty() ? static_cast<std::uint8_t>(next) : pattern[next % pattern.size()];
                      ++next;
                  }
                  if (write(master, chunk, sizeof chunk) <= 0) {
                      std::this_thread::sleep_for(200us);
                  }
                  std::uint8_t sink[256];
                  for (ssize_t n = 0; (n = read(master, sink, sizeof sink)) > 0;) {
                      std::lock_guard lock(mutex_);
                      received_.insert(received_.end(), sink, sink + n);
                  }
              }
          })
    {}
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
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> received_;
    std::thread thread_;
};

// `count` 18-byte frames from `first` on, each with its sequence number in
// bytes 3 and 4: distinct below 65536.
inline std::vector<std::uint8_t> NumberedFrames(unsigned first, unsigned count = 1)
{
    std::vector<std::uint8_t> bytes;
    for (unsigned n = first; n < first + count; ++n) {
        bytes.insert(bytes.end(), {0x50, 0x56, 0x54, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)});
        for (unsigned i = 5; i < 18; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(n * 31u + i * 7u));
        }
    }
    return bytes;
}

// Queues every frame of `frames` on the port; how many it took.
inline unsigned QueueFrames(transport::CSerialPort& port, const std::vector<std::uint8_t>& frames)
{
    unsigned taken = 0;
    for (std::size_t at = 0; at + 18 <= frames.size(); at += 18) {
        taken += port.QueueWrite(frames.data() + at, 18) ? 1 : 0;
    }
    return taken;
}

class SerialPortTest : public testing::Test {
protected:
    bool OpenAndStart() { return OpenLikeMainWindow(port, &window) && port.StartWorker(); }
    bool Stopped()
    {
        return WaitUntil([&] { return !port.WorkerAlive(); });
    }

    PtyPair pty;
    RecordingWindow window;
    transport::CSerialPort port;
};

}  // namespace velmora::serial_test
