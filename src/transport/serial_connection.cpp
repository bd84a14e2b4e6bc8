#include "transport/serial_connection.h"

#include "transport/serial_messages.h"

namespace velmora::transport {

namespace {

constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 2;
constexpr std::uint32_t kEventMask = kEventRxChar | kEventEventChar;
constexpr std::uint32_t kWriteBufferSize = 512;
constexpr std::uint32_t kLineControl = kLineControlDtr | kLineControlRts;

}  // namespace

SerialConnection::SerialConnection(QObject& owner, protocol::FrameHandler onReply)
    : owner_(owner), replies_(std::move(onReply))
{}

bool SerialConnection::Open(std::uint8_t portNumber, unsigned baud)
{
    portNumber_ = portNumber;
    baud_ = baud;
    if (!port_.OpenPort(&owner_, portNumber, baud, kParity, kDataBits, kStopBits, kEventMask, kWriteBufferSize,
                        kLineControl)) {
        open_ = false;
        return false;
    }
    // A frame cut off when the last connection ended must not take the first
    // bytes of this one's answers. Nothing of that connection arrives any more.
    replies_.Reset();
    port_.StartWorker();
    open_ = true;
    return true;
}

void SerialConnection::Close()
{
    port_.RequestClose();
    open_ = false;
}

void SerialConnection::OnByte(messaging::WParam w) { replies_.OnByte(static_cast<std::uint8_t>(w & 0xFF)); }

bool SerialConnection::PortFailed(messaging::WParam w) { return w == msg::kSerialFailedPort; }

void SerialConnection::Write(std::span<const std::uint8_t> bytes) { port_.QueueWrite(bytes.data(), bytes.size()); }

}  // namespace velmora::transport
