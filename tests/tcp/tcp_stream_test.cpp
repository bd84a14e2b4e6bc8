// The TCP stream from the panel's side of a real socket: a scripted server
// writes the switcher's answers in the pieces a network may deliver, and
// every complete frame must be handled, in order, whatever the pieces.

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

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

class TcpStream : public TcpPanelTest {
protected:
    void SetUp() override
    {
        TcpPanelTest::SetUp();
        ASSERT_TRUE(server.Ok());
        ClickConnect(server.Address());
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    }
    bool FramesBecome(int count)
    {
        return PumpUntil([&] { return panel->ReceiveLogFrames() == count; }, 3s);
    }
    // The panel has read `total` bytes of this connection.
    bool ReadAll(std::size_t total)
    {
        return PumpUntil([&] { return panel->Tcp().BytesReceived() >= total; }, 3s);
    }

    ScriptedServer server;
};

TEST_F(TcpStream, TenThenEightBytesAreOneFrame)
{
    const Bytes frame = StatusAnswer(1);
    ASSERT_TRUE(server.Write(Slice(frame, 0, 10)));
    ASSERT_TRUE(ReadAll(10));
    EXPECT_EQ(panel->ReceiveLogFrames(), 0) << "not a frame yet";
    ASSERT_TRUE(server.Write(Slice(frame, 10, 18)));
    EXPECT_TRUE(FramesBecome(1));
}

TEST_F(TcpStream, TenThenTwentyThenSixGiveBothFramesInOrder)
{
    const Bytes both = Join({StatusAnswer(2), StatusAnswer(4)});
    ASSERT_TRUE(server.Write(Slice(both, 0, 10)));
    ASSERT_TRUE(ReadAll(10));
    ASSERT_TRUE(server.Write(Slice(both, 10, 30)));
    ASSERT_TRUE(FramesBecome(1));
    ASSERT_TRUE(server.Write(Slice(both, 30, 36)));
    ASSERT_TRUE(FramesBecome(2));
    // The General page followed the later answer.
    EXPECT_TRUE(PumpUntil([&] { return Button(c::kDp)->isChecked(); }, 1s));
}

TEST_F(TcpStream, TwoFramesInOneWriteAreBothHandled)
{
    ASSERT_TRUE(server.Write(Join({StatusAnswer(3), StatusAnswer(5)})));
    ASSERT_TRUE(FramesBecome(2));
    EXPECT_TRUE(PumpUntil([&] { return Button(c::kVga)->isChecked(); }, 1s));
}

TEST_F(TcpStream, GarbageBeforeAFrameIsDropped)
{
    ASSERT_TRUE(server.Write(Join({Bytes{0x00, 0x50, 0x56, 0x13, 0xFF, 0x50}, StatusAnswer(2)})));
    ASSERT_TRUE(FramesBecome(1));
    EXPECT_TRUE(ReceiveLog().startsWith(QStringLiteral("50 56 54 27 01 "))) << ReceiveLog().toStdString();
}

TEST_F(TcpStream, TwoThousandBytesOfNoiseThenAFrame)
{
    Bytes noise(2000);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
        if (noise[i] == protocol::kStart0) {
            noise[i] = 0;  // never a frame start
        }
    }
    ASSERT_TRUE(server.Write(noise));
    ASSERT_TRUE(ReadAll(noise.size()));
    EXPECT_EQ(panel->ReceiveLogFrames(), 0);
    ASSERT_TRUE(server.Write(StatusAnswer(2)));
    EXPECT_TRUE(FramesBecome(1));
}

TEST_F(TcpStream, ABurstOfFramesIsHandledWhole)
{
    // 111 frames (1998 bytes) in one write: the log empties itself at the
    // 60th frame, so 51 remain counted.
    Bytes burst;
    for (int i = 0; i < 111; ++i) {
        const Bytes frame = StatusAnswer(static_cast<std::uint8_t>(1 + i % 5));
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    ASSERT_TRUE(server.Write(burst));
    EXPECT_TRUE(FramesBecome(51));
    ASSERT_TRUE(ReadAll(burst.size()));
    EXPECT_EQ(panel->ReceiveLogFrames(), 51);
}

TEST_F(TcpStream, ANewConnectionStartsANewStream)
{
    const Bytes frame = StatusAnswer(2);
    ASSERT_TRUE(server.Write(Slice(frame, 0, 12)));
    ASSERT_TRUE(ReadAll(12));
    ScriptedServer second;
    ASSERT_TRUE(second.Ok());
    Button(c::kTcpConnect)->click();  // Disconnect
    ClickConnect(second.Address());
    ASSERT_TRUE(second.Accept());
    ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    // Had the old 12 bytes stayed, these 18 would complete a false frame.
    ASSERT_TRUE(second.Write(StatusAnswer(3)));
    ASSERT_TRUE(FramesBecome(1));
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
    for (int i = 0; i < kFrames; ++i) {
        const auto frame = protocol::MakeFrame(protocol::kGeneralStatus,
                                               {{protocol::kLastParam - 1, static_cast<std::uint8_t>(i >> 8)},
                                                {protocol::kLastParam, static_cast<std::uint8_t>(i & 0xFF)}});
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    // Odd pieces, so that frames straddle the reads made inside the handler.
    for (std::size_t at = 0; at < burst.size(); at += 77) {
        ASSERT_TRUE(server.Write(Slice(burst, at, std::min(burst.size(), at + 77))));
    }
    ASSERT_TRUE(PumpUntil([&] { return receiver.seen.size() >= kFrames; }, 5s)) << receiver.seen.size();
    ASSERT_TRUE(ReadAll(burst.size()));
    ASSERT_EQ(receiver.seen.size(), static_cast<std::size_t>(kFrames));
    for (int i = 0; i < kFrames; ++i) {
        EXPECT_EQ(receiver.seen[static_cast<std::size_t>(i)], i);
    }
    panel->Dispatcher().SetReceiver(page::kGeneral, &panel->General());
}

}  // namespace
}  // namespace velmora::test
