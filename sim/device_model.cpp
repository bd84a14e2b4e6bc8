#include "sim/device_model.h"

#include "protocol/advanced_commands.h"
#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/network_commands.h"
#include "protocol/video_commands.h"

#include <algorithm>
#include <optional>

namespace velmora::sim {

namespace p = velmora::protocol;
using Frames = std::vector<p::FrameBytes>;

namespace {

constexpr std::size_t kByte5 = 5;
constexpr std::size_t kByte6 = 6;
constexpr std::size_t kByte7 = 7;

// Answer with the command repeated and the given bytes set.
p::FrameBytes Answer(p::Command command, std::initializer_list<std::pair<std::size_t, std::uint8_t>> params = {})
{
    return p::MakeFrame(command, params);
}

// Answer that repeats the incoming frame's parameters.
p::FrameBytes Echo(const p::FrameBytes& in)
{
    p::CommandFrame frame;
    frame.Begin({in[p::kClassByte], in[p::kCommandByte]});
    for (std::size_t i = p::kFirstParam; i <= p::kLastParam; ++i) {
        frame.Set(i, in[i]);
    }
    frame.Seal();
    return frame.Bytes();
}

bool InRange(std::uint8_t value, std::uint8_t low, std::uint8_t high)
{
    return value >= low && value <= high;
}

// The list commands of the General page: value 1..max stored as sent.
struct ListSetting {
    p::Command command;
    std::uint8_t max;
    std::uint8_t DeviceState::*field;
};

constexpr std::uint8_t kAutoSwitchMax = 4;
constexpr std::uint8_t kResolutionMax = 13;
constexpr std::uint8_t kAspectMax = 3;
constexpr std::uint8_t kEdidMax = 5;
constexpr std::uint8_t kHdcpMax = 2;
constexpr std::uint8_t kAudioSourceMax = 5;
constexpr std::uint8_t kEmbeddedAudio = 0;

constexpr ListSetting kGeneralLists[] = {
    {p::kSetAutoSwitch, kAutoSwitchMax, &DeviceState::autoSwitch},
    {p::kSetResolution, kResolutionMax, &DeviceState::resolution},
    {p::kSetAspectRatio, kAspectMax, &DeviceState::aspectRatio},
    {p::kSetHdcp, kHdcpMax, &DeviceState::hdcp},
};

constexpr ListSetting kAdvancedLists[] = {
    {p::kSetSerialBaud, p::kAdvancedListMax, &DeviceState::serialBaud},
    {p::kSetSleepTimer, p::kAdvancedListMax, &DeviceState::sleepTimer},
    {p::kSetOsdTimeout, p::kAdvancedListMax, &DeviceState::osdTimeout},
};

struct RangeSetting {
    p::Command command;
    std::uint8_t max;
    std::uint8_t DeviceState::*field;
    bool echoInByte7;
};

constexpr RangeSetting kVideoValues[] = {
    {p::kSetContrast, p::kContrastMax, &DeviceState::contrast, true},
    {p::kSetBrightness, p::kBrightnessMax, &DeviceState::brightness, true},
    {p::kSetColor, p::kColorMax, &DeviceState::color, true},
    {p::kSetSharpness, p::kSharpnessMax, &DeviceState::sharpness, true},
    {p::kSetVgaHSize, p::kVgaSizeMax, &DeviceState::vgaHSize, false},
    {p::kSetVgaVSize, p::kVgaSizeMax, &DeviceState::vgaVSize, false},
};

struct StepSetting {
    p::Command step;
    p::Command read;
    std::uint8_t DeviceState::*field;
};

constexpr StepSetting kVideoSteps[] = {
    {p::kStepHPosition, p::kReadHPosition, &DeviceState::hPosition},
    {p::kStepVPosition, p::kReadVPosition, &DeviceState::vPosition},
    {p::kStepClock, p::kReadClock, &DeviceState::clock},
    {p::kStepPhase, p::kReadPhase, &DeviceState::phase},
};

constexpr RangeSetting kAudioValues[] = {
    {p::kSetVolume, p::kVolumeMax, &DeviceState::volume, false},
    {p::kSetMicVolume, p::kVolumeMax, &DeviceState::micVolume, false},
};

struct AddressSetting {
    p::Command command;
    std::array<std::uint8_t, p::kAddressSize> DeviceState::*field;
};

constexpr AddressSetting kAddressSettings[] = {
    {p::kSetIp, &DeviceState::ip},
    {p::kSetSubnet, &DeviceState::subnet},
    {p::kSetGateway, &DeviceState::gateway},
};

std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFFu); }
std::uint16_t Join(std::uint8_t high, std::uint8_t low) { return static_cast<std::uint16_t>((high << 8) | low); }

// On/off bytes: `onValue` means on, `offValue` off, anything else is invalid.
std::optional<bool> Switch(std::uint8_t value, std::uint8_t onValue, std::uint8_t offValue)
{
    if (value == onValue) {
        return true;
    }
    if (value == offValue) {
        return false;
    }
    return std::nullopt;
}

}  // namespace

bool IsFactoryResetPrefix(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < p::kResetFrameSize) {
        return false;
    }
    p::CommandFrame reset;
    reset.BeginShort(p::kFactoryReset);
    reset.Set(p::kInputByte, p::kFactoryResetByte5);
    reset.Set(kByte7, p::kFactoryResetByte7);
    return std::equal(bytes.begin(), bytes.begin() + p::kResetFrameSize, reset.Data());
}

void DeviceModel::FactoryReset()
{
    State fresh;
    fresh.mac = state_.mac;  // the MAC belongs to the unit, not to its settings
    fresh.factoryResets = state_.factoryResets + 1;
    fresh.upgrades = state_.upgrades;
    state_ = fresh;
}

Frames DeviceModel::Handle(std::span<const std::uint8_t> frame)
{
    if (frame.size() != p::kFrameSize || !p::StartsFrame(frame)) {
        return {};
    }
    p::FrameBytes in{};
    std::copy(frame.begin(), frame.end(), in.begin());
    if (!p::ChecksumMatches(in)) {
        return {};
    }
    for (auto handler : {&DeviceModel::HandleGeneral, &DeviceModel::HandleVideo, &DeviceModel::HandleAudio,
                         &DeviceModel::HandleAdvanced, &DeviceModel::HandleNetwork}) {
        Frames out = (this->*handler)(in);
        if (!out.empty()) {
            return out;
        }
    }
    return {};
}

Frames DeviceModel::HandleGeneral(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[kByte5];
    const std::uint8_t v7 = in[kByte7];
    namespace gs = p::general_status;

    if (command == p::kGeneralStatus) {
        return {Answer(command, {{gs::kAutoSwitch, static_cast<std::uint8_t>(state_.autoSwitch - 1)},
                                 {gs::kInput, state_.input},
                                 {gs::kAudio, state_.audioSource.at(state_.input - 1)},
                                 {gs::kResolution, static_cast<std::uint8_t>(state_.resolution - 1)},
                                 {gs::kAspectRatio, static_cast<std::uint8_t>(state_.aspectRatio - 1)},
                                 {gs::kEdid, static_cast<std::uint8_t>(state_.edid - 1)},
                                 {gs::kHdcp, static_cast<std::uint8_t>(state_.hdcp - 1)}})};
    }
    if (command == p::kSelectInput) {
        if (!InRange(v5, p::kInputHdmi1, p::kInputCount)) {
            return {};
        }
        state_.input = v5;
        return {Answer(command, {{p::kInputByte, p::kInputAccepted}})};
    }
    if (command == p::kQueryAudioSource) {
        if (!InRange(v5, p::kInputHdmi1, p::kInputCount)) {
            return {};
        }
        return {Answer(command, {{p::kInputByte, v5}, {p::kAudioSourceByte, state_.audioSource.at(v5 - 1)}})};
    }
    if (command == p::kTcpGreeting) {
        // The panel sends the greeting twice while its connection is still
        // being made and waits for no answer; a reply would only land on
        // whichever page is selected. So the greeting is taken in silence.
        return {};
    }
    if (command == p::kInputChangeDone) {
        return {Answer(command)};
    }
    if (command == p::kSetAudioSource) {
        // The VGA input carries no embedded audio.
        if (!InRange(v5, p::kInputHdmi1, p::kInputCount) || v7 > kAudioSourceMax ||
            (v5 == p::kInputVga && v7 == kEmbeddedAudio)) {
            return {};
        }
        state_.audioSource.at(v5 - 1) = v7;
        return {Echo(in)};
    }
    if (command == p::kSetEdid) {
        if (!InRange(v5, 1, kEdidMax) || in[kByte6] != p::kOn) {
            return {};
        }
        state_.edid = v5;
        return {Echo(in)};
    }
    for (const ListSetting& list : kGeneralLists) {
        if (command == list.command) {
            if (!InRange(v5, 1, list.max)) {
                return {};
            }
            state_.*list.field = v5;
            return {Echo(in)};
        }
    }
    return {};
}

Frames DeviceModel::HandleVideo(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[p::kVideoValueByte];
    namespace vs = p::video_status;

    if (command == p::kVideoStatus) {
        return {Answer(command, {{vs::kContrast, state_.contrast},
                                 {vs::kBrightness, state_.brightness},
                                 {vs::kColor, state_.color},
                                 {vs::kSharpness, state_.sharpness},
                                 {vs::kHSize, state_.vgaHSize},
                                 {vs::kVSize, state_.vgaVSize},
                                 {vs::kHPosition, state_.hPosition},
                                 {vs::kVPosition, state_.vPosition},
                                 {vs::kClock, state_.clock},
                                 {vs::kPhase, state_.phase},
                                 {vs::kInput, state_.input}})};
    }
    for (const RangeSetting& value : kVideoValues) {
        if (command == value.command) {
            if (v5 > value.max) {
                return {};
            }
            state_.*value.field = v5;
            return {Echo(in)};
        }
    }
    for (const StepSetting& step : kVideoSteps) {
        if (command == step.step) {
            std::uint8_t& field = state_.*step.field;
            if (v5 == p::kStepUp) {
                field = static_cast<std::uint8_t>(std::min<int>(field + 1, kStepValueMax));
            } else if (v5 == p::kStepDown) {
                field = static_cast<std::uint8_t>(std::max<int>(field - 1, 0));
            } else {
                return {};
            }
            return {Echo(in)};
        }
        if (command == step.read) {
            return {Answer(command, {{p::kVideoValueByte, state_.*step.field}})};
        }
    }
    return {};
}

Frames DeviceModel::HandleAudio(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[p::kAudioValueByte];
    namespace as = p::audio_status;
    auto muteByte = [](bool muted) { return muted ? p::kMuteStatusOn : p::kMuteStatusOff; };

    if (command == p::kAudioStatus) {
        return {Answer(command, {{as::kMute, muteByte(state_.mute)},
                                 {as::kVolume, state_.volume},
                                 {as::kMicMute, muteByte(state_.micMute)},
                                 {as::kMicVolume, state_.micVolume},
                                 {as::kMixerMode, state_.mixerMode},
                                 {as::kMixerVolume, state_.mixerVolume},
                                 {as::kFadeInHigh, High(state_.fadeInMs)},
                                 {as::kFadeInLow, Low(state_.fadeInMs)},
                                 {as::kFadeOutHigh, High(state_.fadeOutMs)},
                                 {as::kFadeOutLow, Low(state_.fadeOutMs)}})};
    }
    if (command == p::kSetMute || command == p::kSetMicMute) {
        const auto on = Switch(v5, p::kMuteCommandOn, p::kMuteCommandOff);
        if (!on) {
            return {};
        }
        (command == p::kSetMute ? state_.mute : state_.micMute) = *on;
        return {Echo(in)};
    }
    for (const RangeSetting& value : kAudioValues) {
        if (command == value.command) {
            if (v5 > value.max) {
                return {};
            }
            state_.*value.field = v5;
            return {Echo(in)};
        }
    }
    if (command == p::kSetMixerMode) {
        if (!InRange(v5, p::kMixerOn, p::kMixerAuto)) {
            return {};
        }
        state_.mixerMode = v5;
        return {Echo(in)};
    }
    if (command == p::kSetMixerVolume) {
        if (v5 > state_.volume) {
            return {};
        }
        state_.mixerVolume = v5;
        return {Echo(in)};
    }
    if (command == p::kSetFadeIn || command == p::kSetFadeOut) {
        (command == p::kSetFadeIn ? state_.fadeInMs : state_.fadeOutMs) =
            Join(in[p::kFadeHighByte], in[p::kFadeLowByte]);
        return {Echo(in)};
    }
    if (command == p::kReadFadeIn || command == p::kReadFadeOut) {
        const std::uint16_t ms = command == p::kReadFadeIn ? state_.fadeInMs : state_.fadeOutMs;
        return {Answer(command, {{p::kFadeHighByte, High(ms)}, {p::kFadeLowByte, Low(ms)}})};
    }
    return {};
}

Frames DeviceModel::HandleAdvanced(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[p::kAdvancedValueByte];
    namespace ds = p::advanced_status;

    if (command == p::kAdvancedStatus) {
        return {Answer(command, {{ds::kBeep, state_.beep ? p::kBeepStatusOn : p::kBeepStatusOff},
                                 {ds::kPower, state_.power ? p::kPowerOn : p::kPowerOff},
                                 {ds::kSerialBaud, state_.serialBaud},
                                 {ds::kSleepTimer, state_.sleepTimer},
                                 {ds::kOsdTimeout, state_.osdTimeout},
                                 {ds::kVersionMajor, state_.versionMajor},
                                 {ds::kVersionMinor, state_.versionMinor}})};
    }
    if (command == p::kUpgradeScaler) {
        ++state_.upgrades;
        return {Echo(in)};
    }
    if (command == p::kSetBeep || command == p::kSetPower) {
        const auto on = command == p::kSetBeep ? Switch(v5, p::kBeepCommandOn, p::kBeepCommandOff)
                                               : Switch(v5, p::kPowerOn, p::kPowerOff);
        if (!on) {
            return {};
        }
        (command == p::kSetBeep ? state_.beep : state_.power) = *on;
        return {Echo(in)};
    }
    if (command == p::kAdvancedFactoryReset) {
        FactoryReset();
        return {Echo(in)};
    }
    for (const ListSetting& list : kAdvancedLists) {
        if (command == list.command) {
            if (!InRange(v5, 1, list.max)) {
                return {};
            }
            state_.*list.field = v5;
            return {Echo(in)};
        }
    }
    return {};
}

Frames DeviceModel::HandleNetwork(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};

    if (command == p::kReadDhcp) {
        return {Answer(command, {{p::kDhcpByte, state_.dhcp ? p::kDhcpOn : p::kDhcpOff}})};
    }
    if (command == p::kReadAddresses) {
        p::CommandFrame out;
        out.Begin(command);
        for (std::size_t i = 0; i < p::kAddressSize; ++i) {
            out.Set(p::addresses_reply::kIp + i, state_.ip[i]);
            out.Set(p::addresses_reply::kSubnet + i, state_.subnet[i]);
            out.Set(p::addresses_reply::kGateway + i, state_.gateway[i]);
        }
        out.Seal();
        return {out.Bytes()};
    }
    if (command == p::kReadMac) {
        p::CommandFrame out;
        out.Begin(command);
        for (std::size_t i = 0; i < p::kMacSize; ++i) {
            out.Set(p::kMacByte + i, state_.mac[i]);
        }
        out.Seal();
        return {out.Bytes()};
    }
    if (command == p::kReadPort) {
        return {Answer(command, {{p::kPortHighByte, High(state_.tcpPort)}, {p::kPortLowByte, Low(state_.tcpPort)}})};
    }
    if (command == p::kSetDhcp) {
        const auto on = Switch(in[p::kDhcpByte], p::kDhcpOn, p::kDhcpOff);
        if (!on) {
            return {};
        }
        state_.dhcp = *on;
        return {Echo(in)};
    }
    for (const AddressSetting& address : kAddressSettings) {
        if (command == address.command) {
            auto& field = state_.*address.field;
            std::copy_n(in.begin() + p::kAddressByte, p::kAddressSize, field.begin());
            return {Echo(in)};
        }
    }
    if (command == p::kSetMac) {
        std::copy_n(in.begin() + p::kMacByte, p::kMacSize, state_.mac.begin());
        return {Echo(in)};
    }
    if (command == p::kSetPort) {
        const std::uint16_t port = Join(in[p::kPortHighByte], in[p::kPortLowByte]);
        if (port == 0) {
            return {};
        }
        state_.tcpPort = port;
        return {Echo(in)};
    }
    return {};
}

}  // namespace velmora::sim
