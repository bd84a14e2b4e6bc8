// Answers written by a scripted server in the pieces a network may deliver:
// every complete frame is handled, in order, whatever the pieces.

#include "tcp_fixture.h"

#include "appdefs/page_codes.h"
#include "protocol/commands.h"
#include "protocol/frame.h"

#include <QCoreApplication>

namespace velmora::test {
namespace {

Bytes StatusAnswer(std::uint8_t input)
{
    const auto frame = protocol::MakeFrame(protocol::kGeneralStatus, {{protocol::general_status::kInput, input}});
    return {frame.begin(), frame.end()};
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

Bytes Noise(std::size_t size)
{
    Bytes noise(size);
    for (std::size_t i = 0; i < size; ++i) {
        noise[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
        noise[i] = noise[i] == protocol::kStart0 ? 0 : noise[i];  // never a frame start
    }
    return noise;
}

Bytes Burst(int frames)
{
    Bytes burst;
    for (int i = 0; i < frames; ++i) {
        const Bytes frame = StatusAnswer(static_cast<std::uint8_t>(1 + i % 5));
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    return burst;
}

class TcpStream : public TcpPanelTest {
protected:
    void SetUp() override
    {
        TcpPanelTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(ConnectToServer());
    }
    // The panel has read `total` bytes of this connection.
    bool ReadAll(std::size_t total)
    {
        return PumpUntil([&] { return panel->Tcp().BytesReceived() >= total; }, 3s);
    }
};

// Pieces written one after the other, each read whole before the next, and
// the frames handled after each; the General page then shows `input`.
struct StreamCase {
    const char* name;
    std::vector<Bytes> pieces;
    std::vector<int> frames;
    int inputButton;
};

TEST_F(TcpStream, EveryCompleteFrameIsHandledInOrderWhateverThePieces)
{
    const Bytes two = Joined({StatusAnswer(2), StatusAnswer(4)});
    // The burst: 111 frames (1998 bytes) in one write; the log empties
    // itself at its 60th frame, so 7 + 111 - 60 remain counted.
    const StreamCase cases[] = {
        {"garbage before a frame", {Joined({{0x00, 0x50, 0x56, 0x13, 0xFF, 0x50}, StatusAnswer(2)})}, {1}, c::kHdmi2},
        {"ten then eight bytes", {Slice(StatusAnswer(1), 0, 10), Slice(StatusAnswer(1), 10, 18)}, {1, 2}, c::kHdmi1},
        {"ten, twenty, six", {Slice(two, 0, 10), Slice(two, 10, 30), Slice(two, 30, 36)}, {2, 3, 4}, c::kDp},
        {"two frames in one write", {Joined({StatusAnswer(3), StatusAnswer(5)})}, {6}, c::kVga},
        {"2000 bytes of noise, then a frame", {Noise(2000), StatusAnswer(3)}, {6, 7}, c::kHdmi3},
        {"a burst", {Burst(111)}, {58}, c::kHdmi1},
    };
    std::size_t total = 0;
    for (const StreamCase& k : cases) {
        SCOPED_TRACE(k.name);
        for (std::size_t i = 0; i < k.pieces.size(); ++i) {
            ASSERT_TRUE(server.Write(k.pieces[i]));
            total += k.pieces[i].size();
            ASSERT_TRUE(ReadAll(total));
            EXPECT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == k.frames[i]; }, 3s))
                << panel->ReceiveLogFrames();
        }
        EXPECT_TRUE(PumpUntil([&] { return Button(k.inputButton)->isChecked(); }, 1s));
        EXPECT_TRUE(ReceiveLog().startsWith(QStringLiteral("50 56 54 27 01 "))) << "no garbage logged";
    }
}

TEST_F(TcpStream, ANewConnectionStartsANewStream)
{
    ASSERT_TRUE(server.Write(Slice(StatusAnswer(2), 0, 12)));
    ASSERT_TRUE(ReadAll(12));
    ScriptedServer second;
    ASSERT_TRUE(second.Ok());
    Button(c::kTcpConnect)->click();  // Disconnect
    ClickConnect(second.Address());
    ASSERT_TRUE(second.Accept());
    ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    // Had the old 12 bytes stayed, these 18 would complete a false frame.
    ASSERT_TRUE(second.Write(StatusAnswer(3)));
    ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == 1; }, 3s));
    EXPECT_TRUE(PumpUntil([&] { return Button(c::kHdmi3)->isChecked(); }, 1s));
}

// A page whose reply handler runs a nested event loop (as one that opens a
// message box does) while a burst of frames is still arriving: the socket's
// data is read again from inside the handler, and every frame must still be
// handled exactly once, in order.
class PumpingReceiver : public protocol::ReplyReceiver {
public:
    void HandleReply(protocol::ReplyFrame frame) override
    {
        seen.push_back(frame[protocol::kLastParam] | frame[protocol::kLastParam - 1] << 8);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::vector<int> seen;
};

TEST_F(TcpStream, AHandlerThatPumpsTheEventLoopHandlesEveryFrameOnce)
{
    PumpingReceiver receiver;
    panel->Dispatcher().SetReceiver(page::kGeneral, &receiver);
    constexpr int kFrames = 300;
    Bytes burst;
    std::vector<int> expected;
    for (int i = 0; i < kFrames; ++i) {
        const auto frame = protocol::MakeFrame(protocol::kGeneralStatus,
                                               {{protocol::kLastParam - 1, static_cast<std::uint8_t>(i >> 8)},
                                                {protocol::kLastParam, static_cast<std::uint8_t>(i & 0xFF)}});
        burst.insert(burst.end(), frame.begin(), frame.end());
        expected.push_back(i);
    }
    // Odd pieces, so that frames straddle the reads made inside the handler.
    for (std::size_t at = 0; at < burst.size(); at += 77) {
        ASSERT_TRUE(server.Write(Slice(burst, at, std::min(burst.size(), at + 77))));
    }
    ASSERT_TRUE(PumpUntil([&] { return receiver.seen.size() >= kFrames; }, 5s)) << receiver.seen.size();
    ASSERT_TRUE(ReadAll(burst.size()));
    EXPECT_EQ(receiver.seen, expected);
    panel->Dispatcher().SetReceiver(page::kGeneral, &panel->General());
}

}  // namespace
}  // namespace velmora::test
