#pragma once
// A non-blocking IPv4 socket serviced on its owner's thread. Each event
// reaches the owner (a window) as a message: wParam the socket's handle,
// lParam the event in its low 16 bits and the error code in its high 16
// bits. Events the event loop notices are handled there and then, in the
// order they happen; only a connect that fails at once is posted, as its
// caller is still running. A handle is never reused, so a message for a
// closed socket is recognisably stale.

#include "messaging/message.h"

#include <netinet/in.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QObject;
class QSocketNotifier;

namespace velmora::msg {

// Socket events in the low word of lParam.
inline constexpr std::uint16_t kSocketRead = 0x01;
inline constexpr std::uint16_t kSocketWrite = 0x02;
inline constexpr std::uint16_t kSocketAccept = 0x08;
inline constexpr std::uint16_t kSocketConnect = 0x10;
inline constexpr std::uint16_t kSocketClose = 0x20;

}  // namespace velmora::msg

namespace velmora::transport {

inline constexpr std::size_t kSocketReadSize = 1024;  // one read or one datagram

inline std::uint16_t SocketEvent(messaging::LParam l) { return static_cast<std::uint16_t>(l & 0xFFFF); }
inline int SocketError(messaging::LParam l) { return static_cast<int>((l >> 16) & 0xFFFF); }

class AsyncSocket {
public:
    using Handle = messaging::WParam;

    AsyncSocket(QObject& owner, std::uint32_t message);
    ~AsyncSocket();
    AsyncSocket(const AsyncSocket&) = delete;
    AsyncSocket& operator=(const AsyncSocket&) = delete;

    // A TCP stream; its events are connect, read and close.
    bool OpenStream();
    // A datagram socket bound to localPort on every local address (sharing
    // the port with other sockets that allow it), with broadcasts allowed;
    // its event is read, reported as `message`.
    bool OpenDatagram(std::uint16_t localPort, std::uint32_t message);
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    Handle Id() const { return handle_; }
    // True when a message with this wParam belongs to the open socket.
    bool Owns(messaging::WParam w) const { return IsOpen() && w == handle_; }

    // Starts connecting; the outcome arrives as the connect event.
    void Connect(in_addr address, std::uint16_t port);
    // One send call that never blocks nor raises SIGPIPE; false if the
    // socket refused the bytes (not connected, buffer full, gone).
    bool Send(std::span<const std::uint8_t> bytes);
    bool SendTo(std::span<const std::uint8_t> bytes, in_addr address, std::uint16_t port);
    // The limited broadcast out of one interface, by its index.
    bool SendBroadcastVia(std::span<const std::uint8_t> bytes, std::uint16_t port, unsigned interfaceIndex);
    // One read of up to kSocketReadSize bytes (one datagram, truncated);
    // read events resume after it. A stream's end (or failure) found here
    // is reported as the close event once the read event is handled.
    std::vector<std::uint8_t> Receive();

private:
    bool Adopt(int fd);
    void OnReadable();
    void OnWritable();
    // Handles the event now; false when the handler closed or replaced
    // the socket.
    bool Deliver(std::uint16_t event, int error = 0);
    void Post(std::uint16_t event, int error);

    QObject& owner_;
    std::uint32_t message_;
    int fd_ = -1;
    Handle handle_ = 0;
    bool stream_ = false;
    // A read event was handled without a Receive: no more until it reads.
    bool unread_ = false;
    // The stream's end was read; its error, 0 for an orderly end.
    bool ended_ = false;
    bool endReported_ = false;
    int endError_ = 0;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
};

}  // namespace velmora::transport
