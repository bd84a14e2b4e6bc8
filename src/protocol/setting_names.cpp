#include "protocol/setting_names.h"

#include "protocol/address_text.h"
#include "protocol/advanced_commands.h"
#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/list_texts.h"
#include "protocol/video_commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace velmora::protocol {

namespace {

namespace t = list_texts;
using K = SettingKind;

constexpr Command kNoCommand{0, 0};

constexpr NamedSetting ListRow(std::string_view name, SettingPage page, const ListSetting& row,
                               std::span<const std::string_view> texts, Command answer)
{
    return {name, page, K::List, row.set, answer, row.statusByte, texts, &row};
}
constexpr NamedSetting ValueRow(std::string_view name, SettingPage page, const ValueSetting& row, Command answer,
                                std::span<const std::string_view> texts = {})
{
    return {name, page, K::Value, row.set, answer, row.statusByte, texts, &row};
}
constexpr NamedSetting SwitchRow(std::string_view name, SettingPage page, const SwitchSetting& row, Command answer)
{
    return {name, page, K::Switch, row.set, answer, row.statusByte, {}, &row};
}
constexpr NamedSetting StepRow(std::string_view name, const StepSetting& row)
{
    return {name, SettingPage::Video, K::Step, row.step, kVideoStatus, row.statusByte, {}, &row};
}
constexpr NamedSetting WordRow(std::string_view name, const WordSetting& row)
{
    return {name, SettingPage::Audio, K::Word, row.set, kAudioStatus, row.statusHigh, {}, &row};
}

const NamedSetting kSettings[] = {
    {"input", SettingPage::General, K::Input, kSelectInput, kGeneralStatus, general_status::kInput, t::kInputs},
    {"audio", SettingPage::General, K::AudioSource, kSetAudioSource, kGeneralStatus, general_status::kAudio, t::kAudio},
    ListRow("auto-switch", SettingPage::General, kAutoSwitch, t::kAutoSwitch, kGeneralStatus),
    ListRow("resolution", SettingPage::General, kResolution, t::kResolution, kGeneralStatus),
    ListRow("aspect-ratio", SettingPage::General, kAspectRatio, t::kAspectRatio, kGeneralStatus),
    ListRow("edid", SettingPage::General, kEdid, t::kEdid, kGeneralStatus),
    ListRow("hdcp", SettingPage::General, kHdcp, t::kHdcp, kGeneralStatus),

    ValueRow("contrast", SettingPage::Video, kContrast, kVideoStatus),
    ValueRow("brightness", SettingPage::Video, kBrightness, kVideoStatus),
    ValueRow("color", SettingPage::Video, kColor, kVideoStatus),
    ValueRow("sharpness", SettingPage::Video, kSharpness, kVideoStatus),
    ValueRow("h-size", SettingPage::Video, kVgaHSize, kVideoStatus),
    ValueRow("v-size", SettingPage::Video, kVgaVSize, kVideoStatus),
    StepRow("h-position", kHPosition),
    StepRow("v-position", kVPosition),
    StepRow("clock", kClock),
    StepRow("phase", kPhase),

    SwitchRow("mute", SettingPage::Audio, kMute, kAudioStatus),
    ValueRow("volume", SettingPage::Audio, kVolume, kAudioStatus),
    SwitchRow("mic-mute", SettingPage::Audio, kMicMute, kAudioStatus),
    ValueRow("mic-volume", SettingPage::Audio, kMicVolume, kAudioStatus),
    ValueRow("mixer", SettingPage::Audio, kMixerMode, kAudioStatus, t::kMixer),
    ValueRow("mixer-volume", SettingPage::Audio, kMixerVolume, kAudioStatus),
    WordRow("fade-in", kFadeIn),
    WordRow("fade-out", kFadeOut),

    SwitchRow("dhcp", SettingPage::Network, kDhcp, kReadDhcp),
    {"ip", SettingPage::Network, K::Address, kSetIp, kReadAddresses, addresses_reply::kIp},
    {"subnet", SettingPage::Network, K::Address, kSetSubnet, kReadAddresses, addresses_reply::kSubnet},
    {"gateway", SettingPage::Network, K::Address, kSetGateway, kReadAddresses, addresses_reply::kGateway},
    {"mac", SettingPage::Network, K::Mac, kSetMac, kReadMac, kMacByte},
    {"tcp-port", SettingPage::Network, K::TcpPort, kSetPort, kReadPort, kPortHighByte},

    SwitchRow("beep", SettingPage::Advanced, kBeep, kAdvancedStatus),
    SwitchRow("power", SettingPage::Advanced, kPower, kAdvancedStatus),
    ListRow("serial-baud", SettingPage::Advanced, kSerialBaud, t::kSerialBaud, kAdvancedStatus),
    ListRow("sleep-timer", SettingPage::Advanced, kSleepTimer, t::kSleepTimer, kAdvancedStatus),
    ListRow("osd-timeout", SettingPage::Advanced, kOsdTimeout, t::kOsdTimeout, kAdvancedStatus),
    {"hardware-version", SettingPage::Advanced, K::Version, kNoCommand, kAdvancedStatus,
     advanced_status::kVersionMajor},
};

constexpr PageInfo kPages[] = {
    {SettingPage::General, "general", "General"},    {SettingPage::Video, "video", "Video"},
    {SettingPage::Audio, "audio", "Audio"},          {SettingPage::Network, "network", "Network"},
    {SettingPage::Advanced, "advanced", "Advanced"},
};

constexpr std::string_view kOnWords[] = {"on", "true", "yes", "1"};
constexpr std::string_view kOffWords[] = {"off", "false", "no", "0"};

// Lower case without blanks or tabs: how texts are compared.
std::string Folded(std::string_view text)
{
    std::string folded;
    for (const char ch : text) {
        if (!std::isspace(static_cast<unsigned char>(ch))) {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    return folded;
}

std::optional<long> WholeNumber(std::string_view text, long min, long max)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<long> NamedEntry(std::span<const std::string_view> texts, std::string_view text)
{
    const std::string wanted = Folded(text);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!wanted.empty() && Folded(texts[i]) == wanted) {
            return static_cast<long>(i);
        }
    }
    return std::nullopt;
}

std::optional<long> Shifted(std::optional<long> index, long first)
{
    return index ? std::optional<long>(*index + first) : std::nullopt;
}

std::optional<long> OnOff(std::string_view text)
{
    const std::string wanted = Folded(text);
    if (std::find(std::begin(kOnWords), std::end(kOnWords), wanted) != std::end(kOnWords)) {
        return 1;
    }
    if (std::find(std::begin(kOffWords), std::end(kOffWords), wanted) != std::end(kOffWords)) {
        return 0;
    }
    return std::nullopt;
}

std::optional<SettingValue> Number(std::optional<long> number)
{
    if (!number) {
        return std::nullopt;
    }
    return SettingValue{*number, {}};
}

std::optional<SettingValue> ParseAddress(std::string_view text)
{
    // Four dotted decimal octets and nothing else.
    SettingValue value;
    std::size_t field = 0;
    std::size_t start = 0;
    while (field < kAddressSize) {
        const std::size_t dot = text.find('.', start);
        const bool last = field + 1 == kAddressSize;
        if (last != (dot == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto octet = WholeNumber(text.substr(start, last ? text.npos : dot - start), 0, 0xFF);
        if (!octet) {
            return std::nullopt;
        }
        value.bytes[field++] = static_cast<std::uint8_t>(*octet);
        start = dot + 1;
    }
    return value;
}

std::optional<SettingValue> ParseMac(std::string_view text)
{
    std::u16string digits;
    for (const char ch : text) {
        if (ch != ':' && ch != '-') {
            if (!std::isxdigit(static_cast<unsigned char>(ch))) {
                return std::nullopt;
            }
            digits += static_cast<char16_t>(ch);
        }
    }
    const auto mac = MacFromText(digits);
    if (!mac || !AssignableMac(*mac)) {
        return std::nullopt;
    }
    SettingValue value;
    value.bytes = *mac;
    return value;
}

long ValueMin(const NamedSetting& s) { return std::get<const ValueSetting*>(s.row)->min; }

std::string EntryText(std::span<const std::string_view> texts, long index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size()) {
        return "unknown (" + std::to_string(index) + ")";
    }
    return Trimmed(texts[static_cast<std::size_t>(index)]);
}

// The value bytes from `at` that every kind but lists and switches shares.
SettingValue ReadPlain(const NamedSetting& s, std::span<const std::uint8_t, kFrameSize> f, std::size_t at)
{
    SettingValue value;
    switch (s.kind) {
    case K::Address:
        std::copy_n(f.begin() + static_cast<long>(at), kAddressSize, value.bytes.begin());
        break;
    case K::Mac:
        std::copy_n(f.begin() + static_cast<long>(at), kMacSize, value.bytes.begin());
        break;
    case K::Word:
    case K::TcpPort:
        value.number = Word(f[at], f[at + 1]);
        break;
    case K::Version:
        value.bytes[0] = f[advanced_status::kVersionMajor];
        value.bytes[1] = f[advanced_status::kVersionMinor];
        break;
    default:
        value.number = f[at];
        break;
    }
    return value;
}

}  // namespace

std::span<const NamedSetting> AllSettings() { return kSettings; }

const NamedSetting* FindSetting(std::string_view name)
{
    const std::string wanted = Folded(name);
    for (const NamedSetting& s : kSettings) {
        if (s.name == wanted) {
            return &s;
        }
    }
    return nullptr;
}

bool Writable(const NamedSetting& setting) { return setting.kind != K::Version; }

ValueType TypeOf(const NamedSetting& setting)
{
    if (!setting.texts.empty() || setting.kind == K::Address || setting.kind == K::Mac || setting.kind == K::Version) {
        return ValueType::Text;
    }
    return setting.kind == K::Switch ? ValueType::OnOff : ValueType::Number;
}

std::span<const PageInfo> AllPages() { return kPages; }

const PageInfo* FindPage(std::string_view name)
{
    const std::string wanted = Folded(name);
    for (const PageInfo& info : kPages) {
        if (info.name == wanted) {
            return &info;
        }
    }
    return nullptr;
}

const PageInfo* PageOf(SettingPage pageValue)
{
    for (const PageInfo& info : kPages) {
        if (info.page == pageValue) {
            return &info;
        }
    }
    return nullptr;
}

std::vector<Command> PageQueries(SettingPage pageValue)
{
    std::vector<Command> queries;
    for (const NamedSetting& s : kSettings) {
        if (s.page == pageValue && std::find(queries.begin(), queries.end(), s.answer) == queries.end()) {
            queries.push_back(s.answer);
        }
    }
    return queries;
}

std::optional<SettingValue> ParseValue(const NamedSetting& s, std::string_view text)
{
    switch (s.kind) {
    case K::Input:
        return Number(Shifted(NamedEntry(s.texts, text), kInputHdmi1));
    case K::AudioSource:
    case K::List:
        return Number(NamedEntry(s.texts, text));
    case K::Value: {
        const auto* row = std::get<const ValueSetting*>(s.row);
        if (!s.texts.empty()) {
            return Number(Shifted(NamedEntry(s.texts, text), row->min));
        }
        return Number(WholeNumber(text, row->min, row->max));
    }
    case K::Switch:
        return Number(OnOff(text));
    case K::Word:
        return Number(WholeNumber(text, 0, std::get<const WordSetting*>(s.row)->max));
    case K::Step:
        return Number(WholeNumber(text, 0, kStepValueMax));
    case K::Address:
        return ParseAddress(text);
    case K::Mac:
        return ParseMac(text);
    case K::TcpPort:
        return Number(WholeNumber(text, kTcpPortMin, kTcpPortMax));
    case K::Version:
        break;
    }
    return std::nullopt;
}

std::string ValueText(const NamedSetting& s, const SettingValue& value)
{
    switch (s.kind) {
    case K::Input:
        return EntryText(s.texts, value.number - kInputHdmi1);
    case K::AudioSource:
    case K::List:
        return EntryText(s.texts, value.number);
    case K::Value:
        return s.texts.empty() ? std::to_string(value.number) : EntryText(s.texts, value.number - ValueMin(s));
    case K::Switch:
        return value.number ? "on" : "off";
    case K::Address:
        return AddressText({value.bytes[0], value.bytes[1], value.bytes[2], value.bytes[3]});
    case K::Mac: {
        char text[18];
        const auto& b = value.bytes;
        std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", b[0], b[1], b[2], b[3], b[4], b[5]);
        return text;
    }
    case K::Version:
        return std::to_string(value.bytes[0]) + "." + std::to_string(value.bytes[1]);
    default:
        return std::to_string(value.number);
    }
}

std::string Trimmed(std::string_view text)
{
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

SettingValue ReadStatus(const NamedSetting& s, std::span<const std::uint8_t, kFrameSize> answer)
{
    if (const auto* const* list = std::get_if<const ListSetting*>(&s.row)) {
        return {(*list)->PositionOf(answer[s.at]), {}};
    }
    if (const auto* const* onOff = std::get_if<const SwitchSetting*>(&s.row)) {
        return {(*onOff)->StatusIsOn(answer[s.at]) ? 1 : 0, {}};
    }
    return ReadPlain(s, answer, s.at);
}

SettingValue ReadBack(const NamedSetting& s, std::span<const std::uint8_t, kFrameSize> answer)
{
    return ReadPlain(s, answer, kValueByte);
}

SettingValue ReadCommand(const NamedSetting& s, std::span<const std::uint8_t, kFrameSize> command)
{
    if (s.kind == K::List) {
        return {static_cast<long>(command[kValueByte]) - 1, {}};
    }
    if (const auto* const* onOff = std::get_if<const SwitchSetting*>(&s.row)) {
        return {(*onOff)->FromCommand(command[kValueByte]).value_or(false) ? 1 : 0, {}};
    }
    if (s.kind == K::AudioSource) {
        return {command[kAudioSourceByte], {}};
    }
    if (s.kind == K::Step) {
        return {command[kValueByte] == kStepUp ? 1 : -1, {}};
    }
    return ReadPlain(s, command, kValueByte);
}

void BuildSet(const NamedSetting& s, const SettingValue& value, CommandFrame& frame, std::uint8_t input)
{
    frame.Begin(s.set);
    const auto byte = static_cast<std::uint8_t>(value.number);
    switch (s.kind) {
    case K::Input:
        frame.Set(kInputByte, byte);
        frame.Set(kSelectInputFlagByte, kSelectInputByte7);
        break;
    case K::AudioSource:
        frame.Set(kInputByte, input);
        frame.Set(kAudioSourceByte, byte);
        break;
    case K::List: {
        const auto* row = std::get<const ListSetting*>(s.row);
        frame.Set(kValueByte, ListSetting::ValueOf(static_cast<int>(value.number)));
        frame.Set(kSecondValueByte, row->byte6);
        break;
    }
    case K::Value: {
        const auto* row = std::get<const ValueSetting*>(s.row);
        frame.Set(kValueByte, byte);
        if (row->echoByte != 0) {
            frame.Set(row->echoByte, byte);
        }
        break;
    }
    case K::Switch:
        frame.Set(kValueByte, std::get<const SwitchSetting*>(s.row)->CommandByte(value.number != 0));
        break;
    case K::Word:
    case K::TcpPort:
        frame.Set(kValueByte, HighByte(static_cast<std::uint16_t>(value.number)));
        frame.Set(kSecondValueByte, LowByte(static_cast<std::uint16_t>(value.number)));
        break;
    case K::Step:
        frame.Set(kValueByte, value.number > 0 ? kStepUp : kStepDown);
        break;
    case K::Address:
        for (std::size_t i = 0; i < kAddressSize; ++i) {
            frame.Set(kAddressByte + i, value.bytes[i]);
        }
        break;
    case K::Mac:
        for (std::size_t i = 0; i < kMacSize; ++i) {
            frame.Set(kMacByte + i, value.bytes[i]);
        }
        break;
    case K::Version:
        break;
    }
    frame.Seal();
}

}  // namespace velmora::protocol
