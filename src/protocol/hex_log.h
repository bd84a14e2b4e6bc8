#pragma once
// The send and receive logs: every byte as two hexadecimal digits and a
// blank, emptied after 60 entries.

#include "protocol/traffic.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::protocol {

inline constexpr int kLogEntriesBeforeClear = 60;
inline constexpr int kSendLogBytesPerLine = 18;
inline constexpr std::string_view kLogLineBreak = "\r\n";

// Where a log's text goes: the multi-line edit of the main window, or a
// string in tests.
class LogView {
public:
    virtual ~LogView() = default;
    virtual void Append(std::string_view text) = 0;
    virtual void Clear() = 0;
};

// "%02X " for each byte.
std::string HexBytes(std::span<const std::uint8_t> bytes);

// 18 bytes a line wherever frames begin; emptied after the 60th send. The
// line position survives the emptying.
class SendLog {
public:
    explicit SendLog(LogView& view) : view_(view) {}
    void Append(std::span<const std::uint8_t> bytes);
    // Also told of every send; nullptr for none.
    void SetObserver(TrafficObserver* observer) { observer_ = observer; }
    int LoggedBytes() const { return loggedBytes_; }
    int Sends() const { return sends_; }

private:
    LogView& view_;
    TrafficObserver* observer_ = nullptr;
    int loggedBytes_ = 0;
    int sends_ = 0;
};

// One frame a line; emptied after the 60th entry. A datagram of the device
// search is an entry too, so that answers from the LAN cannot grow the log
// without bound.
class ReceiveLog {
public:
    explicit ReceiveLog(LogView& view) : view_(view) {}
    void AppendFrame(std::span<const std::uint8_t> bytes);
    // A line break after every 18th byte of the datagram.
    void AppendDatagram(std::span<const std::uint8_t> bytes);
    // A configuration answer: the observer sees it, the log does not.
    void NoteConfigAnswer(std::span<const std::uint8_t> bytes);
    // Also told of every entry; nullptr for none.
    void SetObserver(TrafficObserver* observer) { observer_ = observer; }
    // Entries since the log was last emptied.
    int Frames() const { return frames_; }

private:
    void CountEntry();

    LogView& view_;
    TrafficObserver* observer_ = nullptr;
    int frames_ = 0;
};

}  // namespace velmora::protocol
