#include "sim/pty_line.h"

#include "protocol/advanced_commands.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace velmora::sim {

namespace {
constexpr std::size_t kReadSize = 256;
constexpr int kIdlePollMs = 200;
constexpr int kErrorBackoffMs = 20;
constexpr const char* kComPrefix = "com";
// Before a hang-up the answers already sent must reach the panel: closing the
// master flushes whatever the panel's side has not read yet. The queue counts
// as drained after a few quiet checks in a row, since bytes still in the
// kernel's hand-over buffer are not yet counted in it.
constexpr auto kDrainCheck = std::chrono::milliseconds(10);
constexpr int kQuietChecksToDrain = 3;
constexpr int kMaxDrainChecks = 100;
}  // namespace

PtyLine::PtyLine(const SimOptions& options, SharedDevice& device, ReplyFaults& faults)
    : options_(options), device_(device), session_(device, faults), pacer_(options.baud), baud_(options.baud)
{
    deviceBaud_ = device_.Snapshot().serialBaud;
}

PtyLine::~PtyLine() { Stop(); }

bool PtyLine::Open()
{
    std::array<char, 128> name{};
    if (::openpty(&master_, &keptSlave_, name.data(), nullptr, nullptr) != 0) {
        std::fprintf(stderr, "velmora-sim: openpty failed: %s\n", std::strerror(errno));
        return false;
    }
    slavePath_ = name.data();
    termios raw{};
    if (::tcgetattr(keptSlave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(keptSlave_, TCSANOW, &raw);
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(keptSlave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    if (!options_.portDir.empty() && options_.comNumber > 0) {
        namespace fs = std::filesystem;
        const fs::path link = fs::path(options_.portDir) / (kComPrefix + std::to_string(options_.comNumber));
        std::error_code ec;
        fs::create_directories(options_.portDir, ec);
        if (fs::is_symlink(fs::symlink_status(link, ec))) {
            fs::remove(link, ec);
        }
        fs::create_symlink(slavePath_, link, ec);
        if (ec) {
            std::fprintf(stderr, "velmora-sim: cannot link %s: %s\n", link.c_str(), ec.message().c_str());
            return false;
        }
        linkPath_ = link.string();
    }
    return true;
}

void PtyLine::Start()
{
    if (master_ >= 0 && !thread_.joinable()) {
        stop_.Rearm();
        thread_ = std::thread([this] { Run(); });
    }
}

void PtyLine::Stop()
{
    stop_.Request();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (!linkPath_.empty()) {
        std::error_code ec;
        namespace fs = std::filesystem;
        if (fs::read_symlink(linkPath_, ec) == fs::path(slavePath_)) {
            fs::remove(linkPath_, ec);
        }
        linkPath_.clear();
    }
    for (int* fd : {&master_, &keptSlave_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void PtyLine::Send(const std::vector<Chunk>& chunks)
{
    for (const Chunk& chunk : chunks) {
        // The command has arrived only when its last byte would have crossed the line.
        const auto start = std::max(std::chrono::steady_clock::now(), inboundDone_);
        const auto due = start + std::chrono::milliseconds(options_.processingDelayMs) + chunk.extraDelay;
        if (!stop_.SleepUntil(due) || !pacer_.Write(master_, chunk.bytes, stop_)) {
            return;
        }
        ++answersWritten_;
    }
    // A new speed takes effect once its acknowledgement has left at the old one.
    FollowDeviceBaud();
    if (options_.hangUpAfter > 0 && session_.Answered() >= options_.hangUpAfter) {
        HangUp();
    }
}

void PtyLine::FollowDeviceBaud()
{
    const std::uint8_t setting = device_.Snapshot().serialBaud;
    if (setting == deviceBaud_) {
        return;
    }
    deviceBaud_ = setting;
    if (setting >= 1 && setting <= protocol::kBaudRates.size()) {
        baud_ = protocol::kBaudRates[setting - 1];
        pacer_ = LinePacer(baud_);
    }
}

void PtyLine::WaitForPanelToDrain()
{
    int quiet = 0;
    for (int check = 0; check < kMaxDrainChecks && quiet < kQuietChecksToDrain; ++check) {
        if (!stop_.SleepUntil(std::chrono::steady_clock::now() + kDrainCheck)) {
            return;
        }
        int pending = 0;
        const bool empty = ::ioctl(keptSlave_, TIOCINQ, &pending) != 0 || pending == 0;
        quiet = empty ? quiet + 1 : 0;
    }
}

void PtyLine::HangUp()
{
    WaitForPanelToDrain();
    for (int* fd : {&master_, &keptSlave_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    hungUp_ = true;
}

void PtyLine::Run()
{
    std::array<std::uint8_t, kReadSize> buffer{};
    while (!stop_.Requested() && master_ >= 0) {
        int timeout = kIdlePollMs;
        if (const auto deadline = session_.NextDeadline()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - CommandSession::Clock::now());
            timeout = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, kIdlePollMs));
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR) {
            stop_.SleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(kErrorBackoffMs));
            continue;
        }
        if (fds[1].revents != 0) {
            break;
        }
        const auto now = CommandSession::Clock::now();
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n > 0) {
                // The panel's side writes at memory speed; the line would not.
                inboundDone_ = std::max(now, inboundDone_) + pacer_.ByteTime() * n;
                const auto chunks = session_.Feed(std::span(buffer.data(), static_cast<std::size_t>(n)), now);
                resets_ = session_.Resets();
                Send(chunks);
                continue;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Should not happen while the kept slave is open; never spin on it.
            stop_.SleepUntil(now + std::chrono::milliseconds(kErrorBackoffMs));
        }
        const auto chunks = session_.Idle(now);
        resets_ = session_.Resets();
        Send(chunks);
    }
}

}  // namespace velmora::sim
