#pragma once
// TCP control: one connection to the switcher's network module, carrying the
// same frames as the serial line. Connect and Disconnect share one button;
// the connection's events arrive as window messages.

#include "protocol/link_token.h"
#include "protocol/reply_assembly.h"
#include "protocol/send_path.h"
#include "transport/async_socket.h"

#include <QString>

#include <functional>
#include <optional>
#include <span>

namespace velmora::transport {

inline constexpr char kCreatingSocketFailed[] = "creating socket failed!";

// The address text of the Switcher IP list as the standard dotted-decimal
// parser reads it (low byte of each character, at most 49 of them).
std::optional<in_addr> ParseSwitcherAddress(const QString& text);

class TcpClient {
public:
    // Received bytes go to `stream`; systemMessage shows the platform's plain
    // message box. A connection made gives `token` back, as a serial Connect
    // does: reconnecting frees the panel after an answer that never came.
    TcpClient(platform::Window& window, protocol::SendPath& send, protocol::StreamReplyAssembler& stream,
              protocol::LinkToken& token, std::function<void(const QString&)> systemMessage);

    // Button 1045: Disconnect when connected, else a new connection attempt.
    void OnConnectButton();
    // Ends the connection: for Search and for the change to COM control.
    void Close();
    platform::LResult OnControlSocket(platform::WParam w, platform::LParam l);

    // The TCP route of the send path: one send, whatever comes of it, once
    // the connection stands; before that (and after it ends) nothing.
    void Send(std::span<const std::uint8_t> bytes);
    bool TcpConnected() const { return connected_; }
    AsyncSocket& Socket() { return socket_; }

private:
    void Connect();
    void SetButtonText(const char* text);

    platform::Window& window_;
    protocol::SendPath& send_;
    protocol::StreamReplyAssembler& stream_;
    protocol::LinkToken& token_;
    std::function<void(const QString&)> systemMessage_;
    AsyncSocket socket_;
    bool connected_ = false;
};

}  // namespace velmora::transport
