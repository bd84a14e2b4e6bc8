// A stream socket's events as its owner sees them: in the order they happen,
// one read event until the owner has read, the end told once.

#include "gui_helpers.h"
#include "messaging/message.h"
#include "tcp/scripted_server.h"
#include "transport/async_socket.h"
#include "transport/tcp_client.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace velmora::test {
namespace {

constexpr std::uint32_t kSocketMessage = 0x502;
// Event-loop turns a handler spends before it reads: enough for the socket's
// notifier to come round several times.
constexpr int kTurnsBeforeReading = 20;

class Recorder : public QObject {
public:
    transport::AsyncSocket socket{*this, kSocketMessage};
    std::vector<std::uint16_t> events;
    Bytes received;
    std::function<void()> onRead = [this] { Read(); };
    int depth = 0;
    int deepest = 0;

    void Read()
    {
        const auto data = socket.Receive();
        received.insert(received.end(), data.begin(), data.end());
    }

    bool Connect(const ScriptedServer& server)
    {
        const auto address = transport::ParseSwitcherAddress(server.Address());
        if (!socket.OpenStream() || !address) {
            return false;
        }
        socket.Connect(*address, protocol::kSwitcherTcpPort);
        return true;
    }

protected:
    bool event(QEvent* e) override
    {
        auto* message = dynamic_cast<messaging::MessageEvent*>(e);
        if (!message) {
            return QObject::event(e);
        }
        if (message->Message() == kSocketMessage && socket.Owns(message->W())) {
            const std::uint16_t what = transport::SocketEvent(message->L());
            events.push_back(what);
            deepest = std::max(deepest, ++depth);
            if (what == msg::kSocketRead) {
                onRead();
            }
            --depth;
        }
        return true;
    }
};

void Turn(int times)
{
    for (int i = 0; i < times; ++i) {
        QCoreApplication::processEvents();
    }
}

Bytes Counting(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    return bytes;
}

TEST(AsyncSocket, ConnectThenEveryReadThenTheEndOnce)
{
    ScriptedServer server;
    Recorder owner;
    ASSERT_TRUE(owner.Connect(server));
    ASSERT_TRUE(server.Accept());
    // Written and closed before the owner has seen its connect event, maybe.
    const Bytes sent = Counting(3 * transport::kSocketReadSize + 100);
    ASSERT_TRUE(server.Write(sent));
    server.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return !owner.events.empty() && owner.events.back() == msg::kSocketClose; }));
    Turn(kTurnsBeforeReading);

    EXPECT_EQ(owner.received, sent);
    ASSERT_GE(owner.events.size(), 3u);
    EXPECT_EQ(owner.events.front(), msg::kSocketConnect);
    EXPECT_EQ(owner.events.back(), msg::kSocketClose);
    EXPECT_EQ(std::count(owner.events.begin(), owner.events.end(), msg::kSocketClose), 1);
    EXPECT_EQ(std::count(owner.events.begin(), owner.events.end(), msg::kSocketConnect), 1);
}

TEST(AsyncSocket, AnOwnerThatHasNotReadIsNotToldAgainUntilItReads)
{
    ScriptedServer server;
    Recorder owner;
    // The first read event runs the event loop before it reads, as a modal
    // message box in a handler would.
    owner.onRead = [&] {
        if (owner.received.empty()) {
            Turn(kTurnsBeforeReading);
        }
        owner.Read();
    };
    ASSERT_TRUE(owner.Connect(server));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(PumpUntil([&] { return !owner.events.empty(); }));
    const Bytes sent = Counting(2 * transport::kSocketReadSize);
    ASSERT_TRUE(server.Write(sent));
    ASSERT_TRUE(PumpUntil([&] { return owner.received.size() == sent.size(); }));

    EXPECT_EQ(owner.received, sent);
    EXPECT_EQ(owner.deepest, 1);
}

TEST(AsyncSocket, AnOwnerMayCloseTheSocketInsideItsReadEvent)
{
    ScriptedServer server;
    Recorder owner;
    owner.onRead = [&] {
        owner.Read();
        owner.socket.Close();
    };
    ASSERT_TRUE(owner.Connect(server));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(server.Write(Counting(10)));
    server.ClosePeer();
    ASSERT_TRUE(PumpUntil([&] { return !owner.socket.IsOpen(); }));
    Turn(kTurnsBeforeReading);

    EXPECT_EQ(owner.events, (std::vector<std::uint16_t>{msg::kSocketConnect, msg::kSocketRead}));
    EXPECT_EQ(owner.received, Counting(10));
}

}  // namespace
}  // namespace velmora::test
