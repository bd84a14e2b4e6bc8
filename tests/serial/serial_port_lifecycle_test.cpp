// Opening, exclusive use, closing and reopening of the serial port.

#include "pty_support.h"
#include "transport/serial_lock.h"

#include <sys/file.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::serial_test {
namespace {

using SerialOpen = SerialPortTest;

int OpenFdCount()
{
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<int>(std::distance(begin(fds), end(fds)));
}

std::string ReadFile(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::string PidText(long pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", pid);
    return text;
}

// Another program's try to take the port; true when it could.
bool OtherProgramTakes(const PtyPair& pty)
{
    const int other = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const bool took = other >= 0 && flock(other, LOCK_EX | LOCK_NB) == 0;
    if (other >= 0) {
        close(other);
    }
    return took;
}

TEST_F(SerialOpen, NumberWithoutDeviceFailsAndLeavesNothingOpen)
{
    const int before = OpenFdCount();
    EXPECT_FALSE(OpenLikeMainWindow(port, &window, 250));  // no link, beyond the fixed numbering
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.StartWorker());
    const std::string dangling = pty.Link().substr(0, pty.Link().rfind('/')) + "/com9";
    ASSERT_EQ(symlink("/dev/velmora-no-such-device", dangling.c_str()), 0);
    EXPECT_FALSE(OpenLikeMainWindow(port, &window, 9));
    unlink(dangling.c_str());
    EXPECT_EQ(OpenFdCount(), before);

    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    EXPECT_EQ(port.DevicePath(), pty.Link());
    ASSERT_TRUE(port.StartWorker());
    EXPECT_FALSE(port.StartWorker());  // one worker at a time
    QueueFrames(port, NumberedFrames(9));
    EXPECT_EQ(pty.ReadMaster(18), NumberedFrames(9));
}

TEST_F(SerialOpen, OpenPortIsBusyForOthersAndFreeOnceClosed)
{
    const std::string lockFile = transport::SerialLock::LockFilePath(pty.Link());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(OpenLikeMainWindow(port, &window));
        if (round == 0) {
            ASSERT_TRUE(port.StartWorker());
            EXPECT_FALSE(OtherProgramTakes(pty));  // root passes TIOCEXCL, not the lock
            if (!lockFile.empty()) {
                EXPECT_EQ(lockFile.substr(lockFile.rfind('/') + 1),
                          "LCK.." + pty.SlaveName().substr(5).replace(3, 1, "-"));
                EXPECT_EQ(ReadFile(lockFile), PidText(getpid()));
            }
            transport::CSerialPort second;  // another user of this program
            EXPECT_FALSE(OpenLikeMainWindow(second, &window));
        }
        port.RequestClose();  // round 1: never started, closed at once
        ASSERT_TRUE(Stopped());
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(!lockFile.empty() && std::filesystem::exists(lockFile));
        EXPECT_TRUE(OtherProgramTakes(pty));
    }
}

TEST_F(SerialOpen, PortHeldOrLockedByALiveProgramIsRefusedAStaleLockTakenOver)
{
    const int holder = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const int before = OpenFdCount();
    EXPECT_FALSE(OpenLikeMainWindow(port, &window));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(OpenFdCount(), before);
    close(holder);

    const std::string lockFile = transport::SerialLock::LockFilePath(pty.Link());
    if (lockFile.empty()) {
        GTEST_SKIP() << "no writable lock directory";
    }
    std::ofstream(lockFile) << PidText(1);  // a live process
    EXPECT_FALSE(OpenLikeMainWindow(port, &window));
    EXPECT_EQ(ReadFile(lockFile), PidText(1)) << "left alone";

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);  // its PID is now dead
    for (const std::string& stale : {PidText(child), std::string("garbage\n"), std::string()}) {
        SCOPED_TRACE(stale);
        std::ofstream(lockFile) << stale;
        ASSERT_TRUE(OpenLikeMainWindow(port, &window));
        EXPECT_EQ(ReadFile(lockFile), PidText(getpid()));
        port.RequestClose();
        EXPECT_FALSE(std::filesystem::exists(lockFile));
    }
}

TEST(SerialClose, ClosingWhileBytesStreamInDoesNotDeadlock)
{
    Watchdog watchdog(60s, "close while streaming");
    PtyPair pty;
    RecordingWindow window;
    Streamer streamer(pty.Master());
    // The worker waits for the main thread, which does not run its loop.
    auto port = std::make_unique<transport::CSerialPort>();
    for (int session = 0; session < 3; ++session) {
        ASSERT_TRUE(OpenLikeMainWindow(*port, &window));  // the second ends the blocked worker
        ASSERT_TRUE(port->StartWorker());
        std::this_thread::sleep_for(50ms);
        if (session == 1) {
            port->RequestClose();
            EXPECT_TRUE(WaitUntil([&] { return !port->WorkerAlive(); }));
        }
    }
    port.reset();  // destructor with a blocked worker
    window.accepting = false;
    PumpFor(100ms);
    EXPECT_EQ(window.lateBytes, 0);
}

// Half the sessions end by RequestClose, half by the next OpenPort, each
// with a byte on its way to the window; at the end the window goes first,
// then the port, while bytes keep coming.
TEST(SerialClose, ThousandReopenCyclesWhileBytesStreamIn)
{
    constexpr int kCycles = 1000;
    Watchdog watchdog(170s, "1000 reopen cycles");
    PtyPair pty;
    auto window = std::make_unique<RecordingWindow>();
    auto port = std::make_unique<transport::CSerialPort>();
    Streamer streamer(pty.Master());
    const auto deadline = Clock::now() + 150s;
    int cycles = 0;
    for (; cycles < kCycles && Clock::now() < deadline; ++cycles) {
        window->accepting = true;
        ASSERT_TRUE(OpenLikeMainWindow(*port, window.get())) << "cycle " << cycles;
        ASSERT_TRUE(port->StartWorker());
        const std::size_t seen = window->bytes.size();
        PumpUntil([&] { return window->bytes.size() > seen; }, 100ms);
        if (cycles % 2 == 0) {
            port->RequestClose();
            window->accepting = false;
            QCoreApplication::processEvents();
        }
    }
    port->RequestClose();
    window->accepting = false;
    PumpFor(200ms);
    EXPECT_EQ(cycles, kCycles);
    EXPECT_EQ(window->lateBytes, 0);
    EXPECT_GT(window->bytes.size(), 0u);

    ASSERT_TRUE(OpenLikeMainWindow(*port, window.get()));
    ASSERT_TRUE(port->StartWorker());
    const std::size_t seen = window->bytes.size();
    ASSERT_TRUE(PumpUntil([&] { return window->bytes.size() > seen + 100; }));
    port->RequestClose();
    window.reset();
    PumpFor(50ms);
    port.reset();
    PumpFor(50ms);
}

}  // namespace
}  // namespace velmora::serial_test
