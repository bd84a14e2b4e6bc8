// The main window and its pages as a screen reader and a keyboard-only
// operator meet them: every control on screen announced by the text that
// names it, with its role; actions acting as clicks; the tab strip a page tab
// list the keyboard drives; no Tab stop beyond the window's edge.

#include "accessibility_helpers.h"
#include "app/connection_control.h"
#include "app/tab_strip.h"
#include "appdefs/page_codes.h"
#include "panel_fixture.h"
#include "protocol/advanced_commands.h"
#include "protocol/video_commands.h"
#include "res/advanced_ids.h"
#include "res/audio_ids.h"
#include "res/network_ids.h"
#include "res/video_ids.h"

#include <QApplication>
#include <QTest>

#include <set>

namespace velmora::test {

using namespace protocol;
using R = QAccessible::Role;
namespace v = ctl::video;
namespace au = ctl::audio;
namespace n = ctl::network;
namespace ad = ctl::advanced;

namespace {

struct Expected {
    int id;
    R role;
    const char* name;
    const char* description = nullptr;  // for buttons that repeat a text: the row they belong to; else none
    int twinId = 0;  // a second control announced by the same text
    R twinRole = R::StaticText;
};

struct PageCase {
    std::uint8_t page;
    int tab;
    std::vector<Expected> controls;  // every control on screen but the fixed labels and frames
};

const PageCase kPages[] = {
    {page::kGeneral,
     c::kTabGeneral,
     {
         {c::kClose, R::Button, "Close", "Close"},  // the title buttons: by their tooltips
         {c::kMinimize, R::Button, "Minimize", "Minimize"},
         {c::kModeGroup, R::Grouping, "Control Mode Select"},
         {c::kComMode, R::RadioButton, "COM Control Mode"},
         {c::kTcpMode, R::RadioButton, "TCP Control Mode"},
         {c::kComGroup, R::Grouping, "COM"},
         {c::kPortList, R::ComboBox, "Port", nullptr, c::kPortLabel},
         {c::kBaudList, R::ComboBox, "Baud", nullptr, c::kBaudLabel},
         {c::kComConnect, R::Button, "Connect"},
         {c::kTcpGroup, R::Grouping, "TCP Control Mode"},
         {c::kSwitcherIp, R::ComboBox, "Switcher IP", nullptr, c::kSwitcherIpLabel},
         {c::kSearch, R::Button, "Search"},
         {c::kConfig, R::Button, "Config..."},
         {c::kTcpConnect, R::Button, "Connect"},
         {c::kInputGroup, R::Grouping, "INPUT"},
         {c::kHdmi1, R::Button, "HDMI 1"},
         {c::kHdmi2, R::Button, "HDMI 2"},
         {c::kHdmi3, R::Button, "HDMI 3"},
         {c::kDp, R::Button, "DP"},
         {c::kVga, R::Button, "VGA"},
         {c::kAudioList, R::ComboBox, "Audio:", nullptr, c::kAudioLabel},
         {c::kAutoSwitchList, R::ComboBox, "Auto Switch:", nullptr, c::kAutoSwitchLabel},
         {c::kOutputGroup, R::Grouping, "OUTPUT"},
         {c::kResolutionList, R::ComboBox, "Resolution:", nullptr, c::kResolutionLabel},
         {c::kAspectList, R::ComboBox, "Aspect Ratio:", nullptr, c::kAspectLabel},
         {c::kEdidHdcpGroup, R::Grouping, "EDID/HDCP"},
         {c::kEdidList, R::ComboBox, "Set EDID:", nullptr, c::kEdidLabel},
         {c::kHdcpList, R::ComboBox, "Set HDCP:", nullptr, c::kHdcpLabel},
         {c::kReceiveLog, R::EditableText, "Receive"},  // this and the next three: outside the window
         {c::kSendLog, R::EditableText, "Send"},
         {c::kClear, R::Button, "Clear"},
         {c::kFactoryReset, R::Button, "Factory Reset"},
     }},
    {page::kVideo,
     c::kTabVideo,
     {
         {v::kContrastSlider, R::Slider, "Contrast", nullptr, v::kContrastBox, R::EditableText},
         {v::kBrightnessSlider, R::Slider, "Brightness", nullptr, v::kBrightnessBox, R::EditableText},
         {v::kColorSlider, R::Slider, "Color", nullptr, v::kColorBox, R::EditableText},
         {v::kSharpnessSlider, R::Slider, "Sharpness", nullptr, v::kSharpnessBox, R::EditableText},
         {v::kHSizeSlider, R::Slider, "H Size ", nullptr, v::kHSizeBox, R::EditableText},
         {v::kVSizeSlider, R::Slider, "V Size", nullptr, v::kVSizeBox, R::EditableText},
         {v::kHPositionBox, R::EditableText, "H Position", nullptr, v::kHPositionStep, R::Client},
         {v::kVPositionBox, R::EditableText, "V Position", nullptr, v::kVPositionStep, R::Client},
         {v::kClockBox, R::EditableText, "Clock", nullptr, v::kClockStep, R::Client},
         {v::kPhaseBox, R::EditableText, "Phase", nullptr, v::kPhaseStep, R::Client},
     }},
    {page::kAudio,
     c::kTabAudio,
     {
         {au::kMute, R::Button, "Mute", "Audio Volume"},
         {au::kVolumeSlider, R::Slider, "Audio Volume", nullptr, au::kVolumeBox, R::EditableText},
         {au::kMicMute, R::Button, "Mute", "MIC Volume"},
         {au::kMicVolumeSlider, R::Slider, "MIC Volume", nullptr, au::kMicVolumeBox, R::EditableText},
         {au::kMixerOn, R::RadioButton, "ON"},
         {au::kMixerAuto, R::RadioButton, "AUTO"},
         {au::kMixerOff, R::RadioButton, "OFF"},
         {au::kMixerVolumeBox, R::EditableText, "Audio Volume:"},
         {au::kMixerVolumeSet, R::Button, "Set", "Audio Volume:"},
         {au::kFadeInBox, R::EditableText, "Fade in Time:"},
         {au::kFadeInSet, R::Button, "Set", "Fade in Time:"},
         {au::kFadeOutBox, R::EditableText, "Fade out Time:"},
         {au::kFadeOutSet, R::Button, "Set", "Fade out Time:"},
     }},
    {page::kNetwork,
     c::kTabNetwork,
     {
         {n::kDhcp, R::CheckBox, "DHCP"},
         {n::kStatus, R::Button, "Status"},
         {n::kIp, R::Client, "IP"},
         {n::kSetIp, R::Button, "Set", "IP"},
         {n::kSubnet, R::Client, "Subnet"},
         {n::kGateway, R::Client, "Gateway"},
         {n::kPort, R::EditableText, "Port"},
         {n::kSetPort, R::Button, "Set", "Port"},
         {n::kLog, R::EditableText, "Status   Log"},
     }},
    {page::kAdvanced,
     c::kTabAdvanced,
     {
         {ad::kBeep, R::CheckBox, "Beep"},
         {ad::kPower, R::CheckBox, "Power"},
         {ad::kFactoryReset, R::Button, "Factory Reset"},
         {ad::kSerialBaudList, R::ComboBox, "Serial Baudrate"},
         {ad::kSleepTimerList, R::ComboBox, "Sleep Timer"},
         {ad::kOsdTimeoutList, R::ComboBox, "OSD Time out"},
         {ad::kUpgradeScaler, R::Button, "Upgrade Scaler"},
         {ad::kVersionBox, R::EditableText, "Hardware  Version:"},
     }},
};

}  // namespace

class AccessibilityTest : public PageTest {
protected:
    QAccessibleInterface* Of(int id) { return Iface(Ctl<QWidget>(id)); }
    bool OnScreen(QWidget* w)
    {
        return w->isVisible() && panel->rect().intersects(QRect(w->mapTo(panel.get(), QPoint(0, 0)), w->size()));
    }
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
    // Presses Tab `presses` times: every stop is on screen.
    std::set<QWidget*> TabStops(int presses)
    {
        std::set<QWidget*> stops;
        for (int i = 0; i < presses; ++i) {
            Key(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            EXPECT_TRUE(focus && OnScreen(focus)) << (focus ? focus->objectName().toStdString() : "nothing");
            stops.insert(focus);
        }
        return stops;
    }
};

TEST_F(AccessibilityTest, EveryControlOnScreenIsAnnouncedByTheTextThatNamesIt)
{
    EXPECT_EQ(Iface(panel.get())->role(), R::Window);
    EXPECT_EQ(Iface(panel.get())->text(QAccessible::Name), "5x1 Presentation Switcher  V1.10.08");
    EXPECT_TRUE(Of(c::kVga)->state().checkable) << "an input button is a toggle button";
    for (const PageCase& pageCase : kPages) {
        if (pageCase.page != page::kGeneral) {
            ClickChildOf(panel.get(), Ctl<QWidget>(pageCase.tab));
        }
        platform::Window* window = panel->Pages().Existing(pageCase.page);
        window = window ? window : panel.get();
        std::set<QObject*> inTree;
        for (auto* iface : Tree(panel.get())) {
            inTree.insert(iface->object());
        }
        std::set<int> expected;
        for (const auto& tab : app::kTabs) {
            expected.insert(tab.labelId);  // announced as page tabs, below
        }
        for (const Expected& e : pageCase.controls) {
            SCOPED_TRACE(e.id);
            for (const int id : {e.id, e.twinId}) {
                if (!id) {
                    continue;
                }
                expected.insert(id);
                QWidget* widget = window->Control(id);
                EXPECT_TRUE(inTree.count(widget)) << "reachable";
                EXPECT_EQ(Iface(widget)->role(), id == e.id ? e.role : e.twinRole);
                EXPECT_EQ(Announced(Iface(widget)), e.name);
            }
            EXPECT_EQ(Iface(window->Control(e.id))->text(QAccessible::Description), e.description ? e.description : "");
        }
        for (const auto& [id, widget] : window->Controls()) {
            const auto role = Iface(widget)->role();
            if (OnScreen(widget) && (window == panel.get() || (role != R::StaticText && role != R::Grouping))) {
                EXPECT_TRUE(expected.count(id)) << "control " << id << " on screen is not in the table";
            }
        }
        if (!panel->Connection().ComOpen()) {
            Connect();
        }
        while (!panel->Token().Ready()) {
            ReadFrame();
            Answer(MakeFrame(kVideoStatus));
        }
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
    QAccessibleInterface* list = FindByRole(Tree(panel.get()), R::PageTabList);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->state().focusable);
    ASSERT_EQ(list->childCount(), 5);
    const char* names[] = {"General", "Video", "Audio", "Network", "Advanced"};
    for (int k = 0; k < 5; ++k) {
        QAccessibleInterface* tab = list->child(k);
        EXPECT_EQ(tab->role(), R::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), names[k]);
        EXPECT_EQ(tab->state().selected, k == 0) << names[k];
        EXPECT_EQ(tab->parent(), list);
        EXPECT_EQ(list->indexOfChild(tab), k);
        EXPECT_EQ(list->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
    }
    // Pressed through the screen reader, a tab is chosen as by a click.
    Connect();
    Act(list->child(2), QAccessibleActionInterface::pressAction());
    EXPECT_EQ(ReadFrame(), Frame(kAudioStatus));
    EXPECT_EQ(panel->CurrentPage(), page::kAudio);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
}

TEST_F(AccessibilityTest, ActionsDoWhatAClickDoes)
{
    Connect();
    // Toggle on an input button sends its frame.
    Act(Of(c::kHdmi2), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(ReadFrame(), Frame(kSelectInput, {{kInputByte, 2}, {7, 1}}));
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

TEST_F(AccessibilityTest, PageControlsSetByAScreenReaderSendTheirSetting)
{
    OpenPage(c::kTabVideo, kVideoStatus,
             MakeFrame(kVideoStatus, {{video_status::kContrast, 50}, {video_status::kInput, kInputVga}}));
    QAccessibleValueInterface* contrast = Iface(PageCtl<QWidget>(v::kContrastSlider))->valueInterface();
    ASSERT_NE(contrast, nullptr);
    EXPECT_EQ(contrast->currentValue().toInt(), 50);
    EXPECT_EQ(contrast->maximumValue().toInt(), kContrast.max);
    contrast->setCurrentValue(64);
    EXPECT_EQ(ReadFrame(), Frame(kContrast.set, {{kValueByte, 64}, {kPictureEchoByte, 64}}));
    EXPECT_EQ(BoxText(v::kContrastBox), "64");

    std::vector<QAccessibleInterface*> arrows;
    Walk(Iface(PageCtl<QWidget>(v::kClockStep)), arrows);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(arrows[0]->text(QAccessible::Name), "up");
    arrows[0]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    const Bytes step = ReadFrame();
    EXPECT_EQ(step, Frame(kClock.step, {{kValueByte, kStepUp}}));
    Acknowledge(step);
    ReadFrame();
    Answer(MakeFrame(kClock.read));

    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabAdvanced));
    ASSERT_EQ(ReadFrame(), Frame(kAdvancedStatus));
    Answer(MakeFrame(kAdvancedStatus, {{kSerialBaud.statusByte, 6}}));
    QAccessibleInterface* list = Iface(panel->Pages().Existing(page::kAdvanced)->Control(ad::kSerialBaudList));
    EXPECT_EQ(list->text(QAccessible::Value), "\t115200\t");
    ASSERT_EQ(list->childCount(), 6);
    QAccessibleInterface* entry = list->child(3);
    EXPECT_EQ(entry->role(), R::ListItem);
    EXPECT_EQ(entry->text(QAccessible::Name), "\t38400 \t");
    EXPECT_FALSE(entry->state().selected);
    entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(ReadFrame(), Frame(kSerialBaud.set, {{kValueByte, 4}}));
    EXPECT_TRUE(entry->state().selected);
    EXPECT_EQ(list->text(QAccessible::Value), "\t38400 \t");
}

TEST_F(AccessibilityTest, TabNeverStopsAtAControlOutsideTheWindow)
{
    Activate();
    std::set<QWidget*> stops = TabStops(40);
    EXPECT_TRUE(stops.count(&panel->Tabs()));
    EXPECT_TRUE(stops.count(Ctl<QWidget>(c::kHdmi1)));
    EXPECT_TRUE(stops.count(Ctl<QWidget>(c::kHdcpList)));
    for (const int id : {c::kReceiveLog, c::kSendLog, c::kClear, c::kFactoryReset, c::kClose}) {
        EXPECT_FALSE(stops.count(Ctl<QWidget>(id))) << id;  // nor the title-band buttons
    }
    // On the Network page the Set buttons placed beyond the edge are skipped.
    Connect();
    ClickChildOf(panel.get(), Ctl<QWidget>(c::kTabNetwork));
    page = panel->Pages().Existing(page::kNetwork);
    PageCtl<QWidget>(n::kStatus)->setFocus(Qt::TabFocusReason);
    stops = TabStops(30);
    EXPECT_TRUE(stops.count(PageCtl<QWidget>(n::kSetPort)));
    for (const int id : {n::kSetSubnet, n::kSetGateway, n::kSetMac}) {
        EXPECT_FALSE(stops.count(PageCtl<QWidget>(id))) << id;
    }
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
        {"End", Qt::Key_End, Qt::NoModifier, page::kAdvanced, kAdvancedStatus},
        {"Ctrl+Tab past the last", Qt::Key_Tab, Qt::ControlModifier, page::kGeneral, kGeneralStatus},
        {"Ctrl+PgUp before the first", Qt::Key_PageUp, Qt::ControlModifier, page::kAdvanced, kAdvancedStatus},
        {"Left", Qt::Key_Left, Qt::NoModifier, page::kNetwork, kNetworkStatus},
        {"Home", Qt::Key_Home, Qt::NoModifier, page::kGeneral, kGeneralStatus},
    };
    for (const auto& s : steps) {
        Key(s.key, s.modifiers);
        EXPECT_EQ(panel->CurrentPage(), s.page) << s.keys;
        EXPECT_EQ(ReadFrame(), Frame(s.query)) << s.keys << " sends the status query";
    }
    Key(Qt::Key_Left);
    EXPECT_EQ(panel->CurrentPage(), page::kGeneral) << "Left stops at the first tab";
    EXPECT_TRUE(LineQuiet());

    // From a control of the page, Ctrl+PgDn still changes the page.
    Ctl<QWidget>(c::kHdmi1)->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(ReadFrame(), Frame(kVideoStatus));

    // While a command waits for its answer the keys change nothing.
    ASSERT_TRUE(panel->Token().Take());
    Key(Qt::Key_Tab, Qt::ControlModifier);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
    EXPECT_TRUE(LineQuiet());
}

}  // namespace velmora::test
