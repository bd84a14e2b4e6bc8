#include "transport/async_socket.h"

#include "transport/broadcast_targets.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora::transport {

namespace {

AsyncSocket::Handle NextHandle()
{
    static AsyncSocket::Handle next = 0;
    return ++next;
}

messaging::LParam EventParam(std::uint16_t event, int error)
{
    using messaging::LParam;
    return static_cast<LParam>(event) | (static_cast<LParam>(error & 0xFFFF) << 16);
}

// A read that found nothing for now rather than the stream's end.
bool NothingYet(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

sockaddr_in Endpoint(in_addr address, std::uint16_t port)
{
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr = address;
    where.sin_port = htons(port);
    return where;
}

}  // namespace

AsyncSocket::AsyncSocket(QObject& owner, std::uint32_t message) : owner_(owner), message_(message) {}

AsyncSocket::~AsyncSocket() { Close(); }

bool AsyncSocket::Adopt(int fd)
{
    fd_ = fd;
    handle_ = NextHandle();
    unread_ = false;
    ended_ = false;
    endReported_ = false;
    endError_ = 0;
    readable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, [this] { OnReadable(); });
    return true;
}

bool AsyncSocket::OpenStream()
{
    Close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    stream_ = true;
    Adopt(fd);
    // Reads are wanted only once the connection stands.
    readable_->setEnabled(false);
    return true;
}

bool AsyncSocket::OpenDatagram(std::uint16_t localPort, std::uint32_t message)
{
    Close();
    message_ = message;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const sockaddr_in any = Endpoint(in_addr{htonl(INADDR_ANY)}, localPort);
    const int yes = 1;
    // The port may be shared: a simulated switcher on this machine listens
    // on it too, bound to the broadcast address (and answers reach only us).
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes) != 0) {
        ::close(fd);
        return false;
    }
    stream_ = false;
    return Adopt(fd);
}

void AsyncSocket::Close()
{
    readable_.reset();
    writable_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    handle_ = 0;
}

void AsyncSocket::Connect(in_addr address, std::uint16_t port)
{
    if (!IsOpen() || !stream_) {
        return;
    }
    const sockaddr_in where = Endpoint(address, port);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 && errno != EINPROGRESS) {
        Post(msg::kSocketConnect, errno);
        return;
    }
    // Made or under way: either way the socket turns writable once the
    // outcome stands, and the connect event is handled then, before any read.
    writable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    QObject::connect(writable_.get(), &QSocketNotifier::activated, [this] { OnWritable(); });
}

void AsyncSocket::OnWritable()
{
    writable_->setEnabled(false);
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        error = errno;
    }
    if (error == 0) {
        readable_->setEnabled(true);
    }
    Deliver(msg::kSocketConnect, error);
}

void AsyncSocket::OnReadable()
{
    // Like the notification it stands in for, one read event until the
    // window has read: a handler that has not read yet (it runs a modal
    // loop, say) is not called again.
    if (unread_) {
        readable_->setEnabled(false);
        return;
    }
    unread_ = true;
    if (!Deliver(msg::kSocketRead)) {
        return;
    }
    if (ended_ && !endReported_) {
        // An ended stream stays readable: nothing more to tell but its end.
        endReported_ = true;
        readable_->setEnabled(false);
        Deliver(msg::kSocketClose, endError_);
    } else if (unread_) {
        readable_->setEnabled(false);
    }
}

bool AsyncSocket::Deliver(std::uint16_t event, int error)
{
    const Handle socket = handle_;
    messaging::SendNow(&owner_, message_, socket, EventParam(event, error));
    return handle_ == socket;
}

void AsyncSocket::Post(std::uint16_t event, int error)
{
    messaging::Post(&owner_, message_, handle_, EventParam(event, error));
}

bool AsyncSocket::Send(std::span<const std::uint8_t> bytes)
{
    if (!IsOpen()) {
        return false;
    }
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(bytes.size());
}

bool AsyncSocket::SendTo(std::span<const std::uint8_t> bytes, in_addr address, std::uint16_t port)
{
    if (!IsOpen()) {
        return false;
    }
    const sockaddr_in where = Endpoint(address, port);
    return ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT,
                    reinterpret_cast<const sockaddr*>(&where), sizeof where) == static_cast<ssize_t>(bytes.size());
}

bool AsyncSocket::SendBroadcastVia(std::span<const std::uint8_t> bytes, std::uint16_t port, unsigned interfaceIndex)
{
    return IsOpen() && transport::SendBroadcastVia(fd_, bytes, port, interfaceIndex);
}

std::vector<std::uint8_t> AsyncSocket::Receive()
{
    std::vector<std::uint8_t> data;
    if (!IsOpen()) {
        return data;
    }
    unread_ = false;
    data.resize(kSocketReadSize);
    const ssize_t n = ::recv(fd_, data.data(), data.size(), MSG_DONTWAIT);
    const int error = n < 0 ? errno : 0;
    data.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    if (stream_ && n <= 0 && !NothingYet(error)) {
        ended_ = true;
        endError_ = error;
    }
    if (readable_ && !ended_ && !readable_->isEnabled()) {
        readable_->setEnabled(true);
    }
    return data;
}

}  // namespace velmora::transport
