// Discovery itself: which ttys of sysfs count, their names, the port map,
// and the ways a port is seen as held without opening it.

#include "discovery_fixtures.h"

#include "app/port_list_refresh.h"

#include <sys/file.h>
#include <sys/wait.h>

#include <algorithm>
#include <vector>

namespace velmora::discovery_test {
namespace {

using transport::EnumerateSerialPorts;
using transport::SSerInfo;

const SSerInfo* Find(const std::vector<SSerInfo>& ports, int number)
{
    for (const auto& p : ports) {
        if (transport::PortNumberFromFriendlyName(p.friendlyName) == number)
            return &p;
    }
    return nullptr;
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
        const fs::path usb = system.AddUsbDevice(1, "Acme", "USB-Serial Bridge");
        system.AddTty("ttyUSB1", (usb / "ttyUSB1").string(), "acme_sio");
        system.AddNode("ttyUSB1", usbPty.path());
        const fs::path acm = system.AddUsbDevice(2, "", "");
        system.AddTty("ttyACM0", acm.string(), "cdc_acm");
        system.AddNode("ttyACM0", acmPty.path());
        system.AddTty("ttyUSB2", (system.AddUsbDevice(3, "Acme", "Unplugged") / "ttyUSB2").string(), "acme_sio");
        // ttyUSB2 has no node in /dev: not openable, not listed.
    }

    std::vector<SSerInfo> Enumerate(bool skipBusy = true)
    {
        std::vector<SSerInfo> ports{SSerInfo{}};  // emptied first
        EnumerateSerialPorts(ports, skipBusy, system.Roots());
        return ports;
    }

    FakeSystem system;
    Pty usbPty, acmPty;
};

TEST_F(FakeSysfs, RealPortsOnlyWithTheirOwnNames)
{
    const auto ports = Enumerate();
    EXPECT_EQ(Numbers(ports), (std::vector<int>{1, 34, 65}));

    const SSerInfo* uart = Find(ports, 1);
    ASSERT_NE(uart, nullptr);
    EXPECT_EQ(uart->friendlyName, "Serial Port (COM1)");
    EXPECT_EQ(uart->portName, "COM1");
    EXPECT_EQ(uart->devicePath, (system.dev() / "ttyS0").string());
    EXPECT_EQ(uart->description, "serial8250");
    EXPECT_FALSE(uart->isUsb);

    const SSerInfo* usb = Find(ports, 34);
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->friendlyName, "USB Serial (COM34)");
    EXPECT_EQ(usb->description, "Acme USB-Serial Bridge");
    EXPECT_TRUE(usb->isUsb);

    const SSerInfo* acm = Find(ports, 65);
    ASSERT_NE(acm, nullptr);
    EXPECT_EQ(acm->description, "cdc_acm");  // no USB strings: the driver
    EXPECT_TRUE(acm->isUsb);
}

TEST_F(FakeSysfs, ListShowsUsbNamesInToolTips)
{
    platform::ComboBox list(false, false);
    app::PortListRefresh refresh(list, system.Roots());
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM34", "COM65"}));
    const QString tip = list.itemData(1, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("ttyUSB1")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Acme USB-Serial Bridge")) << tip.toStdString();
}

TEST_F(FakeSysfs, PortMapLinkWinsOverTheSameNumber)
{
    Pty mapped;
    system.AddLink(34, mapped.path());
    system.AddLink(70, (system.dev() / "ttyUSB1").string());  // a stable name for the adapter
    system.AddLink(71, (system.dev() / "gone").string());  // dangling: not listed
    const auto ports = Enumerate();
    EXPECT_EQ(Numbers(ports), (std::vector<int>{1, 34, 65, 70}));
    const SSerInfo* com34 = Find(ports, 34);
    ASSERT_NE(com34, nullptr);
    EXPECT_EQ(com34->devicePath, (system.map() / "com34").string());
    EXPECT_EQ(com34->friendlyName, "Port map (COM34)");
    EXPECT_NE(com34->description.find(mapped.path()), std::string::npos) << com34->description;
    const SSerInfo* com70 = Find(ports, 70);
    ASSERT_NE(com70, nullptr);
    EXPECT_NE(com70->description.find(usbPty.path()), std::string::npos) << com70->description;
}

TEST_F(FakeSysfs, MissingTtyClassIsAnErrorWithItsText)
{
    fs::remove_all(system.sys() / "class");
    std::vector<SSerInfo> ports;
    try {
        EnumerateSerialPorts(ports, true, system.Roots());
        FAIL() << "no error";
    } catch (const transport::PortEnumerationError& error) {
        EXPECT_NE(std::string(error.what()).find("class/tty"), std::string::npos) << error.what();
    }
}

TEST_F(FakeSysfs, LockFilesWithLiveOwnersHidePorts)
{
    // Stale: a process that has ended.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    system.WriteLock("ttyUSB1", child);
    EXPECT_EQ(Numbers(Enumerate()), (std::vector<int>{1, 34, 65}));

    // Live: this process.
    system.WriteLock("ttyUSB1", ::getpid());
    EXPECT_EQ(Numbers(Enumerate()), (std::vector<int>{1, 65}));
    EXPECT_EQ(Numbers(Enumerate(false)), (std::vector<int>{1, 34, 65}));

    // The binary form of old programs; the pid 1 lives (EPERM counts as alive).
    const int init = 1;
    WriteFile(system.locks() / "LCK..ttyACM0", std::string(reinterpret_cast<const char*>(&init), sizeof init));
    EXPECT_EQ(Numbers(Enumerate()), (std::vector<int>{1}));

    // Garbage does not hold a port.
    WriteFile(system.locks() / "LCK..ttyACM0", "not a pid at all");
    EXPECT_EQ(Numbers(Enumerate()), (std::vector<int>{1, 65}));
}

// flock and POSIX locks show in /proc/locks and hide the port; their
// release shows it again.
TEST(HeldPorts, KernelLocksOnTheDeviceNode)
{
    FakeSystem system;
    Pty a, b;
    system.AddLink(7, a.path());
    system.AddLink(8, b.path());
    std::vector<SSerInfo> ports;

    const int flocked = ::open(a.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(flocked, 0);
    ASSERT_EQ(::flock(flocked, LOCK_EX | LOCK_NB), 0);
    EnumerateSerialPorts(ports, true, system.Roots());
    EXPECT_EQ(Numbers(ports), (std::vector<int>{8}));

    const int posix = ::open(b.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(posix, 0);
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(posix, F_SETLK, &range), 0);
    EnumerateSerialPorts(ports, true, system.Roots());
    EXPECT_TRUE(ports.empty());

    ::close(flocked);  // releases the flock
    ::close(posix);  // and the POSIX lock
    EnumerateSerialPorts(ports, true, system.Roots());
    EXPECT_EQ(Numbers(ports), (std::vector<int>{7, 8}));
}

// This machine: whatever it has, discovery works and its names give numbers
// in the fixed numbering.
TEST(RealSystem, PortsOfThisMachine)
{
    transport::DiscoveryRoots roots;
    roots.portMapDir = "";
    std::vector<SSerInfo> ports;
    ASSERT_NO_THROW(EnumerateSerialPorts(ports, true, roots));
    for (const auto& p : ports) {
        const int number = transport::PortNumberFromFriendlyName(p.friendlyName);
        EXPECT_GE(number, 1) << p.friendlyName;
        EXPECT_LE(number, 96) << p.friendlyName;
        EXPECT_EQ(p.portName, "COM" + std::to_string(number));
        EXPECT_TRUE(fs::exists(p.devicePath)) << p.devicePath;
        EXPECT_FALSE(p.description.empty());
    }
}

}  // namespace
}  // namespace velmora::discovery_test
