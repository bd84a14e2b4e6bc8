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

bool InRange(std::uint8_t value, std::uint8_t low, std::uint8_t high) { return value >= low && value <= high; }

// Each setting row of the protocol, paired with where the model keeps it.
template <class Row, class Field>
struct Kept {
    const Row* row;
    Field DeviceState::*field;
};
using KeptList = Kept<p::ListSetting, std::uint8_t>;
using KeptValue = Kept<p::ValueSetting, std::uint8_t>;
using KeptSwitch = Kept<p::SwitchSetting, bool>;
using KeptStep = Kept<p::StepSetting, std::uint8_t>;
using KeptWord = Kept<p::WordSetting, std::uint16_t>;
using KeptAddress = Kept<p::Command, std::array<std::uint8_t, p::kAddressSize>>;

constexpr std::uint8_t kAudioSourceMax = 5;
constexpr std::uint8_t kEmbeddedAudio = 0;

constexpr KeptList kGeneralLists[] = {
    {&p::kAutoSwitch, &DeviceState::autoSwitch},
    {&p::kResolution, &DeviceState::resolution},
    {&p::kAspectRatio, &DeviceState::aspectRatio},
    {&p::kEdid, &DeviceState::edid},
    {&p::kHdcp, &DeviceState::hdcp},
};
constexpr KeptList kAdvancedLists[] = {
    {&p::kSerialBaud, &DeviceState::serialBaud},
    {&p::kSleepTimer, &DeviceState::sleepTimer},
    {&p::kOsdTimeout, &DeviceState::osdTimeout},
};

constexpr KeptValue kVideoValues[] = {
    {&p::kContrast, &DeviceState::contrast}, {&p::kBrightness, &DeviceState::brightness},
    {&p::kColor, &DeviceState::color},       {&p::kSharpness, &DeviceState::sharpness},
    {&p::kVgaHSize, &DeviceState::vgaHSize}, {&p::kVgaVSize, &DeviceState::vgaVSize},
};
constexpr KeptValue kAudioValues[] = {
    {&p::kVolume, &DeviceState::volume},
    {&p::kMicVolume, &DeviceState::micVolume},
    {&p::kMixerMode, &DeviceState::mixerMode},
};

constexpr KeptSwitch kAudioSwitches[] = {{&p::kMute, &DeviceState::mute}, {&p::kMicMute, &DeviceState::micMute}};
constexpr KeptSwitch kAdvancedSwitches[] = {{&p::kBeep, &DeviceState::beep}, {&p::kPower, &DeviceState::power}};
constexpr KeptSwitch kNetworkSwitches[] = {{&p::kDhcp, &DeviceState::dhcp}};

constexpr KeptStep kSteps[] = {
    {&p::kHPosition, &DeviceState::hPosition},
    {&p::kVPosition, &DeviceState::vPosition},
    {&p::kClock, &DeviceState::clock},
    {&p::kPhase, &DeviceState::phase},
};

constexpr KeptWord kWords[] = {
    {&p::kFadeIn, &DeviceState::fadeInMs},
    {&p::kFadeOut, &DeviceState::fadeOutMs},
};

constexpr KeptAddress kAddresses[] = {
    {&p::kSetIp, &DeviceState::ip},
    {&p::kSetSubnet, &DeviceState::subnet},
    {&p::kSetGateway, &DeviceState::gateway},
};

// A status answer: the command repeated, each kept value at its status byte.
class StatusAnswer {
public:
    StatusAnswer(p::Command command, const DeviceState& state) : state_(state) { frame_.Begin(command); }
    StatusAnswer& Add(const KeptList& kept)
    {
        frame_.Set(kept.row->statusByte, kept.row->StatusOf(state_.*kept.field));
        return *this;
    }
    StatusAnswer& Add(const KeptValue& kept)
    {
        frame_.Set(kept.row->statusByte, state_.*kept.field);
        return *this;
    }
    StatusAnswer& Add(const KeptSwitch& kept)
    {
        frame_.Set(kept.row->statusByte, kept.row->StatusByte(state_.*kept.field));
        return *this;
    }
    StatusAnswer& Add(const KeptStep& kept)
    {
        frame_.Set(kept.row->statusByte, state_.*kept.field);
        return *this;
    }
    StatusAnswer& Add(const KeptWord& kept)
    {
        frame_.Set(kept.row->statusHigh, p::HighByte(state_.*kept.field));
        frame_.Set(kept.row->statusHigh + 1, p::LowByte(state_.*kept.field));
        return *this;
    }
    StatusAnswer& Set(std::size_t index, std::uint8_t value)
    {
        frame_.Set(index, value);
        return *this;
    }
    template <class Kept, std::size_t N>
    StatusAnswer& AddAll(const Kept (&table)[N])
    {
        for (const Kept& kept : table) {
            Add(kept);
        }
        return *this;
    }
    Frames Done()
    {
        frame_.Seal();
        return {frame_.Bytes()};
    }

private:
    const DeviceState& state_;
    p::CommandFrame frame_;
};

// The kept setting whose set command this is, in any of the tables.
template <class Kept, std::size_t... N>
const Kept* Find(p::Command command, const Kept (&... tables)[N])
{
    const Kept* found = nullptr;
    const auto search = [&](const auto& table) {
        for (const Kept& kept : table) {
            if (!found && kept.row->set == command) {
                found = &kept;
            }
        }
    };
    (search(tables), ...);
    return found;
}

}  // namespace

bool IsFactoryResetPrefix(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < p::kResetFrameSize) {
        return false;
    }
    p::CommandFrame reset;
    p::BuildFactoryReset(reset);
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
    for (auto handler : {&DeviceModel::HandleStatus, &DeviceModel::HandleGeneral, &DeviceModel::HandleSettings,
                         &DeviceModel::HandleSteps, &DeviceModel::HandleAudio, &DeviceModel::HandleAdvanced,
                         &DeviceModel::HandleNetwork}) {
        Frames out = (this->*handler)(in);
        if (!out.empty()) {
            return out;
        }
    }
    return {};
}

Frames DeviceModel::HandleStatus(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    if (command == p::kGeneralStatus) {
        return StatusAnswer(command, state_)
            .AddAll(kGeneralLists)
            .Set(p::general_status::kInput, state_.input)
            .Set(p::general_status::kAudio, state_.audioSource.at(state_.input - 1))
            .Done();
    }
    if (command == p::kVideoStatus) {
        return StatusAnswer(command, state_)
            .AddAll(kVideoValues)
            .AddAll(kSteps)
            .Set(p::video_status::kInput, state_.input)
            .Done();
    }
    if (command == p::kAudioStatus) {
        return StatusAnswer(command, state_)
            .AddAll(kAudioSwitches)
            .AddAll(kAudioValues)
            .AddAll(kWords)
            .Set(p::kMixerVolume.statusByte, state_.mixerVolume)
            .Done();
    }
    if (command == p::kAdvancedStatus) {
        return StatusAnswer(command, state_)
            .AddAll(kAdvancedSwitches)
            .AddAll(kAdvancedLists)
            .Set(p::advanced_status::kVersionMajor, state_.versionMajor)
            .Set(p::advanced_status::kVersionMinor, state_.versionMinor)
            .Done();
    }
    return {};
}

Frames DeviceModel::HandleGeneral(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t input = in[p::kInputByte];
    const std::uint8_t source = in[p::kAudioSourceByte];

    if (command == p::kSelectInput) {
        if (!InRange(input, p::kInputHdmi1, p::kInputCount)) {
            return {};
        }
        state_.input = input;
        return {Answer(command, {{p::kInputByte, p::kInputAccepted}})};
    }
    if (command == p::kQueryAudioSource) {
        if (!InRange(input, p::kInputHdmi1, p::kInputCount)) {
            return {};
        }
        return {Answer(command, {{p::kInputByte, input}, {p::kAudioSourceByte, state_.audioSource.at(input - 1)}})};
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
        if (!InRange(input, p::kInputHdmi1, p::kInputCount) || source > kAudioSourceMax ||
            (input == p::kInputVga && source == kEmbeddedAudio)) {
            return {};
        }
        state_.audioSource.at(input - 1) = source;
        return {Echo(in)};
    }
    return {};
}

// The settings that are one row each: lists, values, switches and words.
Frames DeviceModel::HandleSettings(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[p::kValueByte];

    if (const KeptList* kept = Find(command, kGeneralLists, kAdvancedLists)) {
        if (!kept->row->ValidValue(v5) || in[p::kSecondValueByte] != kept->row->byte6) {
            return {};
        }
        state_.*kept->field = v5;
        return {Echo(in)};
    }
    if (const KeptValue* kept = Find(command, kVideoValues, kAudioValues)) {
        if (!kept->row->InRange(v5)) {
            return {};
        }
        state_.*kept->field = v5;
        return {Echo(in)};
    }
    if (const KeptSwitch* kept = Find(command, kAudioSwitches, kAdvancedSwitches, kNetworkSwitches)) {
        const auto on = kept->row->FromCommand(v5);
        if (!on) {
            return {};
        }
        state_.*kept->field = *on;
        return {Echo(in)};
    }
    if (const KeptWord* kept = Find(command, kWords)) {
        const std::uint16_t value = p::Word(v5, in[p::kSecondValueByte]);
        if (!kept->row->InRange(value)) {
            return {};
        }
        state_.*kept->field = value;
        return {Echo(in)};
    }
    for (const KeptWord& kept : kWords) {
        if (kept.row->read == command) {
            const std::uint16_t value = state_.*kept.field;
            return {Answer(command, {{p::kValueByte, p::HighByte(value)}, {p::kSecondValueByte, p::LowByte(value)}})};
        }
    }
    return {};
}

Frames DeviceModel::HandleSteps(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    const std::uint8_t v5 = in[p::kValueByte];
    for (const KeptStep& kept : kSteps) {
        std::uint8_t& field = state_.*kept.field;
        if (command == kept.row->step) {
            if (v5 == p::kStepUp) {
                field = static_cast<std::uint8_t>(std::min<int>(field + 1, p::kStepValueMax));
            } else if (v5 == p::kStepDown) {
                field = static_cast<std::uint8_t>(std::max<int>(field - 1, 0));
            } else {
                return {};
            }
            return {Echo(in)};
        }
        if (command == kept.row->read) {
            return {Answer(command, {{p::kValueByte, field}})};
        }
    }
    return {};
}

Frames DeviceModel::HandleAudio(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    if (command == p::kMixerVolume.set) {
        const std::uint8_t v5 = in[p::kValueByte];
        if (v5 > state_.volume && dropMixerOverVolume_) {
            return {};
        }
        // The mix never passes the audio volume: a higher value is taken as
        // the highest allowed, and the answer says so.
        state_.mixerVolume = std::min(v5, state_.volume);
        p::FrameBytes taken = in;
        taken[p::kValueByte] = state_.mixerVolume;
        return {Echo(taken)};
    }
    return {};
}

Frames DeviceModel::HandleAdvanced(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};
    if (command == p::kUpgradeScaler) {
        ++state_.upgrades;
        return {Echo(in)};
    }
    if (command == p::kAdvancedFactoryReset) {
        FactoryReset();
        return {Echo(in)};
    }
    return {};
}

Frames DeviceModel::HandleNetwork(const p::FrameBytes& in)
{
    const p::Command command{in[p::kClassByte], in[p::kCommandByte]};

    if (command == p::kReadDhcp) {
        return {Answer(command, {{p::kDhcpByte, p::kDhcp.StatusByte(state_.dhcp)}})};
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
        return {Answer(
            command, {{p::kPortHighByte, p::HighByte(state_.tcpPort)}, {p::kPortLowByte, p::LowByte(state_.tcpPort)}})};
    }
    for (const KeptAddress& address : kAddresses) {
        if (command == *address.row) {
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
        const std::uint16_t port = p::Word(in[p::kPortHighByte], in[p::kPortLowByte]);
        if (port == 0) {
            return {};
        }
        state_.tcpPort = port;
        return {Echo(in)};
    }
    return {};
}

}  // namespace velmora::sim
