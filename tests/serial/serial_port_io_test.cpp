// The serial port on a pty pair: line settings, writes, received bytes and
// the failure of the far end.

#include "pty_support.h"

#include <termios.h>

#include <array>

namespace velmora::serial_test {
namespace {

using SerialLineSettings = SerialPortTest;
using SerialWrite = SerialPortTest;
using SerialFailure = SerialPortTest;

termios FarSideSettings(const PtyPair& pty)
{
    termios t{};
    EXPECT_EQ(tcgetattr(pty.Master(), &t), 0);
    return t;
}

TEST_F(SerialLineSettings, EachBaudOfTheListReadsBackAs8N2Raw)
{
    const std::array<std::pair<unsigned, speed_t>, 6> bauds{
        {{4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}}};
    for (const auto& [baud, speed] : bauds) {
        SCOPED_TRACE(baud);
        ASSERT_TRUE(OpenLikeMainWindow(port, &window, kPort, baud));
        ASSERT_TRUE(port.StartWorker());
        const termios t = FarSideSettings(pty);
        EXPECT_EQ(cfgetospeed(&t), speed);
        EXPECT_EQ(cfgetispeed(&t), speed);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_NE(t.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(t.c_cflag & (PARENB | CMSPAR), 0u);
        EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        port.RequestClose();
        ASSERT_TRUE(WaitUntil([&] { return !port.WorkerAlive(); }));
    }
}

TEST(SerialTermios, ParityDataAndStopBitsBuildTheirFlags)
{
    struct Case {
        char parity;
        int dataBits;
        int stopBits;
        tcflag_t flags;
    };
    const Case cases[] = {
        {'N', 8, 2, CS8 | CSTOPB},
        {'n', 8, 1, CS8},
        {'E', 7, 1, CS7 | PARENB},
        {'O', 8, 1, CS8 | PARENB | PARODD},
        {'M', 8, 1, CS8 | PARENB | PARODD | CMSPAR},
        {'S', 5, 2, CS5 | PARENB | CMSPAR | CSTOPB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parity);
        termios t{};
        t.c_cflag = CRTSCTS | HUPCL;
        t.c_iflag = IXON | IXOFF | ICRNL;
        ASSERT_TRUE(transport::BuildTermios({19200, c.parity, c.dataBits, c.stopBits}, t));
        EXPECT_EQ(t.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR), c.flags);
        EXPECT_EQ(t.c_cflag & (CRTSCTS | HUPCL), 0u);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, (c.flags & PARENB) != 0);
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    }
    termios t{};
    EXPECT_FALSE(transport::BuildTermios({12345, 'N', 8, 2}, t));
    EXPECT_FALSE(transport::BuildTermios({9600, 'X', 8, 2}, t));
    EXPECT_FALSE(transport::BuildTermios({9600, 'N', 9, 2}, t));
    EXPECT_FALSE(transport::BuildTermios({9600, 'N', 8, 3}, t));
}

TEST_F(SerialLineSettings, FailingStepDoesNotFailTheOpen)
{
    ASSERT_TRUE(port.OpenPort(&window, kPort, 9600, 'N', 8, 1, 0x03, 512, 3));

    // A speed termios does not know ends the chain before anything is applied.
    ASSERT_TRUE(port.OpenPort(&window, kPort, 12345, 'N', 8, 2, 0x03, 512, 3));
    EXPECT_TRUE(port.IsOpen());
    termios t = FarSideSettings(pty);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);

    // A pseudo-terminal keeps 8 bits without parity whatever is asked: the
    // read-back fails the step, the port still opens.
    ASSERT_TRUE(port.OpenPort(&window, kPort, 9600, 'E', 7, 1, 0x03, 512, 3));
    EXPECT_TRUE(port.IsOpen());
    t = FarSideSettings(pty);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
    port.RequestClose();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialWrite, FrameGoesOutWhole)
{
    ASSERT_TRUE(OpenAndStart());
    const auto frame = NumberedFrame(7);
    port.QueueWrite(frame.data(), frame.size());
    EXPECT_EQ(pty.ReadMaster(18), frame);
}

TEST_F(SerialWrite, BurstsOfFramesArriveWholeInOrderNoneLost)
{
    ASSERT_TRUE(OpenAndStart());
    unsigned sequence = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::uint8_t> expected;
        for (std::size_t i = 0; i < transport::kMaxQueuedWrites; ++i) {
            const auto frame = NumberedFrame(sequence++);
            port.QueueWrite(frame.data(), frame.size());
            expected.insert(expected.end(), frame.begin(), frame.end());
        }
        const auto got = pty.ReadMaster(expected.size());
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t f = 0; f < got.size() / 18; ++f) {
            ASSERT_TRUE(std::equal(got.begin() + f * 18, got.begin() + f * 18 + 18, expected.begin() + f * 18))
                << "frame " << f << " torn or out of order";
        }
    }
}

// The frames numbered first.. in order, whole, one after the other.
std::vector<std::uint8_t> NumberedFrames(unsigned first, unsigned count)
{
    std::vector<std::uint8_t> bytes;
    for (unsigned i = first; i < first + count; ++i) {
        const auto frame = NumberedFrame(i);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

constexpr unsigned kFloodCommands = 200;

TEST_F(SerialWrite, CommandsGoOutWhileTheFarEndNeverStopsTalking)
{
    Watchdog watchdog(60s, "writes under a flood");
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    Streamer flood(pty.Master());  // once the line is raw: a cooked one echoes
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() > 1000; }));

    // A command after each byte the window handles, as a panel sends while
    // answers and noise stream in.
    for (unsigned i = 0; i < kFloodCommands; ++i) {
        const auto frame = NumberedFrame(i);
        const std::size_t handled = window.bytes.size();
        ASSERT_TRUE(port.QueueWrite(frame.data(), frame.size())) << "command " << i;
        ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() > handled; }));
    }
    const auto expected = NumberedFrames(0, kFloodCommands);
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size(); }, 10s))
        << flood.Received().size() / 18 << " of " << kFloodCommands << " written";
    EXPECT_EQ(flood.Received(), expected);
    EXPECT_TRUE(window.failures.empty());
}

TEST_F(SerialWrite, CommandsTheQueueCannotTakeAreReportedOnce)
{
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    Streamer flood(pty.Master());
    // No worker yet: nothing leaves the queue.
    unsigned taken = 0;
    for (unsigned i = 0; i < kFloodCommands; ++i) {
        const auto frame = NumberedFrame(i);
        taken += port.QueueWrite(frame.data(), frame.size()) ? 1 : 0;
    }
    EXPECT_EQ(taken, transport::kMaxQueuedWrites);
    ASSERT_TRUE(port.StartWorker());
    const auto expected = NumberedFrames(0, taken);
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size() && !window.failures.empty(); }));
    EXPECT_EQ(flood.Received(), expected) << "every command taken is written, in order";
    PumpFor(50ms);
    ASSERT_EQ(window.failures.size(), 1u) << "the refusals are reported, once";
    EXPECT_EQ(window.failures[0], (std::pair<platform::WParam, platform::LParam>{msg::kSerialFailedPort, 0}));
}

TEST_F(SerialWrite, AnAnswerComingInWhileACommandGoesOutIsKeptWhole)
{
    ASSERT_TRUE(OpenAndStart());
    const auto answer = NumberedFrame(1);
    const std::size_t half = answer.size() / 2;
    ASSERT_TRUE(pty.WriteMaster({answer.begin(), answer.begin() + half}));
    ASSERT_TRUE(PumpUntil([&] { return !window.bytes.empty(); }));
    // The worker waits for the window to take the next byte; meanwhile the
    // rest of the answer arrives and the window sends a command.
    ASSERT_TRUE(pty.WriteMaster({answer.begin() + half, answer.end()}));
    const auto command = NumberedFrame(2);
    ASSERT_TRUE(port.QueueWrite(command.data(), command.size()));
    EXPECT_TRUE(PumpUntil([&] { return window.bytes.size() >= answer.size(); }, 1s));
    EXPECT_EQ(window.bytes, answer);
    EXPECT_EQ(pty.ReadMaster(command.size()), command);
}

TEST_F(SerialWrite, FramesOutsideAnOpenSessionAreDropped)
{
    const auto early = NumberedFrame(1);
    port.QueueWrite(early.data(), early.size());  // never opened

    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    const std::vector<std::uint8_t> tooLong(2 * 512 + 1, 0xAA);
    port.QueueWrite(tooLong.data(), tooLong.size());
    const auto frame = NumberedFrame(2);
    port.QueueWrite(frame.data(), frame.size());  // before the worker: kept
    ASSERT_TRUE(port.StartWorker());
    EXPECT_EQ(pty.ReadMaster(18), frame);

    port.RequestClose();
    ASSERT_TRUE(WaitUntil([&] { return !port.WorkerAlive(); }));
    port.QueueWrite(early.data(), early.size());  // closed
    ASSERT_TRUE(OpenAndStart());
    const auto next = NumberedFrame(3);
    port.QueueWrite(next.data(), next.size());
    EXPECT_EQ(pty.ReadMaster(18), next);
}

TEST(SerialRead, BytesArriveAsMessagesInOrderWithThePortNumber)
{
    PtyPair pty(12);
    RecordingWindow window;
    transport::CSerialPort port;
    ASSERT_TRUE(OpenLikeMainWindow(port, &window, 12));
    ASSERT_TRUE(port.StartWorker());
    const auto frame = NumberedFrame(42);
    ASSERT_TRUE(pty.WriteMaster(frame));
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() >= 18; }));
    PumpFor(50ms);
    EXPECT_EQ(window.bytes, frame);
    EXPECT_EQ(window.ports, std::vector<platform::LParam>(18, 12));
    EXPECT_TRUE(window.failures.empty());
}

TEST(SerialRead, AllBytesOfALongStreamArriveInOrder)
{
    PtyPair pty;
    RecordingWindow window;
    transport::CSerialPort port;
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    ASSERT_TRUE(port.StartWorker());
    std::vector<std::uint8_t> stream;
    for (unsigned i = 0; i < 3000; ++i) {
        stream.push_back(static_cast<std::uint8_t>(i * 13 + (i >> 8)));
    }
    ASSERT_TRUE(pty.WriteMaster(stream));
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() >= stream.size(); }, 10000ms));
    EXPECT_EQ(window.bytes, stream);
}

TEST_F(SerialFailure, ClosingTheFarEndPostsSerialFailedOnce)
{
    ASSERT_TRUE(OpenAndStart());
    pty.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !window.failures.empty(); }));
    // A hung-up tty stays readable: the worker must not report it again.
    PumpFor(300ms);
    ASSERT_EQ(window.failures.size(), 1u);
    EXPECT_EQ(window.failures[0].first, msg::kSerialFailedPort);
    EXPECT_EQ(window.failures[0].second, 0);
    // It keeps running until told to close; writes now go nowhere.
    EXPECT_TRUE(port.WorkerAlive());
    const auto frame = NumberedFrame(5);
    port.QueueWrite(frame.data(), frame.size());
    PumpFor(50ms);
    EXPECT_EQ(window.failures.size(), 1u);
    port.RequestClose();
    EXPECT_TRUE(WaitUntil([&] { return !port.WorkerAlive(); }));
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace velmora::serial_test
