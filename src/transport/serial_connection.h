#pragma once
// The serial link to the switcher: its port, opened with the line settings
// the switcher talks at, and the assembly of the replies that arrive on it.
// The port's messages go to the owner window, which hands them back here.

#include "messaging/message.h"
#include "protocol/reply_assembly.h"
#include "protocol/send_path.h"
#include "transport/serial_port.h"

#include <cstdint>
#include <span>

class QObject;

namespace velmora::transport {

class SerialConnection : public protocol::FrameSink {
public:
    // Every reply assembled from the bytes received goes to `onReply`.
    SerialConnection(QObject& owner, protocol::FrameHandler onReply);

    // Opens COM `portNumber` at `baud` and starts reading it, the reply
    // assembly started afresh; false, with nothing open, when it cannot.
    bool Open(std::uint8_t portNumber, unsigned baud);
    void Close();

    // SerialByte: one received byte for the reply assembly.
    void OnByte(messaging::WParam w);
    // SerialFailed: true when it reports the port failed (the link is to be closed).
    static bool PortFailed(messaging::WParam w);

    // The serial route of the send path.
    void Write(std::span<const std::uint8_t> bytes) override;

    bool IsOpen() const { return open_; }
    std::uint8_t PortNumber() const { return portNumber_; }
    unsigned Baud() const { return baud_; }
    CSerialPort& Port() { return port_; }
    const protocol::SerialReplyAssembler& Replies() const { return replies_; }

private:
    QObject& owner_;
    CSerialPort port_;
    protocol::SerialReplyAssembler replies_;
    bool open_ = false;
    std::uint8_t portNumber_ = 0;
    unsigned baud_ = 0;
};

}  // namespace velmora::transport
