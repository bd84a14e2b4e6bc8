// The search and configuration datagrams on loopback, and the command line.

#include "line_client.h"
#include "model_test_util.h"

#include "sim/cli_options.h"
#include "sim/simulator.h"
#include "sim/udp_responder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

namespace velmora::sim {
namespace {

using test::Bytes;
using test::FdClient;

// Datagrams sent to loopback only: no socket for broadcasts, which would
// hear the machine's LAN.
SimOptions UdpOnly()
{
    SimOptions options;
    options.pty = false;
    options.tcp = false;
    options.udp = true;
    options.udpBroadcast = false;
    options.udpBind = "127.0.0.1";
    options.searchPort = 0;
    options.configPort = 0;
    return options;
}

// A datagram socket on loopback that sends to the simulator's port.
struct UdpClient {
    FdClient fd{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};

    bool SendTo(int port, const Bytes& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        return ::sendto(fd.Fd(), bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
               static_cast<ssize_t>(bytes.size());
    }
    Bytes Receive(int timeoutMs = test::kReadTimeoutMs) { return fd.ReadOnce(timeoutMs); }
};

const std::array<std::uint8_t, 6> kMac{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A};

void Reseal(Bytes& packet)
{
    packet[75] = static_cast<std::uint8_t>(0x100 - (std::accumulate(packet.begin(), packet.end() - 1, 0u) & 0xFF));
}

// The packet the panel's Config... builds.
Bytes ConfigPacket(bool dhcp, std::array<std::uint8_t, 4> ip, std::array<std::uint8_t, 6> newMac = {})
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

TEST(UdpSearch, ProbeGetsMacAddressAndMarker)
{
    Simulator sim(UdpOnly());
    ASSERT_TRUE(sim.Start());
    sim.Modify([](DeviceState& s) { s.ip = {10, 0, 0, 20}; });
    UdpClient client;
    ASSERT_TRUE(client.SendTo(sim.SearchPort(), Bytes{0x61}));
    const Bytes answer = client.Receive();
    ASSERT_GE(answer.size(), 50u);
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 10), (Bytes{0x00, 0x1C, 0x91, 0x03, 0x52, 0x7A, 10, 0, 0, 20}));
    EXPECT_EQ(answer[18], 0x77);
    EXPECT_EQ(answer[19], 0x88);
}

TEST(UdpSearch, OtherDatagramsAreNotAnswered)
{
    Simulator sim(UdpOnly());
    ASSERT_TRUE(sim.Start());
    UdpClient client;
    ASSERT_TRUE(client.SendTo(sim.SearchPort(), Bytes{0x62}));
    ASSERT_TRUE(client.SendTo(sim.SearchPort(), Bytes{0x61, 0x61}));
    EXPECT_TRUE(client.Receive(test::kSilenceMs).empty());
}

TEST(UdpConfig, StaticAddressAndNewMacAreApplied)
{
    Simulator sim(UdpOnly());
    ASSERT_TRUE(sim.Start());
    sim.Modify([](DeviceState& s) { s.dhcp = true; });
    UdpClient client;
    ASSERT_TRUE(client.SendTo(sim.ConfigPort(), ConfigPacket(false, {10, 1, 2, 3}, {0x02, 0, 0, 0, 0, 0x09})));
    const Bytes answer = client.Receive();
    ASSERT_GE(answer.size(), 76u);
    EXPECT_EQ(answer[74], 0x00);
    EXPECT_EQ(std::accumulate(answer.begin(), answer.begin() + 76, 0u) & 0xFF, 0u);
    const DeviceState s = sim.Snapshot();
    EXPECT_FALSE(s.dhcp);
    EXPECT_EQ(s.ip, (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(s.gateway, (std::array<std::uint8_t, 4>{10, 1, 2, 1}));
    EXPECT_EQ(s.subnet, (std::array<std::uint8_t, 4>{255, 255, 255, 0}));
    EXPECT_EQ(s.mac, (std::array<std::uint8_t, 6>{0x02, 0, 0, 0, 0, 0x09}));
    EXPECT_EQ(sim.Configurations(), 1);

    // The search that follows reports the new address and MAC.
    ASSERT_TRUE(client.SendTo(sim.SearchPort(), Bytes{0x61}));
    const Bytes found = client.Receive();
    ASSERT_GE(found.size(), 50u);
    EXPECT_EQ(Bytes(found.begin(), found.begin() + 10), (Bytes{0x02, 0, 0, 0, 0, 0x09, 10, 1, 2, 3}));
}

TEST(UdpConfig, DhcpModeKeepsTheAddresses)
{
    DeviceState state;
    const auto before = state.ip;
    state.dhcp = false;
    const auto answer = ApplyConfiguration(state, ConfigPacket(true, {}));
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(state.dhcp);
    EXPECT_EQ(state.ip, before);
    EXPECT_EQ(state.mac, kMac) << "an empty new MAC keeps the old one";
}

TEST(UdpConfig, PacketsNotForThisUnitAreIgnored)
{
    Simulator sim(UdpOnly());
    ASSERT_TRUE(sim.Start());
    UdpClient client;
    Bytes otherUnit = ConfigPacket(false, {10, 9, 9, 9});
    otherUnit[5] ^= 0x01;
    Reseal(otherUnit);
    Bytes badSum = ConfigPacket(false, {10, 9, 9, 9});
    badSum[75] ^= 0x01;
    Bytes shortPacket = ConfigPacket(false, {10, 9, 9, 9});
    shortPacket.resize(60);
    for (const Bytes& packet : {otherUnit, badSum, shortPacket}) {
        ASSERT_TRUE(client.SendTo(sim.ConfigPort(), packet));
    }
    EXPECT_TRUE(client.Receive(test::kSilenceMs).empty());
    EXPECT_EQ(sim.Configurations(), 0);
    EXPECT_NE(sim.Snapshot().ip, (std::array<std::uint8_t, 4>{10, 9, 9, 9}));
}

// Answering on the wildcard would take the port of a panel on the same
// machine; with no broadcasts and no address there is nothing to answer on.
TEST(UdpSearch, BindingsThatWouldTakeThePanelsPortOrAnswerNothingAreRefused)
{
    SimOptions wildcard = UdpOnly();
    wildcard.udpBind = "0.0.0.0";
    EXPECT_FALSE(Simulator(wildcard).Start());
    SimOptions nothing = UdpOnly();
    nothing.udpBind.clear();
    EXPECT_FALSE(Simulator(nothing).Start());
}

TEST(CommandLine, EveryOptionReachesTheOptions)
{
    const std::string dir = std::filesystem::temp_directory_path().string();
    const CliResult r = ParseCommandLine({"--baud",
                                          "9600",
                                          "--delay-ms",
                                          "5",
                                          "--port-dir",
                                          dir,
                                          "--com",
                                          "3",
                                          "--tcp-bind",
                                          "127.0.0.2",
                                          "--tcp-port",
                                          "0",
                                          "--udp",
                                          "--udp-bind",
                                          "127.0.0.3",
                                          "--search-port",
                                          "0",
                                          "--config-port",
                                          "0",
                                          "--drop-every",
                                          "4",
                                          "--drop-class",
                                          "0x22",
                                          "--delay-every",
                                          "2",
                                          "--delay-extra-ms",
                                          "50",
                                          "--corrupt-every",
                                          "3",
                                          "--noise-bytes",
                                          "2",
                                          "--hang-up-after",
                                          "7",
                                          "--close-tcp-after",
                                          "8",
                                          "--split-tcp",
                                          "--coalesce-tcp",
                                          "--no-udp-broadcast",
                                          "--drop-mixer-over-volume"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    const SimOptions& o = r.options;
    EXPECT_EQ(o.baud, 9600u);
    EXPECT_EQ(o.processingDelayMs, 5);
    EXPECT_EQ(o.portDir, dir);
    EXPECT_EQ(o.comNumber, 3);
    EXPECT_EQ(o.tcpBind, "127.0.0.2");
    EXPECT_EQ(o.tcpPort, 0);
    EXPECT_TRUE(o.udp);
    EXPECT_EQ(o.udpBind, "127.0.0.3");
    EXPECT_EQ(o.searchPort, 0);
    EXPECT_EQ(o.configPort, 0);
    EXPECT_EQ(o.dropEvery, 4);
    EXPECT_EQ(o.dropClass, 0x22);
    EXPECT_EQ(o.delayEvery, 2);
    EXPECT_EQ(o.delayMs, 50);
    EXPECT_EQ(o.corruptEvery, 3);
    EXPECT_EQ(o.noiseBytes, 2);
    EXPECT_EQ(o.hangUpAfter, 7);
    EXPECT_EQ(o.closeTcpAfter, 8);
    EXPECT_TRUE(o.splitTcp);
    EXPECT_TRUE(o.coalesceTcp);
    EXPECT_FALSE(o.udpBroadcast);
    EXPECT_TRUE(o.dropMixerOverVolume);
}

TEST(CommandLine, DefaultsAndMistakes)
{
    const CliResult none = ParseCommandLine({});
    EXPECT_TRUE(none.error.empty());
    EXPECT_EQ(none.options.tcpBind, "127.0.0.1");
    EXPECT_EQ(none.options.tcpPort, 8000);
    EXPECT_EQ(none.options.baud, 115200u);
    EXPECT_FALSE(none.options.udp);
    EXPECT_TRUE(none.options.udpBroadcast) << "with --udp: broadcasts on every interface";
    EXPECT_TRUE(none.options.udpBind.empty());
    EXPECT_FALSE(none.options.dropMixerOverVolume);
    const std::string file = std::filesystem::temp_directory_path() / "velmora-sim-cli-test-file";
    std::ofstream(file) << "not a directory";
    const struct {
        std::vector<std::string> args;
        const char* says;  // part of the message
    } mistakes[] = {
        {{"--baud"}, "needs a value"},
        {{"--baud", "fast"}, "expected a number"},
        {{"--tcp-port", "70000"}, "expected a number"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"COM3"}, "unexpected argument COM3"},
        {{"--no-pty", "--no-tcp"}, "nothing to listen on"},
        {{"--com", "5"}, "--com needs --port-dir"},
        {{"--port-dir", "/nonexistent/velmora-ports", "--com", "5"}, "no such directory"},
        {{"--port-dir", file, "--com", "5"}, "not a directory"},
    };
    for (const auto& m : mistakes) {
        const std::string error = ParseCommandLine(m.args).error;
        EXPECT_NE(error.find(m.says), std::string::npos) << m.args.front() << ": " << error;
    }
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/velmora-ports")) << "never created";
    std::filesystem::remove(file);
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
    EXPECT_EQ(VersionText(), std::string("velmora-sim ") + VELMORA_VERSION + "\n");
    const std::string help = HelpText();
    for (const char* option : {"--baud",          "--delay-ms",     "--no-pty",           "--port-dir",
                               "--com",           "--no-tcp",       "--tcp-bind",         "--tcp-port",
                               "--udp",           "--udp-bind",     "--search-port",      "--config-port",
                               "--drop-every",    "--drop-class",   "--delay-every",      "--delay-extra-ms",
                               "--corrupt-every", "--noise-bytes",  "--hang-up-after",    "--close-tcp-after",
                               "--split-tcp",     "--coalesce-tcp", "--no-udp-broadcast", "--drop-mixer-over-volume"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace velmora::sim
