// The skinned title-band button on real widgets and a real pointer (Qt's
// test input): the hover icon and its end, the pressed shift, the tooltip,
// the background in every state and the colour table.

#include "controls/button_st.h"
#include "platform/dialog_builder.h"
#include "platform/window.h"
#include "res/resource_ids.h"
#include "res/skin.h"

#include <QAbstractButton>
#include <QHelpEvent>
#include <QImage>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using controls::CButtonST;
using platform::ControlKind;
using platform::ControlTemplate;

constexpr int kClose = 1;
constexpr int kOther = 2;
constexpr ControlTemplate kControls[] = {
    {kClose, ControlKind::PushButton, "", 100, 1, 14, 12},
    {kOther, ControlKind::PushButton, "Other", 10, 30, 40, 14},
};
constexpr platform::DialogTemplate kTemplate{900, "Buttons", 140, 60, "微软雅黑", 9, kControls};

class ClickCounter : public platform::Window {
public:
    void OnCommand(int id, platform::Notify, int) override { clicks += id == kClose; }
    int clicks = 0;
};

// What the glyph on the button looks like: where its ink is and in which colour.
struct Glyph {
    QRect ink;
    int hoverPixels = 0;  // the hover icon's yellow
    int normalPixels = 0;  // the normal icon's white
    QColor corner;  // the background
};

Glyph Look(QAbstractButton* button)
{
    const QImage image = button->grab().toImage();
    Glyph glyph;
    glyph.corner = image.pixelColor(1, 1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int distance = std::abs(c.red() - glyph.corner.red()) + std::abs(c.green() - glyph.corner.green()) +
                                 std::abs(c.blue() - glyph.corner.blue());
            if (distance < 90) {
                continue;
            }
            glyph.ink |= QRect(x, y, 1, 1);
            glyph.hoverPixels += c.red() > 230 && c.green() > 190 && c.green() < 240 && c.blue() < 150;
            glyph.normalPixels += c.red() > 230 && c.green() > 230 && c.blue() > 230;
        }
    }
    return glyph;
}

bool ShowsHoverIcon(QAbstractButton* button)
{
    const Glyph g = Look(button);
    return g.hoverPixels > 0 && g.normalPixels == 0;
}

bool ShowsNormalIcon(QAbstractButton* button)
{
    const Glyph g = Look(button);
    return g.normalPixels > 0 && g.hoverPixels == 0;
}

class ButtonSTTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::BuildDialog(window, kTemplate);
        button = window.ControlAs<QAbstractButton>(kClose);
        button->setGeometry(window.width() - 26, 1, 25, 25);
        controls::SkinTitleButton(skin, kClose, window, res::kCloseHoverIcon, res::kCloseIcon, QStringLiteral("Close"));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseMove(&window, Away());
    }
    void TearDown() override { QTest::mouseRelease(&window, Qt::LeftButton, {}, Away()); }

    QPoint Away() const { return QPoint(5, window.height() - 5); }
    QPoint Centre() const { return button->rect().center(); }
    void Hover() { QTest::mouseMove(button, Centre()); }

    ClickCounter window;
    QAbstractButton* button = nullptr;
    CButtonST skin;
};

TEST_F(ButtonSTTest, HoverEndsOnLeavingFocusLossDeactivationAndDisabling)
{
    const struct {
        const char* way;
        std::function<void()> end;
    } ways[] = {
        {"focus loss",
         [this] {
             button->setFocus(Qt::MouseFocusReason);
             window.Control(kOther)->setFocus(Qt::TabFocusReason);
         }},
        {"deactivation",
         [this] {
             QWidget other;
             other.show();
             other.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
             EXPECT_FALSE(skin.Hovered());
             other.hide();
             window.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
         }},
        {"disabling", [this] { button->setEnabled(false); }},
    };
    EXPECT_TRUE(ShowsNormalIcon(button));
    for (const auto& w : ways) {
        button->setEnabled(true);
        QTest::mouseMove(&window, Away());
        Hover();
        ASSERT_TRUE(skin.Hovered()) << w.way;
        w.end();
        EXPECT_FALSE(skin.Hovered()) << w.way;
        EXPECT_EQ(Look(button).hoverPixels, 0) << w.way;
    }
    button->setEnabled(true);
    QTest::mouseMove(&window, Away());
    Hover();
    EXPECT_TRUE(ShowsHoverIcon(button));
    QTest::mouseMove(&window, Away());
    EXPECT_FALSE(skin.Hovered()) << "leaving";
    EXPECT_TRUE(ShowsNormalIcon(button));
    button->setEnabled(false);
    EXPECT_EQ(Look(button).normalPixels, 0) << "a disabled button draws its icon greyed";
    EXPECT_FALSE(Look(button).ink.isEmpty());
}

TEST_F(ButtonSTTest, PressingShiftsTheIconOnePixelRightAndDownUntilRelease)
{
    Hover();
    const QRect hovered = Look(button).ink;
    ASSERT_FALSE(hovered.isEmpty());
    QTest::mousePress(button, Qt::LeftButton, {}, Centre());
    const Glyph pressed = Look(button);
    EXPECT_EQ(pressed.ink, hovered.translated(1, 1));
    EXPECT_GT(pressed.hoverPixels, 0) << "pressed shows the hover icon";
    QTest::mouseRelease(button, Qt::LeftButton, {}, Centre());
    EXPECT_EQ(Look(button).ink, hovered);
    EXPECT_EQ(window.clicks, 1);
    // The platform reports a double click as press, release, double click, release: two clicks.
    QTest::mouseDClick(button, Qt::LeftButton, {}, Centre());
    QTest::mouseRelease(button, Qt::LeftButton, {}, Centre());
    EXPECT_EQ(window.clicks, 2);
}

TEST_F(ButtonSTTest, PressStartedElsewhereAndDraggedOverDoesNotHover)
{
    QTest::mousePress(&window, Qt::LeftButton, {}, Away());
    QTest::mouseMove(&window, button->geometry().center());
    QTest::mouseMove(button, Centre());  // the move reaches the button with the button still held
    EXPECT_FALSE(skin.Hovered());
    EXPECT_TRUE(ShowsNormalIcon(button));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, button->geometry().center());
    EXPECT_EQ(window.clicks, 0);
    QTest::mouseMove(button, Centre() + QPoint(1, 0));
    EXPECT_TRUE(skin.Hovered()) << "the next move without a button held hovers";
}

TEST_F(ButtonSTTest, TooltipShowsItsTextAndNamesTheButton)
{
    EXPECT_EQ(button->toolTip(), "Close");
    QHelpEvent help(QEvent::ToolTip, Centre(), button->mapToGlobal(Centre()));
    QCoreApplication::sendEvent(button, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Close");
    QToolTip::hideText();
    EXPECT_EQ(button->accessibleName(), "Close") << "an icon-only button is announced by its tooltip";
}

TEST_F(ButtonSTTest, BackgroundIsTheBandBlueInEveryStateUntilTheColourTableSaysOtherwise)
{
    button->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Look(button).corner, res::kTitleBand) << "focused";
    QTest::mousePress(button, Qt::LeftButton, {}, Centre());
    EXPECT_EQ(Look(button).corner, res::kTitleBand) << "pressed";
    QTest::mouseRelease(button, Qt::LeftButton, {}, Centre());
    Hover();
    EXPECT_EQ(Look(button).corner, res::kTitleBand) << "hovered";
    skin.SetDrawBorder(true);
    EXPECT_NE(button->grab().toImage().pixelColor(0, 0), res::kTitleBand) << "the frame's edge while hovered";
    QTest::mouseMove(&window, Away());
    EXPECT_EQ(button->grab().toImage().pixelColor(0, 0), res::kTitleBand) << "no frame when idle";
    skin.SetDrawBorder(false);

    EXPECT_EQ(skin.SetColor(CButtonST::kColorCount, Qt::red), CButtonST::kColorInvalidIndex);
    EXPECT_EQ(skin.SetColor(-1, Qt::red), CButtonST::kColorInvalidIndex);
    const QColor out(0, 128, 0), in(128, 0, 0), focus(0, 0, 128);
    EXPECT_EQ(skin.SetColor(CButtonST::kBkOut, out), CButtonST::kColorOk);
    skin.SetColor(CButtonST::kBkIn, in);
    skin.SetColor(CButtonST::kBkFocus, focus);
    button->clearFocus();
    EXPECT_EQ(Look(button).corner, out);
    button->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Look(button).corner, focus);
    Hover();
    EXPECT_EQ(Look(button).corner, in) << "hovered wins over focused";
}

}  // namespace
}  // namespace velmora::test
