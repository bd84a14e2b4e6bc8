#include "protocol/hex_log.h"

namespace velmora::protocol {

namespace {

// "%02X " without a format string: the logs take every byte of the line.
void AppendHexByte(std::string& text, std::uint8_t byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    const char hex[] = {kDigits[byte >> 4], kDigits[byte & 0x0F], ' '};
    text.append(hex, sizeof hex);
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        AppendHexByte(text, byte);
    }
    return text;
}

void SendLog::Append(std::span<const std::uint8_t> bytes)
{
    if (observer_) {
        observer_->FrameSent(bytes);
    }
    std::string text;
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
