// The main window on the offscreen platform: the tab strip, page switching,
// the painted title band, and the send path's request message.

#include "app/tab_strip.h"
#include "appdefs/page_codes.h"
#include "appdefs/window_messages.h"
#include "panel_fixture.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>

namespace velmora::test {

using namespace protocol;

namespace {

QColor LabelBackground(QWidget* label) { return label->palette().color(QPalette::Window); }

}  // namespace

class MainWindowTest : public PanelTest {
protected:
    // Where a label is, in the window.
    QRect InWindow(int labelId)
    {
        QWidget* label = Ctl<QWidget>(labelId);
        return QRect(label->mapTo(panel.get(), QPoint(0, 0)), label->size());
    }
    void PressTab(int labelId) { Click(panel.get(), InWindow(labelId).center()); }
    // Answers the "Open COM failed!" box that a page change shows while
    // disconnected; records the texts.
    ModalWatcher closer{[this](QWidget* modal) {
        messages << pages::MessageText();
        Dismiss(modal);
    }};
    QStringList messages;
};

TEST_F(MainWindowTest, TabPressSelectsThePageAndColoursItsLabel)
{
    PressTab(c::kTabVideo);
    EXPECT_EQ(panel->CurrentPage(), page::kVideo);
    EXPECT_EQ(LabelBackground(Ctl<QWidget>(c::kTabVideo)), panel->palette().color(QPalette::Button));
    EXPECT_EQ(LabelBackground(Ctl<QWidget>(c::kTabGeneral)), app::kAccent);
    EXPECT_EQ(Ctl<QWidget>(c::kTabGeneral)->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(Ctl<QWidget>(c::kTabVideo)->palette().color(QPalette::WindowText), QColor(Qt::black))
        << "the standard palette's button text";
    EXPECT_FALSE(Ctl<QWidget>(c::kHdmi1)->isVisible());
    ASSERT_NE(panel->Pages().Existing(page::kVideo), nullptr);
    EXPECT_TRUE(panel->Pages().Existing(page::kVideo)->isVisible());
    EXPECT_EQ(panel->Pages().Existing(page::kVideo)->pos(), QPoint(1, app::kBandBottom));
}

TEST_F(MainWindowTest, PageChangeWhileDisconnectedShowsTheMessageButStillChangesThePage)
{
    PressTab(c::kTabAudio);
    EXPECT_EQ(panel->CurrentPage(), page::kAudio);
    ASSERT_TRUE(PumpUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages.front(), "Open COM failed!");
    EXPECT_TRUE(SendLog().isEmpty()) << "no status query is sent";
    EXPECT_TRUE(panel->Token().Ready());
}

TEST_F(MainWindowTest, PressWhileACommandWaitsDoesNothing)
{
    ASSERT_TRUE(panel->Token().Take());
    PressTab(c::kTabNetwork);
    EXPECT_EQ(panel->CurrentPage(), page::kGeneral);
    EXPECT_EQ(panel->Pages().CreatedCount(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, PageWindowsAreCreatedOnceAndThenOnlyShownAndHidden)
{
    const int tabs[] = {c::kTabVideo, c::kTabAudio, c::kTabNetwork, c::kTabAdvanced, c::kTabGeneral};
    std::vector<QWidget*> first;
    for (const int tab : tabs) {
        PressTab(tab);
    }
    for (const std::uint8_t page : {page::kVideo, page::kAudio, page::kNetwork, page::kAdvanced}) {
        first.push_back(panel->Pages().Existing(page));
        EXPECT_FALSE(first.back()->isVisible());
    }
    EXPECT_EQ(panel->Pages().CreatedCount(), 4);
    EXPECT_TRUE(Ctl<QWidget>(c::kHdmi1)->isVisible());
    for (const int tab : tabs) {
        PressTab(tab);
    }
    int i = 0;
    for (const std::uint8_t page : {page::kVideo, page::kAudio, page::kNetwork, page::kAdvanced}) {
        EXPECT_EQ(panel->Pages().Existing(page), first[i++]);
    }
}

TEST_F(MainWindowTest, SelectedTabPressedAgainSendsItsStatusQueryAgain)
{
    Connect();
    PressTab(c::kTabAdvanced);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kAdvancedStatus)));
    PressTab(c::kTabAdvanced);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kAdvancedStatus)));
    PressTab(c::kTabNetwork);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kNetworkStatus)));
}

TEST_F(MainWindowTest, GrabShowsTheBandTheSeparatorAndTheLabelColours)
{
    PressTab(c::kTabVideo);
    const QImage image = panel->grab().toImage();
    const int W = image.width();
    const QSize tab = Ctl<QWidget>(c::kTabGeneral)->size();
    EXPECT_EQ(image.pixelColor(W / 2, 10), app::kAccent) << "title band";
    EXPECT_EQ(image.pixelColor(W / 2, 0), app::kBandEdge) << "top edge";
    EXPECT_EQ(image.pixelColor(0, 30), app::kBandEdge) << "left edge";
    EXPECT_EQ(image.pixelColor(W - 1, 30), app::kBandEdge) << "right edge";
    EXPECT_EQ(image.pixelColor(tab.width() + 1, app::kBandBottom - tab.height() + 10), app::kSeparator)
        << "the separator between the first two labels";
    const QPoint general = InWindow(c::kTabGeneral).topLeft() + QPoint(1, 1);
    const QPoint video = InWindow(c::kTabVideo).topLeft() + QPoint(1, 1);
    EXPECT_EQ(image.pixelColor(general), app::kAccent);
    EXPECT_EQ(image.pixelColor(video), panel->palette().color(QPalette::Button));
    EXPECT_EQ(InWindow(c::kTabGeneral).bottom(), app::kBandBottom - 1) << "labels end on the band's last row";
    const QColor below = image.pixelColor(W / 2, app::kBandBottom + 3);
    EXPECT_NE(below, app::kAccent) << "the band ends at row 56";
}

TEST_F(MainWindowTest, TitleButtonsSitAtTheTopRight)
{
    const int W = panel->width();
    EXPECT_EQ(Ctl<QWidget>(c::kClose)->geometry(), QRect(W - 26, 1, 25, 25));
    EXPECT_EQ(Ctl<QWidget>(c::kMinimize)->geometry(), QRect(W - 51, 1, 25, 25));
    EXPECT_EQ(Ctl<QWidget>(c::kClose)->toolTip(), "Close");
}

TEST_F(MainWindowTest, HiddenControlsLieRightOfTheClientArea)
{
    for (const int id : {c::kReceiveLog, c::kSendLog, c::kClear, c::kFactoryReset}) {
        EXPECT_GE(Ctl<QWidget>(id)->x(), panel->width()) << id;
    }
}

TEST_F(MainWindowTest, ListsShowNoChoiceUntilTheSwitcherAnswers)
{
    for (const int id : {c::kAutoSwitchList, c::kResolutionList, c::kAspectList, c::kEdidList, c::kHdcpList}) {
        EXPECT_EQ(List(id)->GetCurSel(), -1) << id;
        EXPECT_TRUE(List(id)->currentText().isEmpty()) << id;
        EXPECT_GT(List(id)->GetCount(), 0) << id;
    }
    EXPECT_EQ(List(c::kAudioList)->GetCurSel(), 0);
    EXPECT_EQ(List(c::kBaudList)->currentText(), "115200");
}

using MessageBoxOverTheWindow = PanelTest;

TEST_F(MessageBoxOverTheWindow, BelongsToTheWindowAndOpensCentredOverIt)
{
    panel->move(40, 30);
    QWidget* owner = nullptr;
    QRect boxFrame;
    ModalWatcher watcher([&](QWidget* modal) {
        owner = modal->parentWidget();
        boxFrame = modal->frameGeometry();
        EXPECT_EQ(QAccessible::queryAccessibleInterface(modal)->role(), QAccessible::Dialog);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(modal)->text(QAccessible::Name), "Open COM failed!")
            << "the text reaches screen readers";
        Dismiss(modal);
    });
    panel->ChooseTab(page::kVideo);
    ASSERT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(owner, panel.get());
    EXPECT_LE((boxFrame.center() - panel->frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(MainWindowTest, SelectedTabFollowsThePalette)
{
    QPalette dark = panel->palette();
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    panel->setPalette(dark);
    QWidget* general = Ctl<QWidget>(c::kTabGeneral);
    EXPECT_EQ(general->palette().color(QPalette::Window), QColor(50, 50, 50));
    EXPECT_EQ(general->palette().color(QPalette::WindowText), QColor(230, 230, 230));
    EXPECT_EQ(Ctl<QWidget>(c::kTabVideo)->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(MainWindowTest, SendRequestSendsTheSharedBufferForPageCodesOnly)
{
    Connect();
    panel->Send().Frame().Begin(kAudioStatus);
    panel->Post(msg::kSendRequest, page::kAudio);
    EXPECT_EQ(ReadFrame(), FrameVector(MakeFrame(kAudioStatus)));
    for (const platform::WParam code : {platform::WParam{2}, platform::WParam{8}, platform::WParam{260}}) {
        panel->Post(msg::kSendRequest, code);
    }
    PumpFor(50ms);
    EXPECT_TRUE(LineQuiet());
    EXPECT_EQ(panel->platform::Window::Send(msg::kSendRequest, 2), 1);
}

}  // namespace velmora::test
