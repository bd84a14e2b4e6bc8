// The port list of the main window: numbers, order, selection, rebuild only
// on change, and the conversions of entry texts and friendly names.

#include "discovery_fixtures.h"

#include "app/port_list_refresh.h"

#include <unistd.h>

#include <vector>

namespace velmora::discovery_test {
namespace {

using app::PortListRefresh;
using transport::SSerInfo;

TEST(PortNumberConversion, EntryTextsAndFriendlyNames)
{
    using transport::PortNumberFromFriendlyName;
    using transport::PortNumberFromText;
    EXPECT_EQ(PortNumberFromText("COM10"), 10);
    EXPECT_EQ(PortNumberFromText("COM3"), 3);
    EXPECT_EQ(PortNumberFromText("COM255"), 255);
    EXPECT_EQ(PortNumberFromText("COM256"), 0);  // kept in 8 bits
    EXPECT_EQ(PortNumberFromText("COM999"), 231);  // 999 mod 256
    EXPECT_EQ(PortNumberFromText("COM1234"), 0);  // four digits
    EXPECT_EQ(PortNumberFromText("COM1a"), 10);  // a non-digit counts as 0
    EXPECT_EQ(PortNumberFromText(""), 0);
    EXPECT_EQ(PortNumberFromText("CO"), 0);
    EXPECT_EQ(PortNumberFromText("COM"), 0);

    EXPECT_EQ(PortNumberFromFriendlyName("USB Serial (COM12)"), 12);
    EXPECT_EQ(PortNumberFromFriendlyName("(COM12)"), 12);
    EXPECT_EQ(PortNumberFromFriendlyName("Port map (COM7) (x)"), 7);
    EXPECT_EQ(PortNumberFromFriendlyName("COM5)"), 5);  // no "(COM": three characters dropped
    EXPECT_EQ(PortNumberFromFriendlyName("XYZ42) tail"), 42);
    EXPECT_EQ(PortNumberFromFriendlyName("USB Serial (COM12"), 0);  // no ")"
    EXPECT_EQ(PortNumberFromFriendlyName("Serial"), 0);
    EXPECT_EQ(PortNumberFromFriendlyName(""), 0);
    EXPECT_EQ(PortNumberFromFriendlyName("(COM1000)"), 0);
}

SSerInfo Port(int number, std::string path = {})
{
    SSerInfo info;
    info.devicePath = path.empty() ? "/dev/fake" + std::to_string(number) : path;
    info.portName = "COM" + std::to_string(number);
    info.friendlyName = "Serial Port (COM" + std::to_string(number) + ")";
    info.description = "driver" + std::to_string(number);
    return info;
}

// A refresh fed from a list the test sets, or failing when told to.
struct Scripted {
    std::vector<SSerInfo> ports;
    bool fail = false;
    int calls = 0;
    PortListRefresh::Enumerator Enumerator()
    {
        return [this](std::vector<SSerInfo>& out) {
            ++calls;
            if (fail) {
                throw transport::PortEnumerationError("Could not read /sys/class/tty");
            }
            out = ports;
        };
    }
};

class ScriptedRefresh : public ::testing::Test {
protected:
    // A sorted list: the refresh must place entries itself, never by text order.
    platform::ComboBox list{true, false};
    Scripted source;
    PortListRefresh refresh{list, source.Enumerator()};
};

TEST_F(ScriptedRefresh, NumericOrderWhateverTheOrderFound)
{
    source.ports = {Port(10), Port(2)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM10"}));
    EXPECT_EQ(list.GetCurSel(), 0);

    source.ports = {Port(3), Port(1)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM3"}));
    EXPECT_EQ(list.currentText(), "COM1");

    // Found again as COM3, COM1: compared position by position with COM1,
    // COM3 this counts as a change; the rebuild keeps the selection.
    list.SetCurSel(1);
    ModelWatch watch(list.model());
    refresh.Refresh();
    EXPECT_GT(watch.changes, 0);
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM3"}));
    EXPECT_EQ(list.currentText(), "COM3");

    // Duplicates keep both entries, in order.
    source.ports = {Port(4), Port(2), Port(4)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM4", "COM4"}));
}

TEST_F(ScriptedRefresh, RebuiltOnlyOnChange)
{
    source.ports = {Port(1), Port(5), Port(9)};
    refresh.Refresh();
    list.SetCurSel(1);
    ModelWatch watch(list.model());
    for (int i = 0; i < 5; ++i) {
        refresh.Refresh();
    }
    EXPECT_EQ(source.calls, 6);
    EXPECT_EQ(watch.changes, 0);
    EXPECT_EQ(list.currentText(), "COM5");

    // A new number at the same count is a change.
    source.ports = {Port(1), Port(6), Port(9)};
    refresh.Refresh();
    EXPECT_GT(watch.changes, 0);
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM6", "COM9"}));
    EXPECT_EQ(list.currentText(), "COM1");  // the selected COM5 went: refilled, first selected

    // No ports: empty, and staying empty touches nothing.
    source.ports.clear();
    refresh.Refresh();
    EXPECT_EQ(list.GetCount(), 0);
    const int afterEmpty = watch.changes;
    refresh.Refresh();
    refresh.Refresh();
    EXPECT_EQ(watch.changes, afterEmpty);

    // Back again after an empty list: filled, first selected.
    source.ports = {Port(9), Port(1)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM9"}));
    EXPECT_EQ(list.GetCurSel(), 0);
}

TEST_F(ScriptedRefresh, SelectionKeptWhilePortsComeAndGo)
{
    source.ports = {Port(4), Port(8)};
    refresh.Refresh();
    list.SetCurSel(1);  // COM8

    // The kept entry is never removed: watch that no row at its place goes.
    QPersistentModelIndex keptIndex = list.model()->index(1, 0);
    source.ports = {Port(2), Port(4), Port(8), Port(12), Port(30)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM4", "COM8", "COM12", "COM30"}));
    EXPECT_EQ(list.currentText(), "COM8");
    ASSERT_TRUE(keptIndex.isValid());
    EXPECT_EQ(keptIndex.row(), 2);

    source.ports = {Port(8), Port(30)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM8", "COM30"}));
    EXPECT_EQ(list.currentText(), "COM8");
    EXPECT_TRUE(keptIndex.isValid());

    source.ports = {Port(30), Port(1)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM1", "COM30"}));
    EXPECT_EQ(list.GetCurSel(), 0);
}

TEST_F(ScriptedRefresh, EnumerationErrorKeepsThePreviousList)
{
    source.ports = {Port(2), Port(7)};
    refresh.Refresh();
    list.SetCurSel(1);
    ModelWatch watch(list.model());
    source.fail = true;
    refresh.Refresh();
    EXPECT_FALSE(refresh.LastSucceeded());
    EXPECT_NE(refresh.LastError().find("/sys/class/tty"), std::string::npos);
    EXPECT_EQ(watch.changes, 0);
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM7"}));
    EXPECT_EQ(list.currentText(), "COM7");

    // After the failure the comparison is still against the shown list.
    source.fail = false;
    refresh.Refresh();
    EXPECT_TRUE(refresh.LastSucceeded());
    EXPECT_EQ(watch.changes, 0);
}

TEST_F(ScriptedRefresh, AtMost256PortsAndOddNames)
{
    for (int i = 0; i < 300; ++i) {
        source.ports.push_back(Port(i % 256));
    }
    refresh.Refresh();
    EXPECT_EQ(list.GetCount(), 256);
    EXPECT_EQ(list.GetLBText(0), "COM0");
    EXPECT_EQ(list.GetLBText(255), "COM255");

    SSerInfo odd = Port(0);
    odd.friendlyName = "Serial Port (COM12";  // no ")": port 0
    source.ports = {odd, Port(3)};
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM0", "COM3"}));
}

TEST_F(ScriptedRefresh, ToolTipsNameTheDevice)
{
    SSerInfo usb = Port(34, "/dev/ttyUSB1");
    usb.description = "Acme USB-Serial Bridge";
    source.ports = {Port(1), usb};
    refresh.Refresh();
    ASSERT_EQ(list.GetCount(), 2);
    const QString tip = list.itemData(1, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("/dev/ttyUSB1")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Acme USB-Serial Bridge")) << tip.toStdString();

    // A kept selection gets the tooltip of the port now behind its number.
    list.SetCurSel(1);
    usb.devicePath = "/dev/ttyUSB2";
    source.ports = {Port(1), Port(2), usb};
    refresh.Refresh();
    EXPECT_EQ(list.currentText(), "COM34");
    EXPECT_TRUE(list.itemData(2, Qt::ToolTipRole).toString().contains("/dev/ttyUSB2"));
    EXPECT_TRUE(list.itemData(1, Qt::ToolTipRole).toString().contains("/dev/fake2"));
}

// The same rules on real discovery: a port map directory of links to
// pseudo-terminals, ports plugged in and pulled out while one is selected.
TEST(PortMapRefresh, SelectionFollowsPortsOfThePortMap)
{
    FakeSystem system;
    Pty a, b, c;
    platform::ComboBox list(false, false);
    PortListRefresh refresh(list, system.Roots());

    system.AddLink(10, a.path());
    system.AddLink(2, b.path());
    refresh.Refresh();
    ASSERT_TRUE(refresh.LastSucceeded()) << refresh.LastError();
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM10"}));
    EXPECT_TRUE(list.itemData(1, Qt::ToolTipRole).toString().contains(QString::fromStdString(a.path())));

    list.SetCurSel(1);  // COM10
    system.AddLink(5, c.path());
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM2", "COM5", "COM10"}));
    EXPECT_EQ(list.currentText(), "COM10");

    system.RemoveLink(2);
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM5", "COM10"}));
    EXPECT_EQ(list.currentText(), "COM10");

    ModelWatch watch(list.model());
    refresh.Refresh();
    EXPECT_EQ(watch.changes, 0);

    system.RemoveLink(10);  // the selected port goes
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM5"}));
    EXPECT_EQ(list.GetCurSel(), 0);
}

TEST(PortMapRefresh, HeldPortLeftOutUntilReleased)
{
    FakeSystem system;
    Pty a, b;
    platform::ComboBox list(false, false);
    auto roots = system.Roots();
    roots.dev = "/dev";  // the lock file of /dev/pts/N is LCK..pts-N
    PortListRefresh refresh(list, roots);
    system.AddLink(3, a.path());
    system.AddLink(4, b.path());

    system.WriteLock(a.LockName(), ::getpid());
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM4"}));

    fs::remove(system.locks() / ("LCK.." + a.LockName()));
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM3", "COM4"}));

    // The form with '_' that other programs write holds it too.
    const std::string underscore = "pts_" + fs::path(b.path()).filename().string();
    system.WriteLock(underscore, ::getpid());
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM3"}));
}

TEST(PortMapRefresh, UnreadablePortMapKeepsTheList)
{
    FakeSystem system;
    Pty a;
    platform::ComboBox list(false, false);
    auto roots = system.Roots();
    roots.portMapDir = (system.map() / "sub").string();
    fs::create_directories(*roots.portMapDir);
    PortListRefresh refresh(list, roots);
    fs::create_symlink(a.path(), fs::path(*roots.portMapDir) / "com6");
    refresh.Refresh();
    EXPECT_EQ(Texts(list), (QStringList{"COM6"}));

    // The directory replaced by a plain file: reading it fails.
    fs::remove_all(*roots.portMapDir);
    WriteFile(*roots.portMapDir, "");
    refresh.Refresh();
    EXPECT_FALSE(refresh.LastSucceeded());
    EXPECT_EQ(Texts(list), (QStringList{"COM6"}));
}

}  // namespace
}  // namespace velmora::discovery_test
