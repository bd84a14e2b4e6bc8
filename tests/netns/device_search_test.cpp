// The device search on a private LAN: what gets listed, in which order, with
// which hardware address.

#include "lan_panel.h"

#include "app/switcher_search.h"

namespace velmora::test {
namespace {

class DeviceSearch : public LanPanelTest {};

TEST_F(DeviceSearch, ListsTheSwitcherConnectsToItAndSearchEndsTheConnection)
{
    sim::Simulator* switcher = AddSwitcher(*lan, {10, 0, 0, 20}, 0x01);
    ASSERT_TRUE(switcher);
    ASSERT_TRUE(SearchLists(1));
    EXPECT_EQ(Addresses()->currentText(), "10.0.0.20");
    EXPECT_TRUE(panel->TimerRunning(timer::kSearchSuccess));
    // The answer, 18 bytes a line, starts with the switcher's hardware address.
    EXPECT_TRUE(ReceiveLog().contains(QStringLiteral("02 00 5E 10 00 01 0A 00 00 14 "))) << ReceiveLog().toStdString();

    Button(c::kTcpConnect)->click();
    ASSERT_TRUE(PumpUntil([&] { return panel->Tcp().TcpConnected(); }, 3s));
    Button(c::kHdmi2)->click();
    EXPECT_TRUE(PumpUntil([&] { return switcher->Snapshot().input == 2 && panel->Token().Ready(); }, 3s));

    Button(c::kSearch)->click();
    EXPECT_FALSE(panel->Tcp().TcpConnected());
    EXPECT_EQ(Button(c::kTcpConnect)->text(), "Connect");
    EXPECT_EQ(Addresses()->GetCount(), 0) << "emptied before the answers come";
    EXPECT_TRUE(PumpUntil([&] { return Addresses()->GetCount() == 1; }, 3s));
}

TEST_F(DeviceSearch, TwoSwitchersListInTextOrderEachWithItsOwnHardwareAddress)
{
    AddSwitcher(*lan, {10, 0, 0, 3}, 0x03);
    AddSwitcher(*lan, {10, 0, 0, 20}, 0x20);
    for (int search = 0; search < 2; ++search) {  // the second search must not shift the pairing
        ASSERT_TRUE(SearchLists(2)) << Listed().join(' ').toStdString() << "\n" << ReceiveLog().toStdString();
        PumpFor(100ms);
        EXPECT_EQ(Listed(), (QStringList{"10.0.0.20", "10.0.0.3"})) << "text order, listed once each";
        EXPECT_EQ(Addresses()->GetCurSel(), 0);
        EXPECT_EQ(ListedMacs(), (std::vector<protocol::MacAddress>{{0x02, 0x00, 0x5E, 0x10, 0x00, 0x20},
                                                                   {0x02, 0x00, 0x5E, 0x10, 0x00, 0x03}}));
    }
    Addresses()->setEditText(QStringLiteral("10.0.0.99"));
    EXPECT_FALSE(panel->Search().SelectedMac()) << "a typed address has no hardware address";
}

// An answer without the marker is logged, not listed. A switcher heard twice
// (the probe reached it on two ways) is one entry; two switchers that share
// an address are two, each with its own hardware address, however their
// answers interleave; answers of every size are handled.
TEST_F(DeviceSearch, AnswersAreListedOncePerHardwareAddressWhateverTheirSize)
{
    Respond({SearchAnswer(50, {10, 0, 0, 21}, 0x01, 0x89)});
    Button(c::kSearch)->click();
    ASSERT_TRUE(PumpUntil([&] { return ReceiveLog().contains(QStringLiteral("77 89 ")); }, 3s));
    PumpFor(100ms);
    EXPECT_GE(responder->Probes(), 1);
    EXPECT_EQ(Addresses()->GetCount(), 0);
    EXPECT_FALSE(panel->TimerRunning(timer::kSearchSuccess));
    // 50 bytes: two full lines of 18 and 14 on the last.
    EXPECT_TRUE(ReceiveLog().contains(QStringLiteral("02 00 5E 10 00 01 0A 00 00 15 00 00 00 00 00 00 00 00 \r\n")) ||
                ReceiveLog().contains(QStringLiteral("02 00 5E 10 00 01 0A 00 00 15 00 00 00 00 00 00 00 00 \n")))
        << ReceiveLog().toStdString();

    const Bytes first = SearchAnswer(50, {10, 0, 0, 20}, 0x01);
    const Bytes second = SearchAnswer(50, {10, 0, 0, 20}, 0x02);
    responder.reset();
    Respond({first, second, first, second, Bytes{}, SearchAnswer(49, {10, 0, 0, 49}, 0x49),
             SearchAnswer(1024, {10, 0, 0, 24}, 0x24), SearchAnswer(65000, {10, 0, 0, 65}, 0x65)});
    ASSERT_TRUE(SearchLists(4)) << Listed().join(' ').toStdString();
    ASSERT_TRUE(PumpUntil([&] { return ReceiveLog().count(QStringLiteral("02 00 5E 10 00 02 ")) >= 2; }, 3s));
    PumpFor(100ms);
    EXPECT_EQ(Listed(), (QStringList{"10.0.0.20", "10.0.0.20", "10.0.0.24", "10.0.0.65"}));
    auto macs = ListedMacs();
    std::sort(macs.begin(), macs.begin() + 2);
    EXPECT_EQ(macs[0], (protocol::MacAddress{0x02, 0x00, 0x5E, 0x10, 0x00, 0x01}));
    EXPECT_EQ(macs[1], (protocol::MacAddress{0x02, 0x00, 0x5E, 0x10, 0x00, 0x02}));
}

// A simulated switcher on the panel's own machine answers its broadcasts
// without taking its port: the panel binds the search port after it, and
// every answer still reaches the panel, search after search.
TEST_F(DeviceSearch, SwitcherOnThePanelsMachineLeavesThePanelItsPort)
{
    sim::SimOptions options;
    options.pty = options.tcp = false;
    options.udp = true;
    sim::Simulator local(options);
    ASSERT_TRUE(local.Start());
    local.Modify([](sim::DeviceState& s) { s.ip = {10, 0, 0, 9}; });
    for (int search = 0; search < 2; ++search) {
        ASSERT_TRUE(SearchLists(1)) << search;
        EXPECT_EQ(Listed(), (QStringList{"10.0.0.9"}));
    }
}

// Answer number i: a switcher of its own, hardware and IPv4 address.
Bytes NumberedAnswer(unsigned i)
{
    namespace s = protocol::search;
    const auto b2 = static_cast<std::uint8_t>(i >> 16);
    const auto b1 = static_cast<std::uint8_t>(i >> 8);
    const auto b0 = static_cast<std::uint8_t>(i);
    Bytes answer = SearchAnswer(s::kAnswerMinSize, {10, b2, b1, b0}, b0);
    answer[s::kMac + 3] = b2;
    answer[s::kMac + 4] = b1;
    return answer;
}

TEST_F(DeviceSearch, TenThousandAnswersLeaveTheLogAndTheListBounded)
{
    constexpr unsigned kAnswers = 10000;
    constexpr int kEntries = protocol::kLogEntriesBeforeClear;
    // Well below the log's 60 entries, so that the entry count tells how far
    // the panel has read, and few enough for the socket's buffer.
    constexpr unsigned kBatch = 20;
    // Three characters a byte and a line break after each 18th, 60 entries at most.
    constexpr std::size_t kLogBound = kEntries * (3 * protocol::search::kAnswerMinSize + 2);

    Button(c::kSearch)->click();
    // The broadcast also reaches the panel's own socket: the first entry.
    ASSERT_TRUE(PumpUntil([&] { return panel->ReceiveLogFrames() == 1; }, 3s));
    const Fd answerer(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const sockaddr_in to = Ipv4Address("127.0.0.1", protocol::search::kPort);
    std::size_t largestLog = 0;
    for (unsigned sent = 0; sent < kAnswers;) {
        const int before = panel->ReceiveLogFrames();
        const unsigned batch = std::min(kBatch, kAnswers - sent);
        for (unsigned i = 0; i < batch; ++i) {
            const Bytes answer = NumberedAnswer(sent++);
            ASSERT_EQ(::sendto(answerer.Get(), answer.data(), answer.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                               sizeof to),
                      static_cast<ssize_t>(answer.size()));
        }
        const auto read = [&] {
            return static_cast<unsigned>((panel->ReceiveLogFrames() - before + kEntries) % kEntries);
        };
        ASSERT_TRUE(PumpUntil([&] { return read() == batch; }, 5s)) << sent;
        largestLog = std::max(largestLog, static_cast<std::size_t>(ReceiveLog().size()));
    }
    EXPECT_LE(largestLog, kLogBound);
    ASSERT_EQ(Addresses()->GetCount(), app::kMaxFoundDevices);
    EXPECT_GE(Addresses()->FindStringExact(QStringLiteral("10.0.0.0")), 0) << "the first ones stay listed";
    EXPECT_GE(Addresses()->FindStringExact(QStringLiteral("10.0.0.255")), 0);
    EXPECT_LT(Addresses()->FindStringExact(QStringLiteral("10.0.1.0")), 0);
    Addresses()->SetCurSel(Addresses()->FindStringExact(QStringLiteral("10.0.0.7")));
    EXPECT_EQ(panel->Search().SelectedMac(), (protocol::MacAddress{0x02, 0x00, 0x5E, 0x00, 0x00, 0x07}));
}

TEST_F(DeviceSearch, SwitcherOnASecondLanIsFoundToo)
{
    // The limited broadcast leaves by the default route's LAN only.
    otherLan = std::make_unique<Lan>("10.0.1.1/24", std::vector<std::string>{"10.0.1.3/24"});
    VELMORA_NEEDS_LAN(*otherLan);
    AddSwitcher(*lan, {10, 0, 0, 20}, 0x01);
    AddSwitcher(*otherLan, {10, 0, 1, 3}, 0x02);
    ASSERT_TRUE(SearchLists(2)) << Listed().join(' ').toStdString();
    PumpFor(100ms);
    EXPECT_EQ(Listed(), (QStringList{"10.0.0.20", "10.0.1.3"}));
}

}  // namespace
}  // namespace velmora::test
