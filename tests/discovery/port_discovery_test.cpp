// Discovery itself: which ttys of sysfs count, their names, the port map,
// the port numbers of entry texts and names, and the ways a port is seen as
// held without opening it; and the port list of the main window that shows
// what it finds: numbers, order, selection, rebuild only on change, tooltips,
// and failures that keep what is shown.

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

using app::PortListRefresh;

constexpr int kFails = -1;  // as found: the enumeration throws

// One refresh: what discovery finds, which row the operator selected before,
// and what the list shows after.
struct Refresh {
    Numbers found;  // in the order found; {kFails} for a failure
    int select;  // -1: none chosen
    const char* shown;  // the entries, blank-separated
    const char* current;
    bool rebuilt;  // whether the list's model changed
};

const Refresh kRefreshes[] = {
    {{10, 2}, -1, "COM2 COM10", "COM2", true},  // numeric order whatever the order found
    {{3, 1}, -1, "COM1 COM3", "COM1", true},
    // The same numbers in another order count as a change; the selection stays.
    {{3, 1}, 1, "COM1 COM3", "COM3", true},
    {{4, 2, 4}, -1, "COM2 COM4 COM4", "COM2", true},  // duplicates kept, in order
    {{1, 5, 9}, -1, "COM1 COM5 COM9", "COM1", true},
    {{1, 5, 9}, 1, "COM1 COM5 COM9", "COM5", false},  // unchanged: untouched
    {{1, 5, 9}, -1, "COM1 COM5 COM9", "COM5", false},
    {{1, 6, 9}, -1, "COM1 COM6 COM9", "COM1", true},  // a new number at the same count; the selected one went
    {{}, -1, "", "", true},
    {{}, -1, "", "", false},
    {{9, 1}, -1, "COM1 COM9", "COM1", true},
    {{4, 8}, -1, "COM4 COM8", "COM4", true},
    {{2, 4, 8, 12, 30}, 1, "COM2 COM4 COM8 COM12 COM30", "COM8", true},  // the kept row is never removed
    {{8, 30}, -1, "COM8 COM30", "COM8", true},
    {{30, 1}, -1, "COM1 COM30", "COM1", true},
    {{2, 7}, -1, "COM2 COM7", "COM2", true},
    {{kFails}, 1, "COM2 COM7", "COM7", false},  // the error keeps the list
    {{2, 7}, -1, "COM2 COM7", "COM7", false},  // and the comparison is still with what is shown
};

// Each refresh's ports name devices of their own, so that a tooltip shows
// which refresh it came from.
SSerInfo Port(int number, std::size_t refresh)
{
    const std::string n = std::to_string(number);
    return {.devicePath = "/dev/fake" + n + "." + std::to_string(refresh),
            .portName = "COM" + n,
            .friendlyName = "Serial Port (COM" + n + ")",
            .description = "driver" + n};
}

TEST(PortList, FollowsWhatIsFoundKeepingTheSelection)
{
    platform::ComboBox list(true, false);  // sorted: the refresh must place entries itself, never by text order
    std::vector<SSerInfo> found;
    bool fail = false;
    PortListRefresh refresh(list, [&](std::vector<SSerInfo>& out) {
        if (fail) {
            throw transport::PortEnumerationError("Could not read /sys/class/tty");
        }
        out = found;
    });
    for (std::size_t i = 0; i < std::size(kRefreshes); ++i) {
        const Refresh& r = kRefreshes[i];
        SCOPED_TRACE(i);
        fail = r.found == Numbers{kFails};
        found.clear();
        for (const int number : r.found) {
            found.push_back(Port(number, i));
        }
        if (r.select >= 0) {
            list.SetCurSel(r.select);
        }
        const QString before = list.currentText();
        const QPersistentModelIndex selected = list.model()->index(list.GetCurSel(), 0);
        ModelWatch watch(list.model());
        refresh.Refresh();

        EXPECT_EQ(refresh.LastSucceeded(), !fail);
        EXPECT_EQ(refresh.LastError(), fail ? "Could not read /sys/class/tty" : "");
        EXPECT_EQ(Texts(list).join(' '), r.shown);
        EXPECT_EQ(list.currentText(), r.current);
        EXPECT_EQ(watch.changes > 0, r.rebuilt);
        // A selection that stays is the same row, never removed and put back.
        EXPECT_EQ(selected.isValid() && selected.row() == list.GetCurSel(), !before.isEmpty() && before == r.current);
        for (int row = 0; r.rebuilt && row < list.GetCount(); ++row) {
            const QString tip = list.itemData(row, Qt::ToolTipRole).toString();
            const std::string number = list.GetLBText(row).mid(3).toStdString();
            EXPECT_EQ(tip.toStdString(), "/dev/fake" + number + "." + std::to_string(i) + "\ndriver" + number);
        }
    }
}

TEST(PortList, AtMost256PortsAndOddNames)
{
    platform::ComboBox list(false, false);
    std::vector<SSerInfo> found;
    PortListRefresh refresh(list, [&](std::vector<SSerInfo>& out) { out = found; });
    for (int i = 0; i < 300; ++i) {
        found.push_back(Port(i % 256, 0));
    }
    refresh.Refresh();
    EXPECT_EQ(list.GetCount(), 256);
    EXPECT_EQ(list.GetLBText(255), "COM255");
    found = {Port(0, 0), Port(3, 0)};
    found[0].friendlyName = "Serial Port (COM12";  // no ")": port 0
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM0", "COM3"}));
}

}  // namespace
}  // namespace velmora::discovery_test
