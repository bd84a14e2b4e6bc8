// The port list of the main window: numbers, order, selection, rebuild only
// on change, tooltips, and failures that keep what is shown.

#include "discovery_fixtures.h"

#include <unistd.h>

namespace velmora::discovery_test {
namespace {

using app::PortListRefresh;
using transport::SSerInfo;

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
