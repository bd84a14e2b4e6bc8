// The search and configuration datagrams on loopback, and the command line.

#include "sim_fixture.h"

#include "sim/cli_options.h"
#include "sim/udp_responder.h"

#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

namespace velmora::test {
namespace {

using Ipv4 = std::array<std::uint8_t, 4>;
using Mac = std::array<std::uint8_t, 6>;

const Mac kMac{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};

// Datagrams sent to loopback only: no socket for broadcasts, which would
// hear the machine's LAN.
sim::SimOptions UdpOnly()
{
    sim::SimOptions options;
    options.pty = options.tcp = options.udpBroadcast = false;
    options.udp = true;
    options.udpBind = "127.0.0.1";
    options.searchPort = options.configPort = 0;
    return options;
}

struct UdpSwitcher {
    // Sends `bytes` to the search or the configuration port; the answer, if any.
    Bytes Ask(bool search, const Bytes& bytes, int timeoutMs = kReadTimeoutMs)
    {
        const sockaddr_in to = Ipv4Address("127.0.0.1", search ? sim.SearchPort() : sim.ConfigPort());
        ::sendto(fd.Get(), bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        return fd.ReadOnce(timeoutMs);
    }
    sim::Simulator sim{UdpOnly()};
    Fd fd{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
};

void Reseal(Bytes& packet)
{
    packet[75] = static_cast<std::uint8_t>(0x100 - (std::accumulate(packet.begin(), packet.end() - 1, 0u) & 0xFF));
}

// The packet the panel's Config... builds.
Bytes ConfigPacket(bool dhcp, Ipv4 ip, Mac newMac = {})
{
    Bytes packet(76, 0);
    std::copy(kMac.begin(), kMac.end(), packet.begin());
    if (!dhcp) {
        std::copy(ip.begin(), ip.end(), packet.begin() + 6);
        std::copy(ip.begin(), ip.begin() + 3, packet.begin() + 10);
        packet[13] = 1;
        packet[14] = packet[15] = packet[16] = 0xFF;
    }
    packet[18] = dhcp ? 1 : 0;
    std::copy(newMac.begin(), newMac.end(), packet.begin() + 19);
    packet[25] = dhcp ? 0x16 : 0x17;
    packet[74] = 0xFF;
    Reseal(packet);
    return packet;
}

TEST(SimUdp, SearchAndConfigurationOfThisUnitOnly)
{
    UdpSwitcher u;
    ASSERT_TRUE(u.sim.Start());
    u.sim.Modify([](sim::DeviceState& s) { s.ip = {10, 0, 0, 20}; });
    Bytes answer = u.Ask(true, {0x61});
    ASSERT_GE(answer.size(), 50u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 10), (Bytes{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A, 10, 0, 0, 20}));
    EXPECT_EQ(answer[18], 0x77);
    EXPECT_EQ(answer[19], 0x88);
    EXPECT_TRUE(u.Ask(true, {0x62}, kSilenceMs).empty());
    EXPECT_TRUE(u.Ask(true, {0x61, 0x61}, kSilenceMs).empty());

    Bytes otherUnit = ConfigPacket(false, {10, 9, 9, 9});
    otherUnit[5] ^= 0x01;
    Reseal(otherUnit);
    Bytes badSum = ConfigPacket(false, {10, 9, 9, 9});
    badSum[75] ^= 0x01;
    Bytes shortPacket = ConfigPacket(false, {10, 9, 9, 9});
    shortPacket.resize(60);
    for (const Bytes& packet : {otherUnit, badSum, shortPacket}) {
        EXPECT_TRUE(u.Ask(false, packet, kSilenceMs).empty());
    }
    EXPECT_EQ(u.sim.Configurations(), 0);

    u.sim.Modify([](sim::DeviceState& s) { s.dhcp = true; });
    answer = u.Ask(false, ConfigPacket(false, {10, 1, 2, 3}, {0x02, 0, 0, 0, 0, 0x09}));
    ASSERT_GE(answer.size(), 76u);
    EXPECT_EQ(answer[74], 0x00);
    EXPECT_EQ(std::accumulate(answer.begin(), answer.begin() + 76, 0u) & 0xFF, 0u);
    const sim::DeviceState s = u.sim.Snapshot();
    EXPECT_FALSE(s.dhcp);
    EXPECT_EQ(s.ip, (Ipv4{10, 1, 2, 3}));
    EXPECT_EQ(s.gateway, (Ipv4{10, 1, 2, 1}));
    EXPECT_EQ(s.subnet, (Ipv4{255, 255, 255, 0}));
    EXPECT_EQ(u.sim.Configurations(), 1);
    answer = u.Ask(true, {0x61});  // reports the new address and MAC
    ASSERT_GE(answer.size(), 50u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 10), (Bytes{0x02, 0, 0, 0, 0, 0x09, 10, 1, 2, 3}));
}

TEST(SimUdp, DhcpKeepsTheAddressesAndAnEmptyMacTheOldOne)
{
    sim::DeviceState state;
    const auto before = state.ip;
    state.dhcp = false;
    ASSERT_TRUE(sim::ApplyConfiguration(state, ConfigPacket(true, {})).has_value());
    EXPECT_TRUE(state.dhcp);
    EXPECT_EQ(state.ip, before);
    EXPECT_EQ(state.mac, kMac);
}

// Answering on the wildcard would take the port of a panel on the same
// machine; with no broadcasts and no address there is nothing to answer on.
TEST(SimUdp, BindingsThatWouldTakeThePanelsPortOrAnswerNothingAreRefused)
{
    for (const char* bind : {"0.0.0.0", ""}) {
        sim::SimOptions options = UdpOnly();
        options.udpBind = bind;
        EXPECT_FALSE(sim::Simulator(options).Start()) << bind;
    }
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(SimCommandLine, EveryOptionReachesTheOptionsAndTheHelp)
{
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string given =
        "--baud 9600 --delay-ms 5 --com 3 --tcp-bind 127.0.0.2 --tcp-port 0 --udp --udp-bind 127.0.0.3 "
        "--search-port 0 --config-port 0 --drop-every 4 --drop-class 0x22 --delay-every 2 --delay-extra-ms 50 "
        "--corrupt-every 3 --noise-bytes 2 --hang-up-after 7 --close-tcp-after 8 --split-tcp --coalesce-tcp "
        "--no-udp-broadcast --drop-mixer-over-volume --port-dir " +
        dir;
    const sim::CliResult r = sim::ParseCommandLine(Words(given));
    ASSERT_TRUE(r.error.empty()) << r.error;
    const sim::SimOptions& o = r.options;
    EXPECT_EQ(std::tuple(o.baud, o.processingDelayMs, o.portDir, o.comNumber, o.tcpBind, o.tcpPort, o.udpBind),
              std::tuple(9600u, 5, dir, 3, std::string("127.0.0.2"), 0, std::string("127.0.0.3")));
    EXPECT_EQ(std::tuple(o.searchPort, o.configPort, o.dropEvery, o.dropClass, o.delayEvery, o.delayMs, o.corruptEvery,
                         o.noiseBytes, o.hangUpAfter, o.closeTcpAfter),
              std::tuple(0, 0, 4, 0x22, 2, 50, 3, 2, 7, 8));
    EXPECT_EQ(std::tuple(o.udp, o.splitTcp, o.coalesceTcp, o.udpBroadcast, o.dropMixerOverVolume),
              std::tuple(true, true, true, false, true));

    const std::string help = sim::HelpText();
    for (const std::string& word : Words(given + " --no-pty --no-tcp")) {
        EXPECT_TRUE(word.rfind("--", 0) != 0 || help.find(word) != std::string::npos) << word;
    }
    EXPECT_TRUE(sim::ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(sim::ParseCommandLine({"--version"}).version);
    EXPECT_EQ(sim::VersionText(), std::string("velmora-sim ") + VELMORA_VERSION + "\n");
}

TEST(SimCommandLine, DefaultsAndMistakes)
{
    const sim::CliResult none = sim::ParseCommandLine({});
    EXPECT_TRUE(none.error.empty());
    const sim::SimOptions& o = none.options;
    EXPECT_EQ(std::tuple(o.tcpBind, o.tcpPort, o.baud, o.udp, o.udpBroadcast, o.udpBind, o.dropMixerOverVolume),
              std::tuple(std::string("127.0.0.1"), 8000, 115200u, false, true, std::string(), false));
    const std::string file = std::filesystem::temp_directory_path() / "velmora-sim-cli-test-file";
    std::ofstream(file) << "not a directory";
    const std::pair<std::string, const char*> mistakes[] = {
        {"--baud", "needs a value"},
        {"--baud fast", "expected a number"},
        {"--tcp-port 70000", "expected a number"},
        {"--frobnicate", "unknown option --frobnicate"},
        {"COM3", "unexpected argument COM3"},
        {"--no-pty --no-tcp", "nothing to listen on"},
        {"--com 5", "--com needs --port-dir"},
        {"--port-dir /nonexistent/velmora-ports --com 5", "no such directory"},
        {"--port-dir " + file + " --com 5", "not a directory"},
    };
    for (const auto& [args, says] : mistakes) {
        const std::string error = sim::ParseCommandLine(Words(args)).error;
        EXPECT_NE(error.find(says), std::string::npos) << args << ": " << error;
    }
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/velmora-ports")) << "never created";
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace velmora::test
