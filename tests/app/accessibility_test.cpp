// The main window as a screen reader and a keyboard-only operator meet it:
// the accessibility tree names every visible control by what names it on
// screen, with the right role; accessible actions act as clicks; the tab
// strip is a page tab list that the keyboard reaches and drives; and the Tab
// key never stops at a control nobody can see.

#include "app/connection_control.h"
#include "app/tab_strip.h"
#include "appdefs/page_codes.h"
#include "panel_fixture.h"

#include "accessibility_helpers.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <set>

namespace velmora::test {

using namespace protocol;

namespace {

struct Expected {
    int id;
    QAccessible::Role role;
    const char* name;
};

// Every control of the General page and the connection area, and the
// controls placed outside the window, as a screen reader announces them.
const Expected kControls[] = {
    {c::kClose, QAccessible::Button, "Close"},
    {c::kMinimize, QAccessible::Button, "Minimize"},
    {c::kModeGroup, QAccessible::Grouping, "Control Mode Select"},
    {c::kComMode, QAccessible::RadioButton, "COM Control Mode"},
    {c::kTcpMode, QAccessible::RadioButton, "TCP Control Mode"},
    {c::kComGroup, QAccessible::Grouping, "COM"},
    {c::kPortLabel, QAccessible::StaticText, "Port"},
    {c::kPortList, QAccessible::ComboBox, "Port"},
    {c::kBaudLabel, QAccessible::StaticText, "Baud"},
    {c::kBaudList, QAccessible::ComboBox, "Baud"},
    {c::kComConnect, QAccessible::Button, "Connect"},
    {c::kTcpGroup, QAccessible::Grouping, "TCP Control Mode"},
    {c::kSwitcherIpLabel, QAccessible::StaticText, "Switcher IP"},
    {c::kSwitcherIp, QAccessible::ComboBox, "Switcher IP"},
    {c::kSearch, QAccessible::Button, "Search"},
    {c::kConfig, QAccessible::Button, "Config..."},
    {c::kTcpConnect, QAccessible::Button, "Connect"},
    {c::kInputGroup, QAccessible::Grouping, "INPUT"},
    {c::kHdmi1, QAccessible::Button, "HDMI 1"},
    {c::kHdmi2, QAccessible::Button, "HDMI 2"},
    {c::kHdmi3, QAccessible::Button, "HDMI 3"},
    {c::kDp, QAccessible::Button, "DP"},
    {c::kVga, QAccessible::Button, "VGA"},
    {c::kAudioLabel, QAccessible::StaticText, "Audio:"},
    {c::kAudioList, QAccessible::ComboBox, "Audio:"},
    {c::kAutoSwitchLabel, QAccessible::StaticText, "Auto Switch:"},
    {c::kAutoSwitchList, QAccessible::ComboBox, "Auto Switch:"},
    {c::kOutputGroup, QAccessible::Grouping, "OUTPUT"},
    {c::kResolutionLabel, QAccessible::StaticText, "Resolution:"},
    {c::kResolutionList, QAccessible::ComboBox, "Resolution:"},
    {c::kAspectLabel, QAccessible::StaticText, "Aspect Ratio:"},
    {c::kAspectList, QAccessible::ComboBox, "Aspect Ratio:"},
    {c::kEdidHdcpGroup, QAccessible::Grouping, "EDID/HDCP"},
    {c::kEdidLabel, QAccessible::StaticText, "Set EDID:"},
    {c::kEdidList, QAccessible::ComboBox, "Set EDID:"},
    {c::kHdcpLabel, QAccessible::StaticText, "Set HDCP:"},
    {c::kHdcpList, QAccessible::ComboBox, "Set HDCP:"},
    // Outside the window.
    {c::kReceiveLog, QAccessible::EditableText, "Receive"},
    {c::kSendLog, QAccessible::EditableText, "Send"},
    {c::kClear, QAccessible::Button, "Clear"},
    {c::kFactoryReset, QAccessible::Button, "Factory Reset"},
};

constexpr int kOffScreen[] = {c::kReceiveLog, c::kSendLog, c::kClear, c::kFactoryReset};

}  // namespace

class AccessibilityTest : public PanelTest {
protected:
    QAccessibleInterface* Of(int id) { return Iface(Ctl<QWidget>(id)); }
    QRect InWindow(QWidget* w) { return QRect(w->mapTo(panel.get(), QPoint(0, 0)), w->size()); }
    bool OnScreen(QWidget* w) { return w->isVisible() && panel->rect().intersects(InWindow(w)); }
    // Runs an accessible action and lets the event loop act on it.
    void Act(QAccessibleInterface* iface, const QString& action)
    {
        ASSERT_NE(iface->actionInterface(), nullptr);
        ASSERT_TRUE(iface->actionInterface()->actionNames().contains(action)) << action.toStdString();
        iface->actionInterface()->doAction(action);
    }
    void Activate()
    {
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : panel.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
};

TEST_F(AccessibilityTest, TheWindowIsAFrameNamedByItsTitle)
{
    QAccessibleInterface* window = Iface(panel.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "5x1 Presentation Switcher  V1.10.08");
}

TEST_F(AccessibilityTest, EveryVisibleControlIsInTheTreeWithItsNameAndRole)
{
    std::set<QObject*> inTree;
    for (auto* iface : Tree(panel.get())) {
        inTree.insert(iface->object());
    }
    std::set<int> expected;
    for (const Expected& e : kControls) {
        expected.insert(e.id);
        QAccessibleInterface* iface = Of(e.id);
        EXPECT_TRUE(inTree.count(Ctl<QWidget>(e.id))) << e.id << " is reachable";
        EXPECT_EQ(iface->role(), e.role) << e.id;
        EXPECT_EQ(Announced(iface), e.name) << e.id;
    }
    for (const auto& tab : app::kTabs) {
        expected.insert(tab.labelId);  // announced as page tabs, below
    }
    for (const auto& [id, widget] : panel->Controls()) {
        if (OnScreen(widget)) {
            EXPECT_TRUE(expected.count(id)) << "visible control " << id << " has no expected name and role";
        }
    }
    for (const int id : {c::kHdmi1, c::kVga}) {
        EXPECT_TRUE(Of(id)->state().checkable) << "an input button is a toggle button: " << id;
    }
}

TEST_F(AccessibilityTest, ListsAnnounceTheirEntryAsValueAndButtonsTheirCurrentText)
{
    EXPECT_EQ(Of(c::kBaudList)->text(QAccessible::Value), "115200");
    EXPECT_EQ(Of(c::kAudioList)->text(QAccessible::Value), "\tEmb \t");
    EXPECT_EQ(Of(c::kResolutionList)->text(QAccessible::Value), "") << "no choice before the switcher answers";
    Connect();
    EXPECT_EQ(Of(c::kComConnect)->text(QAccessible::Name), "Disconnect");
    Button(c::kComConnect)->click();
    EXPECT_EQ(Of(c::kComConnect)->text(QAccessible::Name), "Connect");
}

TEST_F(AccessibilityTest, TabStripIsAPageTabListWithTheSelectedTab)
{
    QAccessibleInterface* list = FindByRole(Tree(panel.get()), QAccessible::PageTabList);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->state().focusable);
    ASSERT_EQ(list->childCount(), 5);
    const char* names[] = {"General", "Video", "Audio", "Network", "Advanced"};
    for (int k = 0; k < 5; ++k) {
        QAccessibleInterface* tab = list->child(k);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), names[k]);
        EXPECT_EQ(tab->state().selected, k == 0) << names[k];
        EXPECT_EQ(tab->parent(), list);
        EXPECT_EQ(list->indexOfChild(tab), k);
        EXPECT_EQ(list->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
    }
    // Pressed through the screen reader, a tab is chosen as by a click.
    Connect();
    Act(list->child(2), QAccessibleActionInterface::pressAction());
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kAudioStatus)));
    EXPECT_EQ(panel->CurrentPage(), page::kAudio);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
}

TEST_F(AccessibilityTest, ActionsDoWhatAClickDoes)
{
    Connect();
    // Toggle on an input button sends its frame.
    Act(Of(c::kHdmi2), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kSelectInput, {{kInputByte, 2}, {7, 1}})));
    Answer(MakeFrame(kInputChangeDone));

    // Press on Clear, outside the window, empties the logs.
    ASSERT_FALSE(SendLog().isEmpty());
    Act(Of(c::kClear), QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(PumpUntil([&] { return SendLog().isEmpty(); }));

    // Press on Factory Reset, outside the window, asks first.
    QStringList asked;
    {
        ModalWatcher watcher([&](QWidget* modal) {
            asked << pages::MessageText();
            Dismiss(modal);
        });
        Act(Of(c::kFactoryReset), QAccessibleActionInterface::pressAction());
        ASSERT_TRUE(PumpUntil([&] { return !asked.isEmpty(); }));
    }
    EXPECT_EQ(asked.front(), "Do you want to reset to factory settings?");
    EXPECT_TRUE(LineQuiet());

    // Toggle on a mode radio switches the mode.
    Act(Of(c::kTcpMode), QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(PumpUntil([&] { return panel->Connection().Mode() == app::kTcpControl; }));
    EXPECT_TRUE(Button(c::kTcpMode)->isChecked());
    EXPECT_TRUE(Ctl<QWidget>(c::kSearch)->isEnabled());
    EXPECT_FALSE(panel->Connection().ComOpen()) << "TCP control closes the serial port";
    Act(Of(c::kComMode), QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(PumpUntil([&] { return panel->Connection().Mode() == app::kComControl; }));
    EXPECT_FALSE(Ctl<QWidget>(c::kSearch)->isEnabled());

    // A disabled button does nothing.
    Act(Of(c::kSearch), QAccessibleActionInterface::pressAction());
    PumpFor(20ms);
    EXPECT_EQ(panel->Connection().Mode(), app::kComControl);
}

TEST_F(AccessibilityTest, TabNeverStopsAtAControlOutsideTheWindow)
{
    Activate();
    std::set<QWidget*> stops;
    constexpr int kPresses = 40;
    for (int i = 0; i < kPresses; ++i) {
        Key(Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(OnScreen(focus)) << focus->objectName().toStdString() << " has the focus";
        stops.insert(focus);
    }
    EXPECT_TRUE(stops.count(&panel->Tabs()));
    EXPECT_TRUE(stops.count(Ctl<QWidget>(c::kHdmi1)));
    EXPECT_TRUE(stops.count(Ctl<QWidget>(c::kHdcpList)));
    for (const int id : kOffScreen) {
        EXPECT_FALSE(stops.count(Ctl<QWidget>(id))) << id;
    }
    EXPECT_FALSE(stops.count(Ctl<QWidget>(c::kClose))) << "title-band buttons are no Tab stops";
}

TEST_F(AccessibilityTest, KeyboardAloneChangesThePage)
{
    Connect();
    Activate();
    panel->Tabs().setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(panel->Tabs().hasFocus());
    const struct {
        const char* keys;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint8_t page;
        Command query;
    } steps[] = {
        {"Right", Qt::Key_Right, Qt::NoModifier, page::kVideo, kVideoStatus},
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, page::kAudio, kAudioStatus},
        {"Ctrl+PgDn", Qt::Key_PageDown, Qt::ControlModifier, page::kNetwork, kNetworkStatus},
        {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, page::kAudio, kAudioStatus},
        {"Ctrl+PgUp", Qt::Key_PageUp, Qt::ControlModifier, page::kVideo, kVideoStatus},
        {"End", Qt::Key_End, Qt::NoModifier, page::kAdvanced, kAdvancedStatus},
        {"Ctrl+Tab past the last", Qt::Key_Tab, Qt::ControlModifier, page::kGeneral, kGeneralStatus},
        {"Ctrl+PgUp before the first", Qt::Key_PageUp, Qt::ControlModifier, page::kAdvanced, kAdvancedStatus},
        {"Left", Qt::Key_Left, Qt::NoModifier, page::kNetwork, kNetworkStatus},
        {"Home", Qt::Key_Home, Qt::NoModifier, page::kGeneral, kGeneralStatus},
    };
    for (const auto& s : steps) {
        Key(s.key, s.modifiers);
        EXPECT_EQ(panel->CurrentPage(), s.page) << s.keys;
        EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(s.query))) << s.keys << " sends the status query";
    }
    Key(Qt::Key_Left);
    EXPECT_EQ(panel->CurrentPage(), page::kGeneral) << "Left stops at the first tab";
    EXPECT_TRUE(LineQuiet());

    // From a control of the page, Ctrl+PgDn still changes the page.
    Ctl<QWidget>(c::kHdmi1)->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kVideoStatus)));

    // While a command waits for its answer the keys change nothing.
    ASSERT_TRUE(panel->Token().Take());
    Key(Qt::Key_Tab, Qt::ControlModifier);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
    EXPECT_TRUE(LineQuiet());
}

}  // namespace velmora::test
