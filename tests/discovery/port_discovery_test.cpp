// Discovery itself: which ttys of sysfs count, their names, the port map,
// the port numbers of entry texts and names, and the ways a port is seen as
// held without opening it.

#include "discovery_fixtures.h"

#include <sys/file.h>
#include <sys/wait.h>

namespace velmora::discovery_test {
namespace {

using transport::EnumerateSerialPorts;
using transport::SSerInfo;

// One line a port, its device below dev.
std::string Described(const std::vector<SSerInfo>& ports, const fs::path& dev)
{
    std::string text;
    for (const auto& p : ports) {
        const std::string device = fs::path(p.devicePath).lexically_relative(dev);
        text += p.portName + "|" + p.friendlyName + "|" + device + "|" + p.description + (p.isUsb ? "|usb\n" : "\n");
    }
    return text;
}

// A machine with phantom legacy ports, one real UART, two USB adapters and
// some ttys that are no serial ports.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        system.AddLegacyTtyS(0, 4);  // a 16550A
        system.AddNode("ttyS0");
        for (int i = 1; i < 32; ++i) {
            system.AddLegacyTtyS(i, 0);  // reserved, no UART
            system.AddNode("ttyS" + std::to_string(i));
        }
        system.AddVirtualTty("ttyS40");  // outside the numbering anyway
        for (int i = 0; i < 6; ++i) {
            system.AddVirtualTty("tty" + std::to_string(i));
            system.AddNode("tty" + std::to_string(i));
        }
        system.AddTty("ttyUSB1", (system.AddUsbDevice(1, "Acme", "USB-Serial Bridge") / "ttyUSB1").string(),
                      "acme_sio");
        system.AddNode("ttyUSB1", usbPty.path());
        system.AddTty("ttyACM0", system.AddUsbDevice(2, "", "").string(), "cdc_acm");
        system.AddNode("ttyACM0", acmPty.path());
        // No node in /dev: not openable, not listed.
        system.AddTty("ttyUSB2", (system.AddUsbDevice(3, "Acme", "Unplugged") / "ttyUSB2").string(), "acme_sio");
    }
    std::vector<SSerInfo> Enumerate()
    {
        std::vector<SSerInfo> ports;
        EnumerateSerialPorts(ports, true, system.Roots());
        return ports;
    }

    FakeSystem system;
    Pty usbPty, acmPty;
};

TEST_F(FakeSysfs, RealPortsOnlyWithTheirOwnNamesAndTheListsToolTips)
{
    EXPECT_EQ(Described(Enumerate(), system.dev()), "COM1|Serial Port (COM1)|ttyS0|serial8250\n"
                                                    "COM34|USB Serial (COM34)|ttyUSB1|Acme USB-Serial Bridge|usb\n"
                                                    "COM65|USB Serial (COM65)|ttyACM0|cdc_acm|usb\n");
    platform::ComboBox list(false, false);
    app::PortListRefresh refresh(list, system.Roots());
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM34", "COM65"}));
    EXPECT_EQ(list.itemData(1, Qt::ToolTipRole).toString(),
              QString::fromStdString((system.dev() / "ttyUSB1\nAcme USB-Serial Bridge").string()));
}

TEST_F(FakeSysfs, PortMapLinkWinsOverTheSameNumber)
{
    Pty mapped;
    system.AddLink(34, mapped.path());
    system.AddLink(70, (system.dev() / "ttyUSB1").string());  // a stable name for the adapter
    system.AddLink(71, (system.dev() / "gone").string());  // dangling: not listed
    EXPECT_EQ(Listed(system.Roots()), (Numbers{1, 34, 65, 70}));
    const auto ports = Enumerate();
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[1].friendlyName, "Port map (COM34)");
    EXPECT_EQ(ports[1].devicePath, system.Link(34).string());
    EXPECT_NE(ports[1].description.find(mapped.path()), std::string::npos) << ports[1].description;
    EXPECT_NE(ports[3].description.find(usbPty.path()), std::string::npos) << ports[3].description;
}

TEST_F(FakeSysfs, UnreadableDirectoriesAreErrorsThatNameThem)
{
    const auto error = [&] {
        try {
            Enumerate();
        } catch (const transport::PortEnumerationError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    fs::remove_all(system.map());
    WriteFile(system.map(), "");  // a plain file where the port map was
    EXPECT_NE(error().find("port map directory " + system.map().string()), std::string::npos) << error();
    fs::remove_all(system.sys() / "class");
    EXPECT_NE(error().find("class/tty"), std::string::npos) << error();
}

TEST_F(FakeSysfs, LockFilesWithLiveOwnersHidePorts)
{
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    system.WriteLock("ttyUSB1", ended);  // stale
    EXPECT_EQ(Listed(system.Roots()), (Numbers{1, 34, 65}));
    system.WriteLock("ttyUSB1", ::getpid());
    EXPECT_EQ(Listed(system.Roots()), (Numbers{1, 65}));
    EXPECT_EQ(Listed(system.Roots(), nullptr, false), (Numbers{1, 34, 65}));
    // The binary form of old programs; pid 1 lives (EPERM counts as alive).
    const int init = 1;
    WriteFile(system.locks() / "LCK..ttyACM0", std::string(reinterpret_cast<const char*>(&init), sizeof init));
    EXPECT_EQ(Listed(system.Roots()), (Numbers{1}));
    WriteFile(system.locks() / "LCK..ttyACM0", "not a pid at all");
    EXPECT_EQ(Listed(system.Roots()), (Numbers{1, 65}));
}

// Lock files of /dev/pts/N are LCK..pts-N, or LCK..pts_N as other programs
// write them; flock and POSIX locks show in /proc/locks.
TEST(HeldPorts, LocksOnPseudoTerminals)
{
    FakeSystem system;
    Pty a, b;
    auto roots = system.Roots();
    roots.dev = "/dev";
    system.AddLink(3, a.path());
    system.AddLink(4, b.path());
    const std::string lockA = "pts-" + fs::path(a.path()).filename().string();
    system.WriteLock(lockA, ::getpid());
    EXPECT_EQ(Listed(roots), (Numbers{4}));
    fs::remove(system.locks() / ("LCK.." + lockA));
    const std::string lockB = "pts_" + fs::path(b.path()).filename().string();
    system.WriteLock(lockB, ::getpid());
    EXPECT_EQ(Listed(roots), (Numbers{3}));
    fs::remove(system.locks() / ("LCK.." + lockB));

    const int flocked = ::open(a.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_EQ(::flock(flocked, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Listed(roots), (Numbers{4}));
    const int posix = ::open(b.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(posix, F_SETLK, &range), 0);
    EXPECT_EQ(Listed(roots), (Numbers{}));
    ::close(flocked);
    ::close(posix);
    EXPECT_EQ(Listed(roots), (Numbers{3, 4}));
}

// Whatever this machine has, discovery works and its names give numbers in the fixed numbering.
TEST(RealSystem, PortsOfThisMachine)
{
    std::vector<SSerInfo> ports;
    ASSERT_NO_THROW(EnumerateSerialPorts(ports, true, {.portMapDir = ""}));
    for (const auto& p : ports) {
        const int number = transport::PortNumberFromFriendlyName(p.friendlyName);
        EXPECT_TRUE(number >= 1 && number <= 96) << p.friendlyName;
        EXPECT_EQ(p.portName, "COM" + std::to_string(number));
        EXPECT_TRUE(fs::exists(p.devicePath)) << p.devicePath;
        EXPECT_FALSE(p.description.empty());
    }
}

// Entry texts: in 8 bits, three digits at most, a non-digit counting as 0.
// Friendly names: without "(COM" three characters are dropped; without ")" there is no number.
TEST(PortNumbers, OfEntryTextsAndFriendlyNames)
{
    // clang-format off
    const std::pair<const char*, int> texts[] = {
        {"COM10", 10}, {"COM3", 3}, {"COM255", 255}, {"COM256", 0}, {"COM999", 231}, {"COM1234", 0}, {"COM1a", 10},
        {"", 0}, {"CO", 0}, {"COM", 0}};
    const std::pair<const char*, int> names[] = {
        {"USB Serial (COM12)", 12}, {"(COM12)", 12}, {"Port map (COM7) (x)", 7}, {"COM5)", 5}, {"XYZ42) tail", 42},
        {"USB Serial (COM12", 0}, {"Serial", 0}, {"", 0}, {"(COM1000)", 0}};
    // clang-format on
    for (const auto& [text, number] : texts) {
        EXPECT_EQ(transport::PortNumberFromText(text), number) << text;
    }
    for (const auto& [name, number] : names) {
        EXPECT_EQ(transport::PortNumberFromFriendlyName(name), number) << name;
    }
}

}  // namespace
}  // namespace velmora::discovery_test
