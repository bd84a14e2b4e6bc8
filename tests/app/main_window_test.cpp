// The main window on the offscreen platform: the tab strip, page switching,
// the painted title band, the places of its controls, and the send path's
// request message.

#include "app/tab_strip.h"
#include "appdefs/page_codes.h"
#include "appdefs/window_messages.h"
#include "panel_fixture.h"

#include <QAccessible>

namespace velmora::test {

using namespace protocol;

class MainWindowTest : public PanelTest {
protected:
    QRect InWindow(int labelId)
    {
        QWidget* label = Ctl<QWidget>(labelId);
        return QRect(label->mapTo(panel.get(), QPoint(0, 0)), label->size());
    }
    void PressTab(int labelId) { Click(panel.get(), InWindow(labelId).center()); }
    QColor LabelColour(int labelId, QPalette::ColorRole role) { return Ctl<QWidget>(labelId)->palette().color(role); }
    // Answers the "Open COM failed!" box that a page change shows while disconnected; records the texts.
    QStringList messages;
    ModalWatcher closer{[this](QWidget* modal) {
        messages << pages::MessageText();
        Dismiss(modal);
    }};
};

TEST_F(MainWindowTest, TabPressWhileDisconnectedSelectsThePageColoursItsLabelAndShowsTheMessage)
{
    ASSERT_TRUE(panel->Token().Take());
    PressTab(c::kTabNetwork);
    EXPECT_EQ(panel->CurrentPage(), page::kGeneral) << "a press while a command waits does nothing";
    EXPECT_EQ(panel->Pages().CreatedCount(), 0);
    panel->Token().GiveBack();

    const int tabs[] = {c::kTabVideo, c::kTabAudio, c::kTabNetwork, c::kTabAdvanced, c::kTabGeneral};
    const std::uint8_t pageCodes[] = {page::kVideo, page::kAudio, page::kNetwork, page::kAdvanced};
    PressTab(c::kTabVideo);
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
    ASSERT_TRUE(PumpUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages.front(), "Open COM failed!");
    EXPECT_TRUE(SendLog().isEmpty()) << "no status query is sent";
    EXPECT_TRUE(panel->Token().Ready());
    EXPECT_EQ(LabelColour(c::kTabVideo, QPalette::Window), panel->palette().color(QPalette::Button));
    EXPECT_EQ(LabelColour(c::kTabGeneral, QPalette::Window), app::kAccent);
    EXPECT_EQ(LabelColour(c::kTabGeneral, QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(LabelColour(c::kTabVideo, QPalette::WindowText), QColor(Qt::black)) << "the standard palette's";
    EXPECT_FALSE(Ctl<QWidget>(c::kHdmi1)->isVisible());
    ASSERT_NE(panel->Pages().Existing(page::kVideo), nullptr);
    EXPECT_TRUE(panel->Pages().Existing(page::kVideo)->isVisible());
    EXPECT_EQ(panel->Pages().Existing(page::kVideo)->pos(), QPoint(1, app::kBandBottom));

    // Page windows are created once and then only shown and hidden.
    std::vector<QWidget*> first;
    for (const int tab : tabs) {
        PressTab(tab);
    }
    for (const std::uint8_t code : pageCodes) {
        first.push_back(panel->Pages().Existing(code));
        EXPECT_FALSE(first.back()->isVisible());
    }
    EXPECT_EQ(panel->Pages().CreatedCount(), 4);
    EXPECT_TRUE(Ctl<QWidget>(c::kHdmi1)->isVisible());
    for (const int tab : tabs) {
        PressTab(tab);
    }
    for (std::size_t i = 0; i < std::size(pageCodes); ++i) {
        EXPECT_EQ(panel->Pages().Existing(pageCodes[i]), first[i]);
    }
}

TEST_F(MainWindowTest, SelectedTabPressedAgainSendsItsStatusQueryAgain)
{
    Connect();
    for (const int tab : {c::kTabAdvanced, c::kTabAdvanced}) {
        PressTab(tab);
        EXPECT_EQ(ReadFrame(), Frame(kAdvancedStatus));
    }
    PressTab(c::kTabNetwork);
    EXPECT_EQ(ReadFrame(), Frame(kNetworkStatus));
}

TEST_F(MainWindowTest, GrabShowsTheBandTheSeparatorAndTheLabelColoursFollowingThePalette)
{
    PressTab(c::kTabVideo);
    const QImage image = panel->grab().toImage();
    const int W = image.width();
    const QSize tab = Ctl<QWidget>(c::kTabGeneral)->size();
    EXPECT_EQ(image.pixelColor(W / 2, 10), app::kAccent) << "title band";
    for (const QPoint edge : {QPoint(W / 2, 0), QPoint(0, 30), QPoint(W - 1, 30)}) {
        EXPECT_EQ(image.pixelColor(edge), app::kBandEdge) << edge.x() << "," << edge.y();
    }
    EXPECT_EQ(image.pixelColor(tab.width() + 1, app::kBandBottom - tab.height() + 10), app::kSeparator)
        << "the separator between the first two labels";
    EXPECT_EQ(image.pixelColor(InWindow(c::kTabGeneral).topLeft() + QPoint(1, 1)), app::kAccent);
    EXPECT_EQ(image.pixelColor(InWindow(c::kTabVideo).topLeft() + QPoint(1, 1)),
              panel->palette().color(QPalette::Button));
    EXPECT_EQ(InWindow(c::kTabGeneral).bottom(), app::kBandBottom - 1) << "labels end on the band's last row";
    EXPECT_NE(image.pixelColor(W / 2, app::kBandBottom + 3), app::kAccent) << "the band ends at row 56";

    QPalette dark = panel->palette();
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    panel->setPalette(dark);
    EXPECT_EQ(LabelColour(c::kTabVideo, QPalette::Window), QColor(50, 50, 50));
    EXPECT_EQ(LabelColour(c::kTabVideo, QPalette::WindowText), QColor(230, 230, 230));
    EXPECT_EQ(LabelColour(c::kTabGeneral, QPalette::WindowText), QColor(Qt::white));
}

TEST_F(MainWindowTest, TitleButtonsHiddenControlsAndListsBeforeTheSwitcherAnswers)
{
    const int W = panel->width();
    EXPECT_EQ(Ctl<QWidget>(c::kClose)->geometry(), QRect(W - 26, 1, 25, 25));
    EXPECT_EQ(Ctl<QWidget>(c::kMinimize)->geometry(), QRect(W - 51, 1, 25, 25));
    EXPECT_EQ(Ctl<QWidget>(c::kClose)->toolTip(), "Close");
    for (const int id : {c::kReceiveLog, c::kSendLog, c::kClear, c::kFactoryReset}) {
        EXPECT_GE(Ctl<QWidget>(id)->x(), W) << id << " lies right of the client area";
    }
    for (const int id : {c::kAutoSwitchList, c::kResolutionList, c::kAspectList, c::kEdidList, c::kHdcpList}) {
        EXPECT_EQ(List(id)->GetCurSel(), -1) << id;
        EXPECT_TRUE(List(id)->currentText().isEmpty()) << id;
        EXPECT_GT(List(id)->GetCount(), 0) << id;
    }
    EXPECT_EQ(List(c::kAudioList)->GetCurSel(), 0);
    EXPECT_EQ(List(c::kBaudList)->currentText(), "115200");
}

TEST_F(PanelTest, MessageBoxBelongsToTheWindowAndOpensCentredOverIt)
{
    panel->move(40, 30);
    QWidget* owner = nullptr;
    QRect boxFrame;
    ModalWatcher watcher([&](QWidget* modal) {
        owner = modal->parentWidget();
        boxFrame = modal->frameGeometry();
        Dismiss(modal);
    });
    panel->ChooseTab(page::kVideo);
    ASSERT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(owner, panel.get());
    EXPECT_LE((boxFrame.center() - panel->frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(MainWindowTest, SendRequestSendsTheSharedBufferForPageCodesOnly)
{
    Connect();
    panel->Send().Frame().Begin(kAudioStatus);
    panel->Post(msg::kSendRequest, page::kAudio);
    EXPECT_EQ(ReadFrame(), Frame(kAudioStatus));
    for (const platform::WParam code : {platform::WParam{2}, platform::WParam{8}, platform::WParam{260}}) {
        panel->Post(msg::kSendRequest, code);
    }
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(panel->platform::Window::Send(msg::kSendRequest, 2), 1);
}

}  // namespace velmora::test
