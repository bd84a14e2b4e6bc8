#include "protocol/frame_meaning.h"

#include "protocol/address_text.h"
#include "protocol/advanced_commands.h"
#include "protocol/commands.h"
#include "protocol/config_packet.h"
#include "protocol/list_texts.h"
#include "protocol/search_answer.h"
#include "protocol/setting_names.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace velmora::protocol {

namespace {

using FrameView = std::span<const std::uint8_t, kFrameSize>;

std::string CommandText(Command command)
{
    char text[32];
    std::snprintf(text, sizeof text, "class 0x%02X command 0x%02X", command.cls, command.cmd);
    return text;
}

// Commands without a value, both ways.
struct FixedCommand {
    Command command;
    const char* sent;
    const char* received;
};
constexpr FixedCommand kFixedCommands[] = {
    {kTcpGreeting, "greeting", "greeting answered"},
    {kInputChangeDone, "input change done", "input change done"},
    {kUpgradeScaler, "upgrade scaler", "upgrade scaler acknowledged"},
    {kAdvancedFactoryReset, "factory reset", "factory reset acknowledged"},
};

std::string FixedText(Command command, Direction direction)
{
    for (const FixedCommand& fixed : kFixedCommands) {
        if (fixed.command == command) {
            return direction == Direction::Sent ? fixed.sent : fixed.received;
        }
    }
    return CommandText(command);
}

std::string InputText(std::uint8_t input)
{
    const NamedSetting* setting = FindSetting("input");
    return ValueText(*setting, {input, {}});
}

// The read command of a word or step setting, when it is one.
const NamedSetting* ReadBackOf(Command command)
{
    for (const NamedSetting& s : AllSettings()) {
        if (const auto* const* word = std::get_if<const WordSetting*>(&s.row); word && (*word)->read == command) {
            return &s;
        }
        if (const auto* const* step = std::get_if<const StepSetting*>(&s.row); step && (*step)->read == command) {
            return &s;
        }
    }
    return nullptr;
}

const NamedSetting* SetBy(Command command)
{
    const auto all = AllSettings();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const NamedSetting& s) { return Writable(s) && s.set == command; });
    return found == all.end() ? nullptr : &*found;
}

// "input HDMI 1, audio Emb, ..." of every setting the answer reports.
std::optional<std::string> Reported(Command command, FrameView frame)
{
    std::string text;
    for (const NamedSetting& s : AllSettings()) {
        if (s.answer == command) {
            text += (text.empty() ? "" : ", ") + std::string(s.name) + " " + ValueText(s, ReadStatus(s, frame));
        }
    }
    return text.empty() ? std::nullopt : std::optional(text);
}

std::optional<std::string> PageOfQuery(Command command)
{
    for (const PageInfo& info : AllPages()) {
        const auto queries = PageQueries(info.page);
        if (queries.size() == 1 && queries.front() == command) {
            return std::string(info.title);
        }
    }
    return std::nullopt;
}

std::string SetText(const NamedSetting& s, FrameView frame)
{
    const SettingValue value = ReadCommand(s, frame);
    if (s.kind == SettingKind::Step) {
        return "step " + std::string(s.name) + (value.number > 0 ? " up" : " down");
    }
    std::string text = "set " + std::string(s.name) + " " + ValueText(s, value);
    if (s.kind == SettingKind::AudioSource) {
        text += " for " + InputText(frame[kInputByte]);
    }
    return text;
}

std::string DescribeSent(FrameView frame, Command command)
{
    if (const auto page = PageOfQuery(command)) {
        return "query " + *page + " status";
    }
    if (command == kQueryAudioSource) {
        return "query audio of " + InputText(frame[kInputByte]);
    }
    if (const NamedSetting* s = SetBy(command)) {
        return SetText(*s, frame);
    }
    if (const NamedSetting* s = ReadBackOf(command)) {
        return "read " + std::string(s->name);
    }
    for (const NamedSetting& s : AllSettings()) {
        if (s.answer == command) {
            return "read " + std::string(s.name);  // the Network page's read chain
        }
    }
    return FixedText(command, Direction::Sent);
}

std::string DescribeReceived(FrameView frame, Command command)
{
    if (const auto page = PageOfQuery(command)) {
        return "status: " + *page + " " + Reported(command, frame).value_or("");
    }
    if (command == kSelectInput) {
        return frame[kInputByte] == kInputAccepted ? "input accepted" : "input refused";
    }
    if (command == kQueryAudioSource) {
        const NamedSetting* audio = FindSetting("audio");
        return "audio of " + InputText(frame[kInputByte]) + ": " + ValueText(*audio, {frame[kAudioSourceByte], {}});
    }
    if (const NamedSetting* s = ReadBackOf(command)) {
        return std::string(s->name) + ": " + ValueText(*s, ReadBack(*s, frame));
    }
    if (const auto reported = Reported(command, frame)) {
        return *reported;
    }
    if (const NamedSetting* s = SetBy(command)) {
        return "acknowledged: " + SetText(*s, frame);
    }
    return FixedText(command, Direction::Received);
}

std::string DescribeSearchAnswer(std::span<const std::uint8_t> bytes)
{
    const auto answer = ReadSearchAnswer(bytes);
    if (!answer) {
        return std::to_string(bytes.size()) + " bytes, no search answer";
    }
    SettingValue mac;
    std::copy(answer->mac.begin(), answer->mac.end(), mac.bytes.begin());
    return "search answer: " + AddressText(answer->ip) + " " + ValueText(*FindSetting("mac"), mac);
}

std::string DescribeConfigAnswer(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < config::kPacketSize) {
        return std::to_string(bytes.size()) + " bytes, no configuration answer";
    }
    return ConfigAccepted(bytes) ? "configuration accepted" : "configuration refused";
}

}  // namespace

std::string DescribeDatagram(std::span<const std::uint8_t> bytes, DatagramKind kind)
{
    return kind == DatagramKind::SearchAnswer ? DescribeSearchAnswer(bytes) : DescribeConfigAnswer(bytes);
}

std::string DescribeFrame(std::span<const std::uint8_t> bytes, Direction direction)
{
    if (bytes.size() == kResetFrameSize && StartsFrame(bytes)) {
        return "factory reset (13 bytes)";
    }
    if (bytes.size() != kFrameSize) {
        return std::to_string(bytes.size()) + " bytes, no frame";
    }
    if (!StartsFrame(bytes)) {
        return "no frame start";
    }
    const FrameView frame(bytes.data(), kFrameSize);
    if (!ChecksumMatches(frame)) {
        return "checksum wrong";
    }
    const Command command{frame[kClassByte], frame[kCommandByte]};
    return direction == Direction::Sent ? DescribeSent(frame, command) : DescribeReceived(frame, command);
}

}  // namespace velmora::protocol
