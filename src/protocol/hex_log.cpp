#include "protocol/hex_log.h"

namespace velmora::protocol {

namespace {

constexpr std::size_t kHexByteSize = 3;  // "%02X "

// "%02X " without a format string: the logs take every byte of the line.
char* PutHexByte(char* out, std::uint8_t byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = kDigits[byte >> 4];
    out[1] = kDigits[byte & 0x0F];
    out[2] = ' ';
    return out + kHexByteSize;
}

void AppendHexByte(std::string& text, std::uint8_t byte)
{
    char hex[kHexByteSize];
    PutHexByte(hex, byte);
    text.append(hex, sizeof hex);
}

// Room for the text of 'count' bytes broken into lines of 'perLine'.
std::size_t LinedSize(std::size_t count, std::size_t perLine)
{
    return count * kHexByteSize + (count / perLine + 1) * kLogLineBreak.size();
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * kHexByteSize + kLogLineBreak.size());  // room for a line break after
    text.resize(bytes.size() * kHexByteSize);
    char* out = text.data();
    for (const std::uint8_t byte : bytes) {
        out = PutHexByte(out, byte);
    }
    return text;
}

void SendLog::Append(std::span<const std::uint8_t> bytes)
{
    if (observer_) {
        observer_->FrameSent(bytes);
    }
    std::string text;
    text.reserve(LinedSize(bytes.size(), kSendLogBytesPerLine));
    for (const std::uint8_t byte : bytes) {
        AppendHexByte(text, byte);
        if (++loggedBytes_ == kSendLogBytesPerLine) {
            text += kLogLineBreak;
            loggedBytes_ = 0;
        }
    }
    view_.Append(text);
    if (++sends_ == kLogEntriesBeforeClear) {
        view_.Clear();
        sends_ = 0;
    }
}

void ReceiveLog::AppendFrame(std::span<const std::uint8_t> bytes)
{
    if (observer_) {
        observer_->FrameReceived(bytes);
    }
    std::string text = HexBytes(bytes);
    text += kLogLineBreak;
    view_.Append(text);
    CountEntry();
}

void ReceiveLog::AppendDatagram(std::span<const std::uint8_t> bytes)
{
    if (observer_) {
        observer_->DatagramReceived(DatagramKind::SearchAnswer, bytes);
    }
    std::string text;
    text.reserve(LinedSize(bytes.size(), kSendLogBytesPerLine));
    std::size_t inLine = 0;
    for (const std::uint8_t byte : bytes) {
        AppendHexByte(text, byte);
        if (++inLine == kSendLogBytesPerLine) {
            text += kLogLineBreak;
            inLine = 0;
        }
    }
    view_.Append(text);
    CountEntry();
}

void ReceiveLog::NoteConfigAnswer(std::span<const std::uint8_t> bytes)
{
    if (observer_) {
        observer_->DatagramReceived(DatagramKind::ConfigAnswer, bytes);
    }
}

void ReceiveLog::CountEntry()
{
    if (++frames_ == kLogEntriesBeforeClear) {
        view_.Clear();
        frames_ = 0;
    }
}

}  // namespace velmora::protocol
