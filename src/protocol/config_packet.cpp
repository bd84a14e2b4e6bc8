#include "protocol/config_packet.h"

#include <algorithm>
#include <numeric>

namespace velmora::protocol {

namespace c = config;

namespace {
constexpr std::uint8_t kMaskOctet = 0xFF;
constexpr std::size_t kMaskFullOctets = 3;
}  // namespace

ConfigPacket BuildConfigPacket(const NetworkConfigRequest& request)
{
    ConfigPacket packet{};
    std::copy(request.target.begin(), request.target.end(), packet.begin() + c::kTargetMac);
    if (!request.dhcp) {
        std::copy(request.ip.begin(), request.ip.end(), packet.begin() + c::kIp);
        std::copy_n(request.ip.begin(), kAddressSize - 1, packet.begin() + c::kGateway);
        packet[c::kGateway + kAddressSize - 1] = c::kGatewayLastOctet;
        std::fill_n(packet.begin() + c::kSubnet, kMaskFullOctets, kMaskOctet);
    }
    packet[c::kDhcp] = request.dhcp ? c::kDhcpMode : c::kStaticMode;
    std::copy(request.newMac.begin(), request.newMac.end(), packet.begin() + c::kNewMac);
    packet[c::kMode] = request.dhcp ? c::kModeDhcp : c::kModeStatic;
    packet[c::kStatus] = c::kStatusRequest;
    const unsigned sum = std::accumulate(packet.begin(), packet.begin() + c::kCheck, 0u);
    packet[c::kCheck] = static_cast<std::uint8_t>(0x100u - (sum & 0xFFu));
    return packet;
}

bool ConfigAccepted(std::span<const std::uint8_t> answer)
{
    return answer.size() >= c::kPacketSize && answer[c::kStatus] == c::kStatusAccepted;
}

}  // namespace velmora::protocol
