// The network configuration packet built from any request: 76 bytes that
// sum to 0, the target's hardware address first, the request marker, the
// mode's bytes; and its answer accepted exactly when at least 76 bytes long
// with status 0.
// Input: the request (target, mode, address, new hardware address), then
// the answer.

#include "check.h"

#include "protocol/config_packet.h"

#include <algorithm>
#include <numeric>

using namespace velmora::protocol;
namespace c = velmora::protocol::config;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kRequestBytes = kMacSize + 1 + kAddressSize + kMacSize;
    if (size < kRequestBytes) {
        return 0;
    }
    NetworkConfigRequest request;
    std::copy_n(data, kMacSize, request.target.begin());
    request.dhcp = (data[kMacSize] & 1) != 0;
    std::copy_n(data + kMacSize + 1, kAddressSize, request.ip.begin());
    std::copy_n(data + kMacSize + 1 + kAddressSize, kMacSize, request.newMac.begin());

    const ConfigPacket packet = BuildConfigPacket(request);
    FUZZ_REQUIRE((std::accumulate(packet.begin(), packet.end(), 0u) & 0xFFu) == 0);
    FUZZ_REQUIRE(std::equal(request.target.begin(), request.target.end(), packet.begin() + c::kTargetMac));
    FUZZ_REQUIRE(std::equal(request.newMac.begin(), request.newMac.end(), packet.begin() + c::kNewMac));
    FUZZ_REQUIRE(packet[c::kStatus] == c::kStatusRequest);
    FUZZ_REQUIRE(packet[c::kDhcp] == (request.dhcp ? c::kDhcpMode : c::kStaticMode));
    FUZZ_REQUIRE(packet[c::kMode] == (request.dhcp ? c::kModeDhcp : c::kModeStatic));
    if (request.dhcp) {
        FUZZ_REQUIRE(std::all_of(packet.begin() + c::kIp, packet.begin() + c::kDhcp, [](auto b) { return b == 0; }));
    } else {
        FUZZ_REQUIRE(std::equal(request.ip.begin(), request.ip.end(), packet.begin() + c::kIp));
        FUZZ_REQUIRE(std::equal(request.ip.begin(), request.ip.end() - 1, packet.begin() + c::kGateway));
        FUZZ_REQUIRE(packet[c::kGateway + 3] == c::kGatewayLastOctet);
    }
    FUZZ_REQUIRE(
        std::all_of(packet.begin() + c::kMode + 1, packet.begin() + c::kStatus, [](auto b) { return b == 0; }));

    const std::span<const std::uint8_t> answer(data + kRequestBytes, size - kRequestBytes);
    FUZZ_REQUIRE(ConfigAccepted(answer) == (answer.size() >= c::kPacketSize && answer[c::kStatus] == 0));
    return 0;
}
