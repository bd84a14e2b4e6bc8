#include "transport/serial_port.h"

#include "transport/port_map.h"
#include "transport/serial_messages.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace velmora::transport {

namespace {

// The messages sent after the bytes of a read, in this order, for each bit
// set in the event mask.
struct EventMessage {
    std::uint32_t bit;
    std::uint32_t message;
};
constexpr EventMessage kEventMessages[] = {
    {kEventCts, msg::kSerialCts},   {kEventBreak, msg::kSerialBreak},         {kEventLineError, msg::kSerialLineError},
    {kEventRing, msg::kSerialRing}, {kEventEventChar, msg::kSerialEventChar},
};

void TraceFailure(const char* step, int error, int portNumber)
{
    if (std::getenv(kSerialTraceEnv) == nullptr) {
        return;
    }
    std::fprintf(stderr, "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", step, std::strerror(error),
                 portNumber);
}

void CloseFd(int& fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

void Signal(int eventFd)
{
    const std::uint64_t one = 1;
    while (write(eventFd, &one, sizeof one) < 0 && errno == EINTR) {}
}

}  // namespace

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() { EndSession(); }

bool CSerialPort::IsOpen() const { return open_.load(); }

bool CSerialPort::WorkerAlive() const { return alive_.load(); }

std::string CSerialPort::DevicePath() const { return devicePath_; }

bool CSerialPort::OpenPort(QObject* owner, int portNumber, unsigned baud, char parity, int dataBits, int stopBits,
                           std::uint32_t eventMask, std::uint32_t writeBufferSize, std::uint32_t lineControl)
{
    EndSession();
    owner_ = owner;
    portNumber_ = portNumber;
    eventMask_ = eventMask;
    eventMessages_.clear();
    for (const auto& event : kEventMessages) {
        if ((eventMask & event.bit) != 0) {
            eventMessages_.push_back(event.message);
        }
    }
    maxFrameBytes_ = std::size_t{writeBufferSize} * 2;
    devicePath_.clear();

    const auto path = DevicePathForPort(portNumber);
    if (!path || owner == nullptr) {
        return false;
    }
    const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (!lock_.Acquire(fd, *path)) {
        close(fd);
        return false;
    }
    shutdownFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    writeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shutdownFd_ < 0 || writeFd_ < 0) {
        CloseFd(shutdownFd_);
        CloseFd(writeFd_);
        lock_.Release(fd);
        close(fd);
        return false;
    }

    const LineSettings settings{baud, parity, dataBits, stopBits};
    if (const auto failure = ConfigureLine(fd, settings, lineControl)) {
        // The port stays open: a device without modem lines still works.
        TraceFailure(failure->step, failure->error, portNumber);
    }
    tcflush(fd, TCIOFLUSH);

    fd_ = fd;
    devicePath_ = *path;
    {
        std::lock_guard lock(postMutex_);
        gate_ = std::make_shared<messaging::DeliveryGate>();
        failureReported_ = false;
    }
    {
        std::lock_guard lock(writeMutex_);
        writes_.clear();
        acceptingWrites_ = true;
    }
    open_ = true;
    return true;
}

bool CSerialPort::StartWorker()
{
    if (!open_ || alive_) {
        return false;
    }
    if (worker_.joinable()) {
        worker_.join();  // ended already: alive_ is false
    }
    alive_ = true;
    try {
        worker_ = std::thread([this] { WorkerLoop(); });
    } catch (const std::system_error&) {
        alive_ = false;
        return false;
    }
    return true;
}

bool CSerialPort::QueueWrite(const std::uint8_t* bytes, std::size_t length)
{
    if (bytes == nullptr || length == 0) {
        return false;
    }
    {
        std::lock_guard lock(writeMutex_);
        if (!acceptingWrites_) {
            return false;  // no session: the panel shows no connection
        }
        if (length <= maxFrameBytes_ && writes_.size() < kMaxQueuedWrites) {
            writes_.emplace_back(bytes, bytes + length);
            Signal(writeFd_);
            return true;
        }
    }
    // A port that cannot take a command counts as failed: the owner hears of
    // it, rather than the command vanishing.
    PostFailed();
    return false;
}

void CSerialPort::RequestClose()
{
    {
        std::lock_guard lock(postMutex_);
        if (gate_) {
            gate_->Close();
        }
    }
    DropQueuedWrites();
    if (shutdownFd_ >= 0) {
        Signal(shutdownFd_);
    }
    if (!worker_.joinable()) {
        ClosePort();
    }
}

void CSerialPort::DropQueuedWrites()
{
    std::lock_guard lock(writeMutex_);
    acceptingWrites_ = false;
    writes_.clear();
}

void CSerialPort::EndSession()
{
    RequestClose();
    if (worker_.joinable()) {
        worker_.join();  // released by the shutdown signal and the closed gate
    }
    ClosePort();
    CloseFd(shutdownFd_);
    CloseFd(writeFd_);
}

void CSerialPort::ClosePort()
{
    if (fd_ < 0) {
        return;
    }
    lock_.Release(fd_);
    close(fd_);
    fd_ = -1;
    open_ = false;
}

// ---- worker ---------------------------------------------------------------

void CSerialPort::WorkerLoop()
{
    pthread_setname_np(pthread_self(), kSerialWorkerName);
    // No purge here: the port was purged when it was opened, and a byte that
    // arrives once StartWorker returned is part of the answer to come.
    portUsable_ = true;  // false after a failure: a hung-up tty stays readable
    for (;;) {
        const bool delivering = gate_->IsOpen();
        std::array<pollfd, 3> fds{{
            {shutdownFd_, POLLIN, 0},
            {delivering && portUsable_ ? fd_ : -1, static_cast<short>((eventMask_ & kEventRxChar) ? POLLIN : 0), 0},
            {delivering ? writeFd_ : -1, POLLIN, 0},
        }};
        // No time-out: the shutdown signal ends every wait.
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno != EINTR) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            continue;
        }
        if (fds[0].revents != 0) {
            break;
        }
        if (fds[1].revents != 0 && !OnPortReady(fds[1].revents)) {
            PortFailed();
        }
        // Not only when the port is quiet: a far end that never stops talking
        // must not hold the commands back.
        if (fds[2].revents != 0) {
            WriteQueued();
        }
    }
    ClosePort();
    alive_ = false;
}

bool CSerialPort::OnPortReady(short revents)
{
    if (revents & POLLIN) {
        std::array<std::uint8_t, kSerialReadChunk> buffer{};
        ssize_t n = 0;
        do {
            n = read(fd_, buffer.data(), buffer.size());
        } while (n < 0 && errno == EINTR);
        if (n > 0) {
            // One hand-off for what one read brought; nothing more is read
            // until the owner has handled all of it (or closed the session,
            // which drops the rest).
            const bool handled = messaging::SendBatchAndWait(owner_, msg::kSerialByte,
                                                             std::span(buffer.data(), static_cast<std::size_t>(n)),
                                                             eventMessages_, portNumber_, gate_);
            // What the owner queued while handling the bytes goes out now.
            if (handled && WritesWaiting()) {
                WriteQueued();
            }
            return true;
        }
        if (n < 0 && errno == EAGAIN && !(revents & (POLLHUP | POLLERR | POLLNVAL))) {
            return true;
        }
        return false;  // 0 (hung up), EIO and the like
    }
    return !(revents & (POLLHUP | POLLERR | POLLNVAL));
}

void CSerialPort::PortFailed()
{
    portUsable_ = false;
    PostFailed();
}

void CSerialPort::PostFailed()
{
    std::lock_guard lock(postMutex_);
    if (gate_ && gate_->IsOpen() && !failureReported_) {
        failureReported_ = true;
        messaging::Post(owner_, msg::kSerialFailed, msg::kSerialFailedPort, 0, gate_);
    }
}

bool CSerialPort::WritesWaiting()
{
    std::lock_guard lock(writeMutex_);
    return !writes_.empty();
}

void CSerialPort::WriteQueued()
{
    std::uint64_t count = 0;
    while (read(writeFd_, &count, sizeof count) < 0 && errno == EINTR) {}
    for (;;) {
        std::vector<std::uint8_t> frame;
        {
            std::lock_guard lock(writeMutex_);
            if (writes_.empty()) {
                return;  // all written, or dropped by a close
            }
            frame = std::move(writes_.front());
            writes_.pop_front();
        }
        if (!portUsable_) {
            continue;  // the failure is reported: the rest goes nowhere
        }
        switch (WriteWhole(frame)) {
        case WriteResult::Written:
            break;
        case WriteResult::Shutdown:
            return;
        case WriteResult::Failed:
            PortFailed();
            break;
        }
    }
}

CSerialPort::WriteResult CSerialPort::WriteWhole(const std::vector<std::uint8_t>& frame)
{
    // No purge of unread input before the write: the worker reads all the
    // time, so what waits unread is an answer arriving right now (to a status
    // query that waits for nothing, say), and cutting it would also cost the
    // reply assembler the next answer. Output is left alone: it holds earlier
    // frames, still going out whole.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    std::size_t done = 0;
    while (done < frame.size()) {
        const ssize_t n = write(fd_, frame.data() + done, frame.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return WriteResult::Failed;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return WriteResult::Failed;
        }
        std::array<pollfd, 2> fds{{{shutdownFd_, POLLIN, 0}, {fd_, POLLOUT, 0}}};
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) {
            return WriteResult::Failed;
        }
        if (fds[0].revents != 0) {
            return WriteResult::Shutdown;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return WriteResult::Failed;
        }
    }
    return WriteResult::Written;
}

}  // namespace velmora::transport
