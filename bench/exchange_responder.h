#pragma once
// The far end of the exchange benchmark: a switcher that answers every
// command at once, run in a process of its own so that the panel's CPU time
// is the benchmark process's alone, and a plain blocking client doing the
// input-change chain by hand, as an integrator's script would.
//
// The responder times each chained command: from the moment it hands the
// answer to the line (the write call) to the moment it has read the whole
// command that answer led to. (Timed after the write returns instead, a
// client on the other core may already have answered within the call.) It is steered over a pipe: kChains starts a count, kReport sends the
// turnarounds measured since (a count, then the values in microseconds),
// kFlood writes the given number of frames as fast as the line takes them
// and answers kFloodDone, kQuit ends it.

#include "protocol/commands.h"
#include "protocol/frame.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

inline constexpr char kChains = 'C';
inline constexpr char kReport = 'R';
inline constexpr char kFlood = 'F';
inline constexpr char kFloodDone = 'D';
inline constexpr char kQuit = 'Q';

// Bounds of every wait in the benchmark.
inline constexpr int kLineWaitMs = 3000;
inline constexpr int kDrainWaitMs = 5000;

// The answer the simulated switcher gives the input-change chain's commands.
inline protocol::FrameBytes AnswerTo(protocol::Command command)
{
    using namespace protocol;
    if (command == kSelectInput) {
        return MakeFrame(command, {{kInputByte, kInputAccepted}});
    }
    if (command == kQueryAudioSource) {
        return MakeFrame(command, {{kAudioSourceByte, 1}});
    }
    return MakeFrame(command);
}

inline bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, kLineWaitMs) <= 0) {
            return false;
        }
    }
    return true;
}

inline bool ReadAll(int fd, std::uint8_t* bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kLineWaitMs) <= 0) {
            return false;
        }
        const ssize_t n = ::read(fd, bytes + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

class Responder {
public:
    // 'line' is a pty master, or -1 with 'listener' a listening TCP socket.
    Responder(int line, int listener, int control, int results)
        : line_(line), listener_(listener), control_(control), results_(results)
    {}

    void Run()
    {
        for (;;) {
            pollfd fds[2] = {{control_, POLLIN, 0}, {line_ >= 0 ? line_ : listener_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                continue;
            }
            if (fds[0].revents != 0 && !OnControl()) {
                return;
            }
            if (fds[1].revents != 0) {
                line_ >= 0 ? OnLine() : Accept();
            }
        }
    }

private:
    bool OnControl()
    {
        char what = 0;
        if (::read(control_, &what, 1) != 1 || what == kQuit) {
            return false;
        }
        if (what == kChains) {
            turnarounds_.clear();
            answered_ = false;
        } else if (what == kReport) {
            const auto n = static_cast<std::uint32_t>(turnarounds_.size());
            WriteAll(results_, reinterpret_cast<const std::uint8_t*>(&n), sizeof n);
            WriteAll(results_, reinterpret_cast<const std::uint8_t*>(turnarounds_.data()), n * sizeof(double));
        } else if (what == kFlood) {
            std::uint32_t frames = 0;
            ReadAll(control_, reinterpret_cast<std::uint8_t*>(&frames), sizeof frames);
            Flood(frames);
        }
        return true;
    }

    void Accept()
    {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        if (tcp_ >= 0) {
            ::close(tcp_);
        }
        tcp_ = fd;
        line_ = fd;
        pending_.clear();
    }

    int WriteFd() const { return line_; }

    void OnLine()
    {
        std::uint8_t buffer[1024];
        const ssize_t n = ::read(line_, buffer, sizeof buffer);
        if (n <= 0) {
            if (tcp_ >= 0) {  // the client went away: wait for the next one
                ::close(tcp_);
                tcp_ = -1;
                line_ = -1;
            }
            return;
        }
        const auto readAt = Clock::now();
        pending_.insert(pending_.end(), buffer, buffer + n);
        while (pending_.size() >= protocol::kFrameSize) {
            if (!protocol::StartsFrame(pending_)) {
                pending_.erase(pending_.begin());
                continue;
            }
            const protocol::Command command{pending_[protocol::kClassByte], pending_[protocol::kCommandByte]};
            pending_.erase(pending_.begin(), pending_.begin() + protocol::kFrameSize);
            Answer(command, readAt);
        }
    }

    void Answer(protocol::Command command, Clock::time_point readAt)
    {
        const bool chained = command == protocol::kQueryAudioSource || command == protocol::kInputChangeDone;
        if (chained && answered_) {
            turnarounds_.push_back(std::chrono::duration<double, std::micro>(readAt - answeredAt_).count());
        }
        const auto answer = AnswerTo(command);
        answeredAt_ = Clock::now();
        answered_ = WriteAll(WriteFd(), answer.data(), answer.size());
    }

    void Flood(std::uint32_t frames)
    {
        const auto frame = AnswerTo(protocol::kInputChangeDone);
        for (std::uint32_t i = 0; i < frames && line_ >= 0; ++i) {
            if (!WriteAll(line_, frame.data(), frame.size())) {
                break;
            }
        }
        // A socket's frames have reached the panel's side once none is unsent.
        const auto deadline = Clock::now() + std::chrono::milliseconds(kDrainWaitMs);
        int unsent = 0;
        while (tcp_ >= 0 && ::ioctl(tcp_, SIOCOUTQ, &unsent) == 0 && unsent > 0 && Clock::now() < deadline) {
            ::usleep(1000);
        }
        const char done = kFloodDone;
        WriteAll(results_, reinterpret_cast<const std::uint8_t*>(&done), 1);
        answered_ = false;
    }

    int line_;
    int listener_;
    int control_;
    int results_;
    int tcp_ = -1;
    std::vector<std::uint8_t> pending_;
    std::vector<double> turnarounds_;
    bool answered_ = false;
    Clock::time_point answeredAt_{};
};

// The input-change chain done by hand on a blocking descriptor: command,
// answer, next command. False when an answer did not come.
inline bool ReferenceChain(int fd, std::uint8_t input)
{
    using namespace protocol;
    std::uint8_t answer[kFrameSize];
    const FrameBytes commands[] = {
        MakeFrame(kSelectInput, {{kInputByte, input}, {kSelectInputFlagByte, kSelectInputByte7}}),
        MakeFrame(kQueryAudioSource, {{kInputByte, input}}),
        MakeFrame(kInputChangeDone),
    };
    for (const auto& command : commands) {
        if (!WriteAll(fd, command.data(), command.size()) || !ReadAll(fd, answer, sizeof answer)) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora::bench
