#include "transport/tcp_client.h"

#include "protocol/address_text.h"
#include "protocol/network_commands.h"

#include <cstring>

namespace velmora::transport {

std::optional<in_addr> ParseSwitcherAddress(const QString& text)
{
    const auto octets = protocol::ReadSwitcherAddress(text.toStdU16String());
    if (!octets) {
        return std::nullopt;
    }
    in_addr address{};
    std::memcpy(&address.s_addr, octets->data(), octets->size());
    return address;
}

TcpClient::TcpClient(QObject& owner, std::uint32_t socketMessage, protocol::FrameHandler onReply)
    : stream_(std::move(onReply)), socket_(owner, socketMessage)
{}

bool TcpClient::Connect(const QString& address)
{
    if (!socket_.OpenStream()) {
        return false;
    }
    stream_.Reset();  // a new connection is a new stream
    received_ = 0;
    if (const auto parsed = ParseSwitcherAddress(address)) {
        socket_.Connect(*parsed, protocol::kSwitcherTcpPort);
    }
    connected_ = false;
    return true;
}

void TcpClient::Close()
{
    connected_ = false;
    socket_.Close();
    emit connectionChanged(false);
}

messaging::LResult TcpClient::OnSocketMessage(messaging::WParam w, messaging::LParam l)
{
    if (!socket_.Owns(w)) {
        return 0;  // an event of a socket closed since
    }
    switch (SocketEvent(l)) {
    case msg::kSocketRead:
        if (const auto data = socket_.Receive(); !data.empty()) {
            received_ += data.size();
            stream_.OnData(data);
        }
        break;
    case msg::kSocketConnect:
        if (SocketError(l) == 0) {
            connected_ = true;
            emit connectionChanged(true);
        }
        break;
    case msg::kSocketClose:
        connected_ = false;
        emit connectionChanged(false);
        break;
    default:
        break;
    }
    return 0;
}

void TcpClient::Write(std::span<const std::uint8_t> bytes)
{
    // Until its connect event has been handled the connection is still being
    // made, however far the kernel has got with it: the bytes go nowhere.
    if (connected_) {
        socket_.Send(bytes);
    }
}

}  // namespace velmora::transport
