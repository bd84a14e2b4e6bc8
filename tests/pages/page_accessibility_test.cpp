// The four pages as a screen reader and a keyboard-only operator meet them:
// every control on screen announced by the text that names it, with its role;
// buttons that repeat a text told apart by the row they belong to; a slider
// set by a screen reader sends its setting as letting go of it does; and the
// Tab key never stops at a control beyond the window's edge.

#include "app/panel_fixture.h"

#include "accessibility_helpers.h"
#include "protocol/advanced_commands.h"
#include "protocol/audio_commands.h"
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
namespace v = ctl::video;
namespace au = ctl::audio;
namespace n = ctl::network;
namespace ad = ctl::advanced;

namespace {

struct Expected {
    int id;
    QAccessible::Role role;
    const char* name;
    const char* description = "";
};

struct PageCase {
    int tab;
    std::vector<Expected> controls;  // every control on screen but the fixed labels and frames
};

const PageCase kPages[] = {
    {c::kTabVideo,
     {
         {v::kContrastSlider, QAccessible::Slider, "Contrast"},
         {v::kContrastBox, QAccessible::EditableText, "Contrast"},
         {v::kBrightnessSlider, QAccessible::Slider, "Brightness"},
         {v::kBrightnessBox, QAccessible::EditableText, "Brightness"},
         {v::kColorSlider, QAccessible::Slider, "Color"},
         {v::kColorBox, QAccessible::EditableText, "Color"},
         {v::kSharpnessSlider, QAccessible::Slider, "Sharpness"},
         {v::kSharpnessBox, QAccessible::EditableText, "Sharpness"},
         {v::kHSizeSlider, QAccessible::Slider, "H Size "},
         {v::kHSizeBox, QAccessible::EditableText, "H Size "},
         {v::kVSizeSlider, QAccessible::Slider, "V Size"},
         {v::kVSizeBox, QAccessible::EditableText, "V Size"},
         {v::kHPositionBox, QAccessible::EditableText, "H Position"},
         {v::kHPositionStep, QAccessible::Client, "H Position"},
         {v::kVPositionBox, QAccessible::EditableText, "V Position"},
         {v::kVPositionStep, QAccessible::Client, "V Position"},
         {v::kClockBox, QAccessible::EditableText, "Clock"},
         {v::kClockStep, QAccessible::Client, "Clock"},
         {v::kPhaseBox, QAccessible::EditableText, "Phase"},
         {v::kPhaseStep, QAccessible::Client, "Phase"},
     }},
    {c::kTabAudio,
     {
         {au::kMute, QAccessible::Button, "Mute", "Audio Volume"},
         {au::kVolumeSlider, QAccessible::Slider, "Audio Volume"},
         {au::kVolumeBox, QAccessible::EditableText, "Audio Volume"},
         {au::kMicMute, QAccessible::Button, "Mute", "MIC Volume"},
         {au::kMicVolumeSlider, QAccessible::Slider, "MIC Volume"},
         {au::kMicVolumeBox, QAccessible::EditableText, "MIC Volume"},
         {au::kMixerOn, QAccessible::RadioButton, "ON"},
         {au::kMixerAuto, QAccessible::RadioButton, "AUTO"},
         {au::kMixerOff, QAccessible::RadioButton, "OFF"},
         {au::kMixerVolumeBox, QAccessible::EditableText, "Audio Volume:"},
         {au::kMixerVolumeSet, QAccessible::Button, "Set", "Audio Volume:"},
         {au::kFadeInBox, QAccessible::EditableText, "Fade in Time:"},
         {au::kFadeInSet, QAccessible::Button, "Set", "Fade in Time:"},
         {au::kFadeOutBox, QAccessible::EditableText, "Fade out Time:"},
         {au::kFadeOutSet, QAccessible::Button, "Set", "Fade out Time:"},
     }},
    {c::kTabNetwork,
     {
         {n::kDhcp, QAccessible::CheckBox, "DHCP"},
         {n::kStatus, QAccessible::Button, "Status"},
         {n::kIp, QAccessible::Client, "IP"},
         {n::kSetIp, QAccessible::Button, "Set", "IP"},
         {n::kSubnet, QAccessible::Client, "Subnet"},
         {n::kGateway, QAccessible::Client, "Gateway"},
         {n::kPort, QAccessible::EditableText, "Port"},
         {n::kSetPort, QAccessible::Button, "Set", "Port"},
         {n::kLog, QAccessible::EditableText, "Status   Log"},
     }},
    {c::kTabAdvanced,
     {
         {ad::kBeep, QAccessible::CheckBox, "Beep"},
         {ad::kPower, QAccessible::CheckBox, "Power"},
         {ad::kFactoryReset, QAccessible::Button, "Factory Reset"},
         {ad::kSerialBaudList, QAccessible::ComboBox, "Serial Baudrate"},
         {ad::kSleepTimerList, QAccessible::ComboBox, "Sleep Timer"},
         {ad::kOsdTimeoutList, QAccessible::ComboBox, "OSD Time out"},
         {ad::kUpgradeScaler, QAccessible::Button, "Upgrade Scaler"},
         {ad::kVersionBox, QAccessible::EditableText, "Hardware  Version:"},
     }},
};

}  // namespace

class PageAccessibility : public PageTest {
protected:
    void Open(int tab)
    {
        ClickChildOf(panel.get(), Ctl<QWidget>(tab));
        page = panel->Pages().Existing(panel->CurrentPage());
        ASSERT_NE(page, nullptr);
    }
    bool OnScreen(QWidget* w)
    {
        const QRect inWindow(w->mapTo(panel.get(), QPoint(0, 0)), w->size());
        return w->isVisible() && panel->rect().intersects(inWindow);
    }
};

TEST_F(PageAccessibility, EveryControlOnScreenIsAnnouncedByTheTextThatNamesIt)
{
    Connect();
    for (const PageCase& pageCase : kPages) {
        Open(pageCase.tab);
        std::set<QObject*> inTree;
        for (auto* iface : Tree(panel.get())) {
            inTree.insert(iface->object());
        }
        std::set<int> expected;
        for (const Expected& e : pageCase.controls) {
            SCOPED_TRACE(e.id);
            expected.insert(e.id);
            QWidget* widget = PageCtl<QWidget>(e.id);
            EXPECT_TRUE(inTree.count(widget)) << "reachable";
            EXPECT_EQ(Iface(widget)->role(), e.role);
            EXPECT_EQ(Announced(Iface(widget)), e.name);
            EXPECT_EQ(Iface(widget)->text(QAccessible::Description), e.description);
        }
        for (const auto& [id, widget] : page->Controls()) {
            const auto role = Iface(widget)->role();
            if (OnScreen(widget) && role != QAccessible::StaticText && role != QAccessible::Grouping) {
                EXPECT_TRUE(expected.count(id)) << "control " << id << " on screen is not in the table";
            }
        }
        while (!panel->Token().Ready()) {
            ReadFrame();
            Answer(MakeFrame(kVideoStatus));
        }
    }
}

TEST_F(PageAccessibility, ASliderSetByAScreenReaderSendsItsSetting)
{
    OpenPage(c::kTabVideo, kVideoStatus, MakeFrame(kVideoStatus, {{video_status::kContrast, 50}}));
    QAccessibleValueInterface* contrast = Iface(PageCtl<QWidget>(v::kContrastSlider))->valueInterface();
    ASSERT_NE(contrast, nullptr);
    EXPECT_EQ(contrast->currentValue().toInt(), 50);
    EXPECT_EQ(contrast->maximumValue().toInt(), kContrast.max);
    contrast->setCurrentValue(64);
    EXPECT_EQ(ReadFrame(), Frame(kContrast.set, {{kValueByte, 64}, {kPictureEchoByte, 64}}));
    EXPECT_EQ(BoxText(v::kContrastBox), "64");
}

TEST_F(PageAccessibility, AListEntryChosenByAScreenReaderSendsItsSetting)
{
    OpenPage(c::kTabAdvanced, kAdvancedStatus, MakeFrame(kAdvancedStatus, {{kSerialBaud.statusByte, 6}}));
    QAccessibleInterface* list = Iface(PageCtl<QWidget>(ad::kSerialBaudList));
    EXPECT_EQ(list->text(QAccessible::Value), "\t115200\t");
    ASSERT_EQ(list->childCount(), 6);
    QAccessibleInterface* entry = list->child(3);
    EXPECT_EQ(entry->role(), QAccessible::ListItem);
    EXPECT_EQ(entry->text(QAccessible::Name), "\t38400 \t");
    EXPECT_FALSE(entry->state().selected);
    entry->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(ReadFrame(), Frame(kSerialBaud.set, {{kValueByte, 4}}));
    EXPECT_TRUE(entry->state().selected);
    EXPECT_EQ(list->text(QAccessible::Value), "\t38400 \t");
}

TEST_F(PageAccessibility, StepArrowsPressedByAScreenReaderStep)
{
    OpenPage(c::kTabVideo, kVideoStatus, MakeFrame(kVideoStatus, {{video_status::kInput, kInputVga}}));
    std::vector<QAccessibleInterface*> arrows;
    Walk(Iface(PageCtl<QWidget>(v::kClockStep)), arrows);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(arrows[0]->text(QAccessible::Name), "up");
    arrows[0]->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(ReadFrame(), Frame(kClock.step, {{kValueByte, kStepUp}}));
}

TEST_F(PageAccessibility, TabNeverStopsBeyondTheWindowsEdge)
{
    Connect();
    Open(c::kTabNetwork);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    PageCtl<QWidget>(n::kStatus)->setFocus(Qt::TabFocusReason);
    std::set<QWidget*> stops;
    constexpr int kPresses = 30;
    for (int i = 0; i < kPresses; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(OnScreen(focus)) << focus->objectName().toStdString() << " has the focus";
        stops.insert(focus);
    }
    EXPECT_TRUE(stops.count(PageCtl<QWidget>(n::kSetPort)));
    for (const int id : {n::kSetSubnet, n::kSetGateway, n::kSetMac}) {
        EXPECT_FALSE(stops.count(PageCtl<QWidget>(id))) << id;
    }
}

}  // namespace velmora::test
