#pragma once
// Every setting of the switcher by the name scripts and the traffic log use
// for it, with the shape of its value: an entry of one of the panel's lists,
// a number in its range, on or off, an address. The rows of the pages stay
// the one home of commands, value bytes and ranges; this table names them.

#include "protocol/frame.h"
#include "protocol/network_commands.h"
#include "protocol/setting.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::protocol {

enum class SettingKind {
    Input,  // the input buttons: byte 5 of the input command
    AudioSource,  // the current input's audio: byte 5 input, byte 7 source
    List,  // a ListSetting
    Value,  // a ValueSetting; with texts, each value has a name
    Switch,  // a SwitchSetting
    Word,  // a WordSetting
    Step,  // a StepSetting
    Address,  // four bytes from byte 5
    Mac,  // six bytes from byte 5
    TcpPort,  // big-endian in bytes 5 and 6
    Version,  // read only: the hardware version
};

using SettingRow = std::variant<std::monostate, const ListSetting*, const ValueSetting*, const SwitchSetting*,
                                const WordSetting*, const StepSetting*>;

// The panel page a setting is shown on, which also groups what one status
// answer or read chain reports.
enum class SettingPage : std::uint8_t { General, Video, Audio, Network, Advanced };

struct NamedSetting {
    std::string_view name;
    SettingPage page;
    SettingKind kind;
    Command set;  // the command that writes it (steps: the step command)
    Command answer;  // the status or read answer that reports it
    std::size_t at;  // its first byte in that answer
    std::span<const std::string_view> texts{};  // value names; empty for numbers
    SettingRow row{};
};

// A value as the frames carry it: a number (list position, value, input or
// source number, 1 for on) or the bytes of an address.
struct SettingValue {
    long number = 0;
    std::array<std::uint8_t, kMacSize> bytes{};
    friend bool operator==(const SettingValue&, const SettingValue&) = default;
};

// How a value reads outside the program: a number, a text, or on/off.
enum class ValueType { Number, Text, OnOff };

std::span<const NamedSetting> AllSettings();
const NamedSetting* FindSetting(std::string_view name);
bool Writable(const NamedSetting& setting);
ValueType TypeOf(const NamedSetting& setting);

// The pages by the names scripts use ("general" ...) and their titles.
struct PageInfo {
    SettingPage page;
    std::string_view name;
    std::string_view title;
};
std::span<const PageInfo> AllPages();
const PageInfo* FindPage(std::string_view name);
const PageInfo* PageOf(SettingPage page);
// The answers that carry a page's settings, in the order the page reads them:
// one status answer, or the Network page's read chain.
std::vector<Command> PageQueries(SettingPage page);

// The value a text names, range-checked: list entries and value names as the
// panel shows them (case, tabs and blanks do not matter), decimal numbers,
// on/off, dotted addresses, hardware addresses with or without separators.
// Steps take the target value. Nothing for a text out of range or unknown.
std::optional<SettingValue> ParseValue(const NamedSetting& setting, std::string_view text);
// "DP", "on", "20", "10.0.0.5", "00-1c-91-03-52-7a".
std::string ValueText(const NamedSetting& setting, const SettingValue& value);
// The list texts as they read in a line: tabs and outer blanks dropped.
std::string Trimmed(std::string_view text);

// The value as the setting's status (or read) answer reports it.
SettingValue ReadStatus(const NamedSetting& setting, std::span<const std::uint8_t, kFrameSize> answer);
// The value the read-back answer of a word or step setting carries.
SettingValue ReadBack(const NamedSetting& setting, std::span<const std::uint8_t, kFrameSize> answer);
// The value a set command, or its acknowledgement, carries.
SettingValue ReadCommand(const NamedSetting& setting, std::span<const std::uint8_t, kFrameSize> command);
// Builds the set command of a value. `input` is the input whose audio source
// is set; a step goes up for a positive number and down otherwise.
void BuildSet(const NamedSetting& setting, const SettingValue& value, CommandFrame& frame, std::uint8_t input = 0);

}  // namespace velmora::protocol
