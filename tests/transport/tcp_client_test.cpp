// The TCP client on its own, without a window or a widget: its owner is a
// plain QObject that hands the socket's messages back, as a program without
// widgets would.

#include "gui_helpers.h"
#include "messaging/message.h"
#include "protocol/commands.h"
#include "protocol/frame.h"
#include "tcp/scripted_server.h"
#include "transport/tcp_client.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

constexpr std::uint32_t kSocketMessage = 0x501;

// Hands every message of the TCP client's socket back to it.
class Owner : public QObject {
public:
    transport::TcpClient* client = nullptr;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != messaging::MessageEvent::EventType()) {
            return QObject::event(e);
        }
        auto* message = static_cast<messaging::MessageEvent*>(e);
        if (client && message->Message() == kSocketMessage) {
            message->Complete(client->OnSocketMessage(message->W(), message->L()));
        }
        return true;
    }
};

TEST(TcpClientAlone, ReportsTheConnectionItsRepliesAndItsEndEitherWay)
{
    Owner owner;
    std::vector<Bytes> replies;
    std::vector<bool> changes;
    transport::TcpClient client{owner, kSocketMessage, [&](std::span<const std::uint8_t, protocol::kFrameSize> frame) {
                                    replies.emplace_back(frame.begin(), frame.end());
                                }};
    owner.client = &client;
    QObject::connect(&client, &transport::TcpClient::connectionChanged,
                     [&](bool connected) { changes.push_back(connected); });
    const auto frame = protocol::MakeFrame(protocol::kGeneralStatus);
    const Bytes reply(frame.begin(), frame.end());
    for (const bool serverCloses : {true, false}) {
        SCOPED_TRACE(serverCloses);
        changes.clear();
        ScriptedServer server;
        ASSERT_TRUE(server.Ok());
        ASSERT_TRUE(client.Connect(server.Address()));
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(PumpUntil([&] { return client.TcpConnected(); }));
        EXPECT_EQ(changes, std::vector<bool>{true});
        if (serverCloses) {
            ASSERT_TRUE(server.Write(Bytes(reply.begin(), reply.begin() + 7)));
            ASSERT_TRUE(PumpUntil([&] { return client.BytesReceived() == 7; }));
            EXPECT_TRUE(replies.empty()) << "not a frame yet";
            ASSERT_TRUE(server.Write(Bytes(reply.begin() + 7, reply.end())));
            ASSERT_TRUE(PumpUntil([&] { return replies.size() == 1; }));
            EXPECT_EQ(replies[0], reply);
            client.Write(reply);
            EXPECT_EQ(server.ReceivedOnceAtLeast(reply.size()), reply);
            server.ClosePeer();
            ASSERT_TRUE(PumpUntil([&] { return !client.TcpConnected(); }));
        } else {
            client.Close();
            EXPECT_FALSE(client.TcpConnected());
            EXPECT_FALSE(client.Socket().IsOpen());
        }
        EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    }
}

}  // namespace
}  // namespace velmora::test
