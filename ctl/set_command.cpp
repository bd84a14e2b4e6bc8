// velmoractl set: each setting written as the panel's control writes it,
// followed through the page's chain (read-backs, the input's audio, DHCP off
// after an address), and printed as the switcher confirms it.

#include "cli_error.h"
#include "commands.h"
#include "page_reads.h"

#include "protocol/audio_commands.h"
#include "protocol/commands.h"
#include "protocol/network_commands.h"
#include "protocol/video_commands.h"

#include <cstdlib>

namespace velmora::cli {

namespace p = velmora::protocol;
using K = p::SettingKind;

namespace {

struct Request {
    const p::NamedSetting* setting;
    p::SettingValue value;
    std::string text;
};

std::vector<Request> CheckedRequests(const std::vector<std::string>& words)
{
    if (words.empty() || words.size() % 2 != 0) {
        throw CliError(kExitUsage, "set wants NAME VALUE pairs (velmoractl set --help lists them)");
    }
    std::vector<Request> requests;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        const p::NamedSetting* setting = p::FindSetting(words[i]);
        if (!setting || !p::Writable(*setting)) {
            throw CliError(kExitUsage, "no setting '" + words[i] + "' to set (velmoractl set --help lists them)");
        }
        const auto value = p::ParseValue(*setting, words[i + 1]);
        if (!value) {
            throw CliError(kExitRefusedValue, "set " + words[i] + ": '" + words[i + 1] +
                                                  "' is out of range or no value of it; nothing was sent");
        }
        requests.push_back({setting, *value, words[i + 1]});
    }
    return requests;
}

p::FrameBytes SetFrame(const Request& request, std::uint8_t input = 0)
{
    p::CommandFrame frame;
    p::BuildSet(*request.setting, request.value, frame, input);
    return frame.Bytes();
}

void Refuse(const Request& request, const std::string& why)
{
    throw CliError(kExitRefusedValue, "set " + std::string(request.setting->name) + " " + request.text + ": " + why +
                                          "; nothing was sent");
}

void Put(Json& out, const p::NamedSetting& setting, const p::SettingValue& value)
{
    out.Add(std::string(setting.name), ValueJson(setting, value));
}

void SetInput(Exchange& exchange, const Request& request, Json& out)
{
    const p::FrameBytes answer = exchange.Ask(SetFrame(request));
    if (answer[p::kInputByte] != p::kInputAccepted) {
        throw CliError(kExitFailed, "the switcher did not take input " + p::ValueText(*request.setting, request.value));
    }
    Put(out, *request.setting, request.value);
    // The General page goes on to the input's audio and closes the change.
    const auto input = static_cast<std::uint8_t>(request.value.number);
    const p::FrameBytes audio = exchange.Ask(p::MakeFrame(p::kQueryAudioSource, {{p::kInputByte, input}}));
    Put(out, *p::FindSetting("audio"), {audio[p::kAudioSourceByte], {}});
    exchange.Ask(p::MakeFrame(p::kInputChangeDone));
}

void SetAudioSource(Exchange& exchange, const Request& request, Json& out)
{
    const auto input = static_cast<std::uint8_t>(ReadSetting(exchange, *p::FindSetting("input")).number);
    if (input == p::kInputVga && request.value.number == 0) {
        Refuse(request, "the VGA input carries no embedded audio");
    }
    const p::FrameBytes answer = exchange.Ask(SetFrame(request, input));
    Put(out, *request.setting, p::ReadCommand(*request.setting, answer));
}

// A word setting is read back after the switcher took it.
void SetWord(Exchange& exchange, const Request& request, Json& out)
{
    exchange.Ask(SetFrame(request));
    const auto* row = std::get<const p::WordSetting*>(request.setting->row);
    Put(out, *request.setting, p::ReadBack(*request.setting, exchange.Ask(p::MakeFrame(row->read))));
}

// A step setting moves one step a command, each read back, until it stands
// at the value asked for or stops moving.
void SetStep(Exchange& exchange, const Request& request, Json& out)
{
    const auto* row = std::get<const p::StepSetting*>(request.setting->row);
    long current = ReadSetting(exchange, *request.setting).number;
    for (int step = 0; step <= p::kStepValueMax && current != request.value.number; ++step) {
        const p::SettingValue direction{request.value.number > current ? 1 : -1, {}};
        exchange.Ask(SetFrame({request.setting, direction, {}}));
        const long before = current;
        current = p::ReadBack(*request.setting, exchange.Ask(p::MakeFrame(row->read))).number;
        if (current == before) {
            break;
        }
    }
    Put(out, *request.setting, {current, {}});
    if (current != request.value.number) {
        throw CliError(kExitFailed, std::string(request.setting->name) + " stopped at " + std::to_string(current));
    }
}

void SetPlain(Exchange& exchange, const Request& request, Json& out)
{
    if (request.setting->set == p::kMixerVolume.set) {
        const long volume = ReadSetting(exchange, *p::FindSetting("volume")).number;
        if (request.value.number > volume) {
            Refuse(request, "the mixer volume may not pass the volume, " + std::to_string(volume));
        }
    }
    const p::FrameBytes answer = exchange.Ask(SetFrame(request));
    Put(out, *request.setting, p::ReadCommand(*request.setting, answer));
    if (request.setting->kind == K::Address || request.setting->kind == K::Mac) {
        // The Network page's write chain always ends in static addressing.
        const p::NamedSetting& dhcp = *p::FindSetting("dhcp");
        const p::FrameBytes off = exchange.Ask(SetFrame({&dhcp, {0, {}}, {}}));
        Put(out, dhcp, p::ReadCommand(dhcp, off));
    }
}

}  // namespace

void CheckSet(const Options& options) { CheckedRequests(options.words); }

Json RunSet(const Options& options, Exchange& exchange)
{
    Json out = Json::Object();
    for (const Request& request : CheckedRequests(options.words)) {
        switch (request.setting->kind) {
        case K::Input:
            SetInput(exchange, request, out);
            break;
        case K::AudioSource:
            SetAudioSource(exchange, request, out);
            break;
        case K::Word:
            SetWord(exchange, request, out);
            break;
        case K::Step:
            SetStep(exchange, request, out);
            break;
        default:
            SetPlain(exchange, request, out);
            break;
        }
    }
    return out;
}

}  // namespace velmora::cli
