// The TCP client on its own, without a window or a widget: its owner is a
// plain QObject that hands the socket's messages back.

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

class Owner : public QObject {
public:
    transport::TcpClient* client = nullptr;

protected:
    bool event(QEvent* e) override
    {
        auto* message = dynamic_cast<messaging::MessageEvent*>(e);
        if (message && message->Message() == kSocketMessage) {
            message->Complete(client->OnSocketMessage(message->W(), message->L()));
        }
        return message || QObject::event(e);
    }
};

TEST(TcpClientAlone, ReportsTheConnectionItsRepliesAndItsEndEitherWay)
{
    Owner owner;
    std::vector<Bytes> replies;
    std::vector<bool> changes;
    transport::TcpClient client{owner, kSocketMessage, [&](std::span<const std::uint8_t, protocol::kFrameSize> f) {
                                    replies.emplace_back(f.begin(), f.end());
                                }};
    owner.client = &client;
    QObject::connect(&client, &transport::TcpClient::connectionChanged, [&](bool on) { changes.push_back(on); });
    const auto frame = protocol::MakeFrame(protocol::kGeneralStatus);
    const Bytes reply(frame.begin(), frame.end());
    for (const bool serverCloses : {true, false}) {
        SCOPED_TRACE(serverCloses);
        ScriptedServer server;
        ASSERT_TRUE(client.Connect(server.Address()));
        ASSERT_TRUE(server.Accept());
        ASSERT_TRUE(PumpUntil([&] { return client.TcpConnected(); }));
        ASSERT_TRUE(server.Write(reply));
        ASSERT_TRUE(PumpUntil([&] { return replies.size() == (serverCloses ? 1 : 2); }));
        EXPECT_EQ(replies.back(), reply);
        client.Write(reply);
        EXPECT_EQ(server.ReceivedOnceAtLeast(reply.size()), reply);
        if (serverCloses) {
            server.ClosePeer();
            ASSERT_TRUE(PumpUntil([&] { return !client.TcpConnected(); }));
        } else {
            client.Close();
            EXPECT_FALSE(client.Socket().IsOpen());
        }
    }
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));
}

}  // namespace
}  // namespace velmora::test
