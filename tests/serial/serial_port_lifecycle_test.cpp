// Opening, exclusive use, closing and reopening of the serial port, also
// while bytes stream in from the far end.

#include "pty_support.h"
#include "transport/serial_lock.h"

#include <sys/file.h>
#include <sys/wait.h>

#include <dirent.h>

#include <fstream>
#include <sstream>

namespace velmora::serial_test {
namespace {

using SerialOpen = SerialPortTest;
using SerialExclusive = SerialPortTest;

int OpenFdCount()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) {
            ++count;
        }
        closedir(dir);
    }
    return count;
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string PidText(long pid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", pid);
    return text;
}

TEST_F(SerialOpen, NumberWithoutDeviceFailsAndLeavesNothingOpen)
{
    const int before = OpenFdCount();
    EXPECT_FALSE(OpenLikeMainWindow(port, &window, 250));  // no link, beyond the fixed numbering
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.StartWorker());
    EXPECT_EQ(OpenFdCount(), before);

    const std::string dangling = pty.Link().substr(0, pty.Link().rfind('/')) + "/com9";
    ASSERT_EQ(symlink("/dev/velmora-no-such-device", dangling.c_str()), 0);
    EXPECT_FALSE(OpenLikeMainWindow(port, &window, 9));
    unlink(dangling.c_str());
    EXPECT_EQ(OpenFdCount(), before);

    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.DevicePath(), pty.Link());
    ASSERT_TRUE(port.StartWorker());
    EXPECT_FALSE(port.StartWorker());  // one worker at a time
    const auto frame = NumberedFrame(9);
    port.QueueWrite(frame.data(), frame.size());
    EXPECT_EQ(pty.ReadMaster(18), frame);
}

TEST_F(SerialExclusive, OpenPortIsBusyForOtherPrograms)
{
    ASSERT_TRUE(OpenAndStart());

    const int other = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (other >= 0) {  // root passes TIOCEXCL; others get EBUSY here
        EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
        close(other);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    const std::string lockFile = transport::SerialLock::LockFilePath(pty.Link());
    if (!lockFile.empty()) {
        EXPECT_EQ(lockFile.substr(lockFile.rfind('/') + 1), "LCK.." + pty.SlaveName().substr(5).replace(3, 1, "-"));
        EXPECT_EQ(ReadFile(lockFile), PidText(getpid()));
    }

    // A second port object of this program is another user too.
    transport::CSerialPort second;
    EXPECT_FALSE(OpenLikeMainWindow(second, &window));
}

TEST_F(SerialExclusive, ClosedPortCanBeTakenByAnotherProgram)
{
    const std::string lockFile = transport::SerialLock::LockFilePath(pty.Link());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(OpenLikeMainWindow(port, &window));
        if (round == 0) {
            ASSERT_TRUE(port.StartWorker());
            port.RequestClose();
            ASSERT_TRUE(WaitUntil([&] { return !port.WorkerAlive(); }));
        } else {
            port.RequestClose();  // never started: closed at once
        }
        EXPECT_FALSE(port.IsOpen());
        if (!lockFile.empty()) {
            EXPECT_FALSE(FileExists(lockFile));
        }
        const int other = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(other, 0) << std::strerror(errno);
        EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
        close(other);
    }
}

TEST_F(SerialExclusive, PortHeldByAnotherProgramCannotBeOpened)
{

    const int holder = open(pty.SlaveName().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder, 0);
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
    WriteFile(lockFile, PidText(1));  // a live process
    EXPECT_FALSE(OpenLikeMainWindow(port, &window));
    EXPECT_EQ(ReadFile(lockFile), PidText(1));  // left alone
    unlink(lockFile.c_str());

    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    port.RequestClose();
}

TEST_F(SerialExclusive, StaleLockFileIsTakenOver)
{
    const std::string lockFile = transport::SerialLock::LockFilePath(pty.Link());
    if (lockFile.empty()) {
        GTEST_SKIP() << "no writable lock directory";
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);  // its PID is now dead

    for (const std::string& stale : {PidText(child), std::string("garbage\n"), std::string()}) {
        SCOPED_TRACE(stale);
        WriteFile(lockFile, stale);
        ASSERT_TRUE(OpenLikeMainWindow(port, &window));
        EXPECT_EQ(ReadFile(lockFile), PidText(getpid()));
        port.RequestClose();
        EXPECT_FALSE(FileExists(lockFile));
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
    ASSERT_TRUE(OpenLikeMainWindow(*port, &window));
    ASSERT_TRUE(port->StartWorker());
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(OpenLikeMainWindow(*port, &window));  // reopen: ends the blocked worker
    ASSERT_TRUE(port->StartWorker());
    std::this_thread::sleep_for(50ms);
    port->RequestClose();
    EXPECT_TRUE(WaitUntil([&] { return !port->WorkerAlive(); }));

    ASSERT_TRUE(OpenLikeMainWindow(*port, &window));
    ASSERT_TRUE(port->StartWorker());
    std::this_thread::sleep_for(50ms);
    port.reset();  // destructor with a blocked worker
    window.accepting = false;
    PumpFor(100ms);
    EXPECT_EQ(window.lateBytes, 0);
}

TEST(SerialClose, NoByteIsHandledAfterRequestCloseOrDestruction)
{
    PtyPair pty;
    auto window = std::make_unique<RecordingWindow>();
    auto port = std::make_unique<transport::CSerialPort>();
    Streamer streamer(pty.Master());
    ASSERT_TRUE(OpenLikeMainWindow(*port, window.get()));
    ASSERT_TRUE(port->StartWorker());
    ASSERT_TRUE(PumpUntil([&] { return window->bytes.size() >= 100; }));
    // Bytes are in flight to the window when the close is asked for.
    std::this_thread::sleep_for(20ms);
    port->RequestClose();
    window->accepting = false;
    PumpFor(200ms);
    EXPECT_EQ(window->lateBytes, 0);

    // The window goes first, then the port, while bytes keep coming.
    ASSERT_TRUE(OpenLikeMainWindow(*port, window.get()));
    ASSERT_TRUE(port->StartWorker());
    window->accepting = true;
    ASSERT_TRUE(PumpUntil([&] { return window->bytes.size() >= 200; }));
    std::this_thread::sleep_for(20ms);
    port->RequestClose();
    window.reset();
    PumpFor(50ms);
    port.reset();
    PumpFor(50ms);
}

TEST(SerialClose, ThousandReopenCyclesWhileBytesStreamIn)
{
    constexpr int kCycles = 1000;
    Watchdog watchdog(170s, "1000 reopen cycles");
    PtyPair pty;
    RecordingWindow window;
    transport::CSerialPort port;
    Streamer streamer(pty.Master());

    const auto start = Clock::now();
    const auto deadline = start + 150s;
    int cycles = 0;
    for (; cycles < kCycles && Clock::now() < deadline; ++cycles) {
        window.accepting = true;
        ASSERT_TRUE(OpenLikeMainWindow(port, &window)) << "cycle " << cycles;
        ASSERT_TRUE(port.StartWorker());
        // Let a byte through, so the worker is mid-delivery when the
        // session ends.
        const std::size_t seen = window.bytes.size();
        PumpUntil([&] { return window.bytes.size() > seen; }, 100ms);
        if (cycles % 2 == 0) {
            port.RequestClose();
            window.accepting = false;
            QCoreApplication::processEvents();
        }  // odd cycles: the next OpenPort ends the session itself
    }
    port.RequestClose();
    window.accepting = false;
    PumpFor(20ms);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_EQ(cycles, kCycles);
    EXPECT_EQ(window.lateBytes, 0);
    EXPECT_GT(window.bytes.size(), 0u);
    RecordProperty("reopen_cycles_ms", static_cast<int>(elapsed.count()));
    std::printf("[ note ] %d reopen cycles in %lld ms, %zu bytes handled\n", cycles,
                static_cast<long long>(elapsed.count()), window.bytes.size());
}

}  // namespace
}  // namespace velmora::serial_test
