// The serial port on a pty pair: settings, writes, reads, the far end failing.

#include "pty_support.h"

#include <sys/ioctl.h>
#include <termios.h>

namespace velmora::serial_test {
namespace {

using SerialIo = SerialPortTest;
using Failure = std::pair<platform::WParam, platform::LParam>;

termios FarSideSettings(const PtyPair& pty)
{
    termios t{};
    EXPECT_EQ(tcgetattr(pty.Master(), &t), 0);
    return t;
}

// Each baud of the list reads back as 8N2 raw; a failing step of the
// settings chain does not fail the open.
TEST_F(SerialIo, LineSettingsReadBackAndAFailingStepDoesNotFailTheOpen)
{
    const std::pair<unsigned, speed_t> bauds[] = {{4800, B4800},   {9600, B9600},   {19200, B19200},
                                                  {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const auto& [baud, speed] : bauds) {
        SCOPED_TRACE(baud);
        ASSERT_TRUE(OpenLikeMainWindow(port, &window, kPort, baud));
        ASSERT_TRUE(port.StartWorker());
        const termios t = FarSideSettings(pty);
        EXPECT_EQ(cfgetospeed(&t), speed);
        EXPECT_EQ(cfgetispeed(&t), speed);
        EXPECT_EQ(t.c_cflag & (CSIZE | CSTOPB | PARENB | CMSPAR | CRTSCTS | CLOCAL | CREAD),
                  static_cast<tcflag_t>(CS8 | CSTOPB | CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        port.RequestClose();
        ASSERT_TRUE(Stopped());
    }
    ASSERT_TRUE(port.OpenPort(&window, kPort, 9600, 'N', 8, 1, 0x03, 512, 3));
    // A speed termios does not know ends the chain before anything is applied.
    ASSERT_TRUE(port.OpenPort(&window, kPort, 12345, 'N', 8, 2, 0x03, 512, 3));
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

TEST(SerialTermios, ParityDataAndStopBitsBuildTheirFlags)
{
    const std::tuple<char, int, int, tcflag_t> cases[] = {
        {'N', 8, 2, CS8 | CSTOPB},
        {'n', 8, 1, CS8},
        {'E', 7, 1, CS7 | PARENB},
        {'O', 8, 1, CS8 | PARENB | PARODD},
        {'M', 8, 1, CS8 | PARENB | PARODD | CMSPAR},
        {'S', 5, 2, CS5 | PARENB | CMSPAR | CSTOPB},
    };
    for (const auto& [parity, dataBits, stopBits, flags] : cases) {
        SCOPED_TRACE(parity);
        termios t{};
        t.c_cflag = CRTSCTS | HUPCL;
        t.c_iflag = IXON | IXOFF | ICRNL;
        ASSERT_TRUE(transport::BuildTermios({19200, parity, dataBits, stopBits}, t));
        EXPECT_EQ(t.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL), flags);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, (flags & PARENB) != 0);
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    }
    termios t{};
    for (const transport::LineSettings& bad : std::initializer_list<transport::LineSettings>{
             {12345, 'N', 8, 2}, {9600, 'X', 8, 2}, {9600, 'N', 9, 2}, {9600, 'N', 8, 3}}) {
        EXPECT_FALSE(transport::BuildTermios(bad, t));
    }
}

TEST_F(SerialIo, BurstsOfFramesArriveWholeInOrderNoneLost)
{
    ASSERT_TRUE(OpenAndStart());
    for (unsigned round = 0; round < 4; ++round) {
        const auto frames = NumberedFrames(round * transport::kMaxQueuedWrites, transport::kMaxQueuedWrites);
        ASSERT_EQ(QueueFrames(port, frames), transport::kMaxQueuedWrites);
        ASSERT_EQ(pty.ReadMaster(frames.size()), frames) << "round " << round;
    }
}

constexpr unsigned kFloodCommands = 200;

TEST_F(SerialIo, CommandsGoOutWhileTheFarEndNeverStopsTalking)
{
    Watchdog watchdog(60s, "writes under a flood");
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    Streamer flood(pty.Master());  // once the line is raw: a cooked one echoes
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() > 1000; }));
    // A command after each byte the window handles, as a panel sends while
    // answers and noise stream in.
    for (unsigned i = 0; i < kFloodCommands; ++i) {
        const std::size_t handled = window.bytes.size();
        ASSERT_EQ(QueueFrames(port, NumberedFrames(i)), 1u) << "command " << i;
        ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() > handled; }));
    }
    const auto expected = NumberedFrames(0, kFloodCommands);
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size(); }, 10s))
        << flood.Received().size() / 18 << " of " << kFloodCommands << " written";
    EXPECT_EQ(flood.Received(), expected);
    EXPECT_TRUE(window.failures.empty());
}

TEST_F(SerialIo, CommandsTheQueueCannotTakeAreReportedOnce)
{
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    Streamer flood(pty.Master());
    // No worker yet: nothing leaves the queue.
    const unsigned taken = QueueFrames(port, NumberedFrames(0, kFloodCommands));
    EXPECT_EQ(taken, transport::kMaxQueuedWrites);
    ASSERT_TRUE(port.StartWorker());
    const auto expected = NumberedFrames(0, taken);
    ASSERT_TRUE(PumpUntil([&] { return flood.Received().size() >= expected.size() && !window.failures.empty(); }));
    EXPECT_EQ(flood.Received(), expected) << "every command taken is written, in order";
    PumpFor(50ms);
    EXPECT_EQ(window.failures, (std::vector<Failure>{{msg::kSerialFailedPort, 0}}))
        << "the refusals are reported, once";
}

TEST_F(SerialIo, AnAnswerComingInWhileACommandGoesOutIsKeptWhole)
{
    ASSERT_TRUE(OpenAndStart());
    const auto answer = NumberedFrames(1);
    ASSERT_TRUE(pty.WriteMaster({answer.begin(), answer.begin() + 9}));
    ASSERT_TRUE(PumpUntil([&] { return !window.bytes.empty(); }));
    // The worker waits for the window to take the next byte; meanwhile the
    // rest of the answer arrives and the window sends a command.
    ASSERT_TRUE(pty.WriteMaster({answer.begin() + 9, answer.end()}));
    const auto command = NumberedFrames(2);
    ASSERT_EQ(QueueFrames(port, command), 1u);
    EXPECT_TRUE(PumpUntil([&] { return window.bytes.size() >= answer.size(); }, 1s));
    EXPECT_EQ(window.bytes, answer);
    EXPECT_EQ(pty.ReadMaster(command.size()), command);
}

TEST_F(SerialIo, FramesOutsideAnOpenSessionAreDropped)
{
    QueueFrames(port, NumberedFrames(1));  // never opened
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    const std::vector<std::uint8_t> tooLong(2 * 512 + 1, 0xAA);
    port.QueueWrite(tooLong.data(), tooLong.size());
    QueueFrames(port, NumberedFrames(2));  // before the worker: kept
    ASSERT_TRUE(port.StartWorker());
    EXPECT_EQ(pty.ReadMaster(18), NumberedFrames(2));
    port.RequestClose();
    ASSERT_TRUE(Stopped());
    QueueFrames(port, NumberedFrames(1));  // closed
    ASSERT_TRUE(OpenAndStart());
    QueueFrames(port, NumberedFrames(3));
    EXPECT_EQ(pty.ReadMaster(18), NumberedFrames(3));
}

TEST_F(SerialIo, ClosingTheFarEndPostsSerialFailedOnce)
{
    ASSERT_TRUE(OpenAndStart());
    pty.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !window.failures.empty(); }));
    // A hung-up tty stays readable: the worker must not report it again,
    // and keeps running until told to close; writes now go nowhere.
    PumpFor(300ms);
    EXPECT_TRUE(port.WorkerAlive());
    QueueFrames(port, NumberedFrames(5));
    PumpFor(50ms);
    EXPECT_EQ(window.failures, (std::vector<Failure>{{msg::kSerialFailedPort, 0}}));
    port.RequestClose();
    EXPECT_TRUE(Stopped());
    EXPECT_FALSE(port.IsOpen());
}

// Also records where event messages fall among the bytes, and the hand-offs.
class BatchWindow : public RecordingWindow {
public:
    BatchWindow()
    {
        OnMessage(msg::kSerialEventChar, [this](platform::WParam, platform::LParam) {
            marks.push_back(bytes.size());
            return platform::LResult{0};
        });
    }
    std::vector<std::size_t> marks;  // bytes handled when each event message came
    int handOffs = 0;

protected:
    bool event(QEvent* e) override
    {
        handOffs += e->type() == messaging::MessageEvent::EventType() ? 1 : 0;
        return RecordingWindow::event(e);
    }
};

int Unread(const PtyPair& pty)
{
    int n = -1;
    ioctl(pty.Slave(), TIOCINQ, &n);
    return n;
}

// What one read brings is handed to the owner in one blocking send, with
// the port number, the event message after the bytes; the worker reads no
// more until the owner has taken it all.
TEST(SerialBatch, OneReadIsOneHandOffAndTheWorkerWaitsUntilItIsTaken)
{
    constexpr int kOtherPort = 12;
    PtyPair pty(kOtherPort);
    BatchWindow window;
    transport::CSerialPort port;
    ASSERT_TRUE(OpenLikeMainWindow(port, &window, kOtherPort));
    ASSERT_TRUE(port.StartWorker());
    const auto stream = NumberedFrames(0, 20);
    constexpr auto kChunk = static_cast<int>(transport::kSerialReadChunk);
    const int total = static_cast<int>(stream.size());
    ASSERT_GT(total, kChunk);
    ASSERT_TRUE(pty.WriteMaster(stream));
    // While this thread does not run its loop, at most one read's worth is gone.
    ASSERT_TRUE(WaitUntil([&] { return Unread(pty) >= total - kChunk; })) << "the worker read on";
    EXPECT_FALSE(WaitUntil([&] { return Unread(pty) < total - kChunk; }, 200ms))
        << "the worker read on before its batch was taken";
    EXPECT_TRUE(window.bytes.empty());

    ASSERT_TRUE(PumpUntil([&] { return !window.marks.empty() && window.marks.back() == stream.size(); }));
    EXPECT_EQ(window.bytes, stream);
    EXPECT_EQ(window.ports, std::vector<platform::LParam>(stream.size(), kOtherPort));
    std::size_t previous = 0;
    for (const std::size_t mark : window.marks) {
        EXPECT_GT(mark, previous);
        EXPECT_LE(mark - previous, transport::kSerialReadChunk);
        previous = mark;
    }
    EXPECT_EQ(window.handOffs, static_cast<int>(window.marks.size()));
    EXPECT_TRUE(window.failures.empty());
}

TEST(SerialBatch, AHandlerClosingThePortDropsTheRestAndAReopenedPortLosesNothing)
{
    Watchdog watchdog(60s, "close from a byte handler");
    PtyPair pty;
    BatchWindow window;
    transport::CSerialPort port;
    constexpr std::size_t kCloseAt = 5;
    bool closeAtFifth = true;
    window.OnMessage(msg::kSerialByte, [&](platform::WParam w, platform::LParam l) {
        window.Take(w, l);
        if (closeAtFifth && window.bytes.size() == kCloseAt) {
            port.RequestClose();
            window.accepting = false;
        }
        return platform::LResult{0};
    });
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(pty.WriteMaster(NumberedFrames(3)));
    ASSERT_TRUE(PumpUntil([&] { return !port.WorkerAlive(); }));
    EXPECT_EQ(window.bytes.size(), kCloseAt);
    EXPECT_EQ(window.lateBytes, 0);
    EXPECT_TRUE(window.marks.empty()) << "no event message after the close";

    // A new session takes a long stream whole and in order.
    closeAtFifth = false;
    window.bytes.clear();
    window.accepting = true;
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    ASSERT_TRUE(port.StartWorker());
    const auto stream = NumberedFrames(100, 170);
    ASSERT_TRUE(pty.WriteMaster(stream));
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() >= stream.size(); }, 10s));
    EXPECT_EQ(window.bytes, stream);
    EXPECT_EQ(window.lateBytes, 0);
}

}  // namespace
}  // namespace velmora::serial_test
