// The progress popup on real widgets and the manual clock: the trail of dots
// step by step as screen readers read it, the finished state, a second show,
// the keys that must not end it and a close from outside.

#include "popup_steps.h"

#include "appdefs/timer_ids.h"
#include "platform/timers.h"
#include "res/skin.h"
#include "res/status_ids.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>

namespace velmora::test {
namespace {

namespace c = ctl::status;
using pages::CStatusDlg;

class ProgressPopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::TimerScheduler::Instance().UseManualClock(true);
        pages::StatusText() = QStringLiteral("Setting");
    }
    void TearDown() override
    {
        pages::CloseStatus();
        platform::TimerScheduler::Instance().UseManualClock(false);
    }

    static void Advance(int ms) { platform::TimerScheduler::Instance().Advance(ms); }
    static QString Label(CStatusDlg* popup) { return popup->ControlAs<QLabel>(c::kText)->text(); }
    static bool CheckMarkShown(CStatusDlg* popup) { return popup->Control(c::kCheckMark)->isVisible(); }

    // Shows the popup, runs `step` inside its loop, and closes it after.
    static void WhileShowing(const std::function<void(CStatusDlg*)>& step)
    {
        auto runner = WhenStatusOpen([&](CStatusDlg* popup) {
            step(popup);
            pages::CloseStatus();
        });
        pages::ShowStatus();
        EXPECT_TRUE(runner->Finished());
        EXPECT_FALSE(pages::StatusPopupShowing());
        EXPECT_EQ(VisibleWindows<CStatusDlg>(), 0);
    }
};

TEST_F(ProgressPopupTest, DotsGrowEveryThreeHundredMillisecondsAndANewTextShowsAtTheNextStep)
{
    WhileShowing([](CStatusDlg* popup) {
        const auto read = [&] {
            const QString name =
                QAccessible::queryAccessibleInterface(popup->Control(c::kText))->text(QAccessible::Name);
            EXPECT_EQ(name, Label(popup)) << "screen readers read the line as it steps";
            return name;
        };
        EXPECT_EQ(read(), "Setting . . .");
        EXPECT_FALSE(CheckMarkShown(popup));
        Advance(299);
        EXPECT_EQ(read(), "Setting . . .") << "not before 300 ms";
        int step = 1;
        for (const char* label : {"Setting .", "Setting . .", "Setting . . .", "Setting ."}) {
            Advance(std::exchange(step, 300));
            EXPECT_EQ(read(), label);
        }
        pages::StatusText() = QStringLiteral("Configuring");
        EXPECT_EQ(Label(popup), "Setting .");
        Advance(300);
        EXPECT_EQ(read(), "Configuring . .");
    });
}

TEST_F(ProgressPopupTest, KeysAndASecondShowLeaveItOpenAndFinishShowsTheTextAloneWithTheCheckMark)
{
    WhileShowing([](CStatusDlg* popup) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(popup, &press);
            EXPECT_TRUE(popup->isVisible()) << key;
        }
        pages::ShowStatus();  // returns at once
        EXPECT_EQ(VisibleWindows<CStatusDlg>(), 1);
        EXPECT_EQ(pages::OpenStatusPopup(), popup);
        EXPECT_TRUE(pages::StatusPopupShowing());
        Advance(300);
        pages::StatusText() = QStringLiteral("Configure successfully!");
        pages::FinishStatus();
        EXPECT_EQ(Label(popup), "Configure successfully!");
        EXPECT_TRUE(CheckMarkShown(popup));
        for (int id : {timer::kDots1, timer::kDots2, timer::kDots3}) {
            EXPECT_FALSE(popup->TimerRunning(id)) << id;
        }
        Advance(2000);
        EXPECT_EQ(Label(popup), "Configure successfully!") << "the text no longer changes";
    });
}

TEST_F(ProgressPopupTest, EachShowingStartsAfreshAfterAFinishACloseFromOutsideOrNone)
{
    pages::CloseStatus();
    pages::FinishStatus();
    EXPECT_FALSE(pages::StatusPopupShowing());
    WhileShowing([](CStatusDlg*) { pages::FinishStatus(); });
    auto runner = WhenStatusOpen([](CStatusDlg* popup) { popup->close(); });
    pages::ShowStatus();
    EXPECT_TRUE(runner->Finished());
    EXPECT_FALSE(pages::StatusPopupShowing());
    WhileShowing([](CStatusDlg* popup) {
        EXPECT_FALSE(CheckMarkShown(popup));
        EXPECT_EQ(Label(popup), "Setting . . .");
    });
}

TEST_F(ProgressPopupTest, PaintedOutline)
{
    WhileShowing([](CStatusDlg* popup) {
        const QImage image = popup->PaintBackground().toImage();
        const QColor edge = QColor(image.pixel(popup->width() / 2, 0));
        // Alpha 150 of the accent colour over white.
        const QColor accent = res::kAccent;
        EXPECT_NEAR(edge.red(), accent.red() + (255 - accent.red()) * 105 / 255, 2);
        EXPECT_NEAR(edge.green(), accent.green() + (255 - accent.green()) * 105 / 255, 2);
        EXPECT_NEAR(edge.blue(), accent.blue() + (255 - accent.blue()) * 105 / 255, 2);
        EXPECT_EQ(QColor(image.pixel(popup->width() / 2, popup->height() / 2)), QColor(Qt::white));
    });
}

}  // namespace
}  // namespace velmora::test
