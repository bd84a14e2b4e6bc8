// What one read brings is handed to the owner in one blocking send: bytes
// in order and whole, the event message after them, the worker held until the
// owner has taken it all, and a close from inside a handler ending the rest.

#include "pty_support.h"

#include <sys/ioctl.h>

namespace velmora::serial_test {
namespace {

// Bytes waiting in the tty's input queue, unread by the port.
int Unread(const PtyPair& pty)
{
    int n = -1;
    ioctl(pty.Slave(), TIOCINQ, &n);
    return n;
}

// Records the order of bytes and event-character messages, and counts the
// hand-offs (message events) the window receives.
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
        if (e->type() == messaging::MessageEvent::EventType()) {
            ++handOffs;
        }
        return RecordingWindow::event(e);
    }
};

TEST(SerialBatch, OneReadIsOneHandOffAndTheWorkerWaitsUntilItIsTaken)
{
    PtyPair pty;
    BatchWindow window;
    transport::CSerialPort port;
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    ASSERT_TRUE(port.StartWorker());

    // More than one read can take: while this thread does not run its
    // loop, the worker holds one read's bytes and leaves the rest unread.
    std::vector<std::uint8_t> stream;
    for (unsigned i = 0; i < 20; ++i) {
        const auto frame = NumberedFrame(i);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    constexpr auto kChunk = static_cast<int>(transport::kSerialReadChunk);
    const int total = static_cast<int>(stream.size());
    ASSERT_GT(total, kChunk);
    ASSERT_TRUE(pty.WriteMaster(stream));
    // The tty takes the bytes a moment after the write; then at most one
    // read's worth is gone.
    ASSERT_TRUE(WaitUntil([&] { return Unread(pty) >= total - kChunk; })) << "the worker read on";
    EXPECT_FALSE(WaitUntil([&] { return Unread(pty) < total - kChunk; }, 200ms))
        << "the worker read on before its batch was taken";
    EXPECT_TRUE(window.bytes.empty());

    ASSERT_TRUE(PumpUntil([&] { return !window.marks.empty() && window.marks.back() == stream.size(); }));
    EXPECT_EQ(window.bytes, stream);
    EXPECT_EQ(window.ports, std::vector<platform::LParam>(stream.size(), kPort));
    // One event message after each read's bytes, one hand-off for both.
    std::size_t previous = 0;
    for (const std::size_t mark : window.marks) {
        EXPECT_GT(mark, previous);
        EXPECT_LE(mark - previous, transport::kSerialReadChunk);
        previous = mark;
    }
    EXPECT_EQ(window.handOffs, static_cast<int>(window.marks.size()));
}

TEST(SerialBatch, AHandlerClosingThePortDropsTheRestAndAReopenedPortLosesNothing)
{
    Watchdog watchdog(60s, "close from a byte handler");
    PtyPair pty;
    BatchWindow window;
    transport::CSerialPort port;
    constexpr std::size_t kCloseAt = 5;
    bool closeAtFifth = true;
    window.OnMessage(msg::kSerialByte, [&](platform::WParam w, platform::LParam) {
        if (!window.accepting) {
            ++window.lateBytes;
        }
        window.bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        if (closeAtFifth && window.bytes.size() == kCloseAt) {
            port.RequestClose();
            window.accepting = false;
        }
        return platform::LResult{0};
    });
    ASSERT_TRUE(OpenLikeMainWindow(port, &window));
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(pty.WriteMaster(NumberedFrame(3)));
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
    std::vector<std::uint8_t> stream;
    for (unsigned i = 0; i < 100; ++i) {
        const auto frame = NumberedFrame(100 + i);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    ASSERT_TRUE(pty.WriteMaster(stream));
    ASSERT_TRUE(PumpUntil([&] { return window.bytes.size() >= stream.size(); }));
    EXPECT_EQ(window.bytes, stream);
    EXPECT_EQ(window.lateBytes, 0);
}

}  // namespace
}  // namespace velmora::serial_test
