#include "protocol/hex_log.h"

#include <cstdio>

namespace velmora::protocol {

namespace {

std::string HexByte(std::uint8_t byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X ", byte);
    return text;
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        text += HexByte(byte);
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
        text += HexByte(byte);
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
    view_.Append(HexBytes(bytes) + std::string(kLogLineBreak));
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
        text += HexByte(byte);
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
