#include "transport/tcp_client.h"

#include "platform/window.h"
#include "protocol/address_text.h"
#include "protocol/commands.h"
#include "protocol/messages.h"
#include "protocol/network_commands.h"
#include "res/main_ids.h"
#include "transport/connection_control.h"

#include <QAbstractButton>
#include <QComboBox>

#include <cstring>

namespace velmora::transport {

namespace c = ctl::main;

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

TcpClient::TcpClient(platform::Window& window, protocol::SendPath& send, protocol::StreamReplyAssembler& stream,
                     protocol::LinkToken& token, std::function<void(const QString&)> systemMessage)
    : window_(window),
      send_(send),
      stream_(stream),
      token_(token),
      systemMessage_(std::move(systemMessage)),
      socket_(window, msg::kControlSocket)
{
}

void TcpClient::OnConnectButton()
{
    if (connected_) {
        Close();
        return;
    }
    Connect();
}

void TcpClient::Connect()
{
    if (!socket_.OpenStream()) {
        systemMessage_(QString::fromLatin1(kCreatingSocketFailed));
        return;
    }
    stream_.Reset();  // a new connection is a new stream
    const auto* list = window_.ControlAs<QComboBox>(c::kSwitcherIp);
    // Text that is no address leaves the attempt without an answer, as a
    // switcher that never accepts would.
    if (const auto address = ParseSwitcherAddress(list ? list->currentText() : QString())) {
        socket_.Connect(*address, protocol::kSwitcherTcpPort);
    }
    connected_ = false;
    // Sent while the connection is still being made: only the send log shows them.
    send_.Send(protocol::kTcpGreeting);
    send_.Send(protocol::kTcpGreeting);
}

void TcpClient::Close()
{
    connected_ = false;
    socket_.Close();
    SetButtonText(kConnectText);
}

platform::LResult TcpClient::OnControlSocket(platform::WParam w, platform::LParam l)
{
    if (!socket_.Owns(w)) {
        return 0;  // an event of a socket closed since
    }
    switch (SocketEvent(l)) {
    case msg::kSocketRead:
        if (const auto data = socket_.Receive(); !data.empty()) {
            stream_.OnData(data);
        }
        break;
    case msg::kSocketConnect:
        if (SocketError(l) == 0) {
            connected_ = true;
            SetButtonText(kDisconnectText);
            token_.GiveBack();
        }
        break;
    case msg::kSocketClose:
        connected_ = false;
        SetButtonText(kConnectText);
        break;
    default:
        break;
    }
    return 0;
}

void TcpClient::Send(std::span<const std::uint8_t> bytes)
{
    // Until its connect event has been handled the connection is still being
    // made, however far the kernel has got with it: the bytes go nowhere.
    if (connected_) {
        socket_.Send(bytes);
    }
}

void TcpClient::SetButtonText(const char* text)
{
    if (auto* button = window_.ControlAs<QAbstractButton>(c::kTcpConnect)) {
        button->setText(QString::fromLatin1(text));
    }
}

}  // namespace velmora::transport
