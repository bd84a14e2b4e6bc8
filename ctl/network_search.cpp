// velmoractl search and configure: the network module's two datagram
// exchanges, as the panel's Search and Config... buttons run them.

#include "cli_error.h"
#include "commands.h"
#include "datagram.h"

#include "protocol/address_text.h"
#include "protocol/config_packet.h"
#include "protocol/network_commands.h"
#include "protocol/search_answer.h"
#include "protocol/setting_names.h"

#include <algorithm>

namespace velmora::cli {

namespace p = velmora::protocol;

namespace {

// Switchers listed at the most, and datagrams read at the most, in one search.
constexpr std::size_t kMaxSwitchers = 256;
constexpr int kMaxDatagrams = 100000;

Clock::time_point Deadline(const Options& options, int defaultMs)
{
    return Clock::now() + std::chrono::milliseconds(options.timeoutMs.value_or(defaultMs));
}

std::string MacText(const p::MacAddress& mac)
{
    p::SettingValue value;
    value.bytes = mac;
    return p::ValueText(*p::FindSetting("mac"), value);
}

p::MacAddress TargetMac(const Options& options)
{
    if (options.words.size() != 1) {
        throw CliError(kExitUsage, "configure wants the switcher's hardware address (velmoractl search lists it)");
    }
    const auto value = p::ParseValue(*p::FindSetting("mac"), options.words.front());
    if (!value) {
        throw CliError(kExitRefusedValue,
                       "configure: '" + options.words.front() + "' is no switcher's hardware address");
    }
    p::MacAddress mac{};
    std::copy_n(value->bytes.begin(), mac.size(), mac.begin());
    return mac;
}

p::NetworkConfigRequest ConfigRequest(const Options& options)
{
    if (options.dhcp == !options.ip.empty()) {
        throw CliError(kExitUsage, "configure wants either --dhcp or --ip ADDRESS");
    }
    p::NetworkConfigRequest request;
    request.target = TargetMac(options);
    request.dhcp = options.dhcp;
    if (!options.dhcp) {
        const auto ip = p::ParseValue(*p::FindSetting("ip"), options.ip);
        if (!ip) {
            throw CliError(kExitRefusedValue, "configure: '" + options.ip + "' is no IPv4 address");
        }
        std::copy_n(ip->bytes.begin(), request.ip.size(), request.ip.begin());
    }
    return request;
}

}  // namespace

Json RunSearch(const Options& options)
{
    if (!options.words.empty()) {
        throw CliError(kExitUsage, "search takes no words");
    }
    DatagramSocket socket(p::search::kPort);
    const std::uint8_t probe[] = {p::search::kProbe};
    socket.Broadcast(probe, p::search::kPort);
    std::vector<p::SearchAnswer> found;
    const Clock::time_point deadline = Deadline(options, kSearchTimeoutMs);
    for (int n = 0; n < kMaxDatagrams; ++n) {
        const auto datagram = socket.Receive(deadline);
        if (!datagram) {
            break;
        }
        const auto answer = p::ReadSearchAnswer(*datagram);
        if (answer && found.size() < kMaxSwitchers && std::find(found.begin(), found.end(), *answer) == found.end()) {
            found.push_back(*answer);
        }
    }
    Json list = Json::Array();
    for (const p::SearchAnswer& answer : found) {
        list.Push(Json::Object()
                      .Add("ip", Json::Text(p::AddressText(answer.ip)))
                      .Add("mac", Json::Text(MacText(answer.mac))));
    }
    return Json::Object().Add("switchers", std::move(list));
}

Json RunConfigure(const Options& options)
{
    const p::NetworkConfigRequest request = ConfigRequest(options);
    const p::ConfigPacket packet = p::BuildConfigPacket(request);
    DatagramSocket socket(p::config::kPort);
    socket.Broadcast(packet, p::config::kPort);
    const Clock::time_point deadline = Deadline(options, kConfigureTimeoutMs);
    for (int n = 0; n < kMaxDatagrams; ++n) {
        const auto datagram = socket.Receive(deadline);
        if (!datagram) {
            break;
        }
        // Requests, our own looped back among them, are no answers.
        if (datagram->size() < p::config::kPacketSize || (*datagram)[p::config::kStatus] == p::config::kStatusRequest) {
            continue;
        }
        if (!p::ConfigAccepted(*datagram)) {
            throw CliError(kExitFailed, "the switcher " + MacText(request.target) + " refused the configuration");
        }
        Json out = Json::Object().Add("mac", Json::Text(MacText(request.target)));
        out.Add("dhcp", Json::Bool(request.dhcp));
        if (!request.dhcp) {
            out.Add("ip", Json::Text(p::AddressText(request.ip)));
        }
        return out.Add("accepted", Json::Bool(true));
    }
    throw CliError(kExitTimeout, "no answer from the switcher " + MacText(request.target) + " to the configuration");
}

}  // namespace velmora::cli
