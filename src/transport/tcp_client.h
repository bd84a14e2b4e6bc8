#pragma once
// TCP control: one connection to the switcher's network module, carrying the
// same frames as the serial line. The connection's events arrive as window
// messages at the owner, which hands them back here; what they change is
// reported by connectionChanged.

#include "protocol/reply_assembly.h"
#include "protocol/send_path.h"
#include "transport/async_socket.h"

#include <QObject>
#include <QString>

#include <optional>
#include <span>

namespace velmora::transport {

// The address text of the Switcher IP list as the standard dotted-decimal
// parser reads it (low byte of each character, at most 49 of them).
std::optional<in_addr> ParseSwitcherAddress(const QString& text);

class TcpClient : public QObject, public protocol::FrameSink {
    Q_OBJECT
public:
    // Socket events go to `owner` as `socketMessage`; every reply assembled
    // from the stream goes to `onReply`.
    TcpClient(QObject& owner, std::uint32_t socketMessage, protocol::FrameHandler onReply);

    // Starts a new connection to the switcher at `address`. Text that is no
    // address leaves the attempt without an answer, as a switcher that never
    // accepts would. False when no socket could be created.
    bool Connect(const QString& address);
    // Ends the connection: for Disconnect, Search and the change to COM control.
    void Close();
    messaging::LResult OnSocketMessage(messaging::WParam w, messaging::LParam l);

    // The TCP route of the send path: one send, whatever comes of it, once
    // the connection stands; before that (and after it ends) nothing.
    void Write(std::span<const std::uint8_t> bytes) override;
    bool TcpConnected() const { return connected_; }
    // Bytes read on the current connection so far.
    std::size_t BytesReceived() const { return received_; }
    AsyncSocket& Socket() { return socket_; }

signals:
    // The connection now stands (true) or no longer does (false); also sent
    // by Close.
    void connectionChanged(bool connected);

private:
    protocol::StreamReplyAssembler stream_;
    AsyncSocket socket_;
    bool connected_ = false;
    std::size_t received_ = 0;
};

}  // namespace velmora::transport
