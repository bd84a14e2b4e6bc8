// What screen readers get from the popups: the message box is a dialog named
// by its text, also when the text changes while it is open; the progress
// popup's line is read as it steps.

#include "popup_steps.h"

#include "platform/timers.h"
#include "res/status_ids.h"

#include <QAccessible>
#include <QLabel>

namespace velmora::test {
namespace {

QString NameOf(QObject* object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); }

TEST(ScreenReader, MessageBoxIsADialogNamedByItsTextAsItChanges)
{
    pages::MessageText() = QStringLiteral("Connect to Matrix failed!");
    auto step = WhenMessageBoxOpen([&](pages::CMessageDlg* box) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::Dialog);
        EXPECT_EQ(NameOf(box), "Connect to Matrix failed!");
        pages::MessageText() = QStringLiteral("Time out!");
        pages::ShowMessage();  // the open box takes the new text
        EXPECT_EQ(NameOf(box), "Time out!");
        box->close();
    });
    pages::ShowMessage();
    EXPECT_TRUE(step->Ran());
}

TEST(ScreenReader, ProgressLineIsReadAsItSteps)
{
    platform::TimerScheduler::Instance().UseManualClock(true);
    pages::StatusText() = QStringLiteral("Setting");
    auto step = WhenStatusOpen([&](pages::CStatusDlg* popup) {
        QLabel* line = popup->ControlAs<QLabel>(ctl::status::kText);
        EXPECT_EQ(NameOf(line), "Setting . . .");
        platform::TimerScheduler::Instance().Advance(300);
        EXPECT_EQ(NameOf(line), "Setting .");
        pages::CloseStatus();
    });
    pages::ShowStatus();
    EXPECT_TRUE(step->Ran());
    platform::TimerScheduler::Instance().UseManualClock(false);
}

}  // namespace
}  // namespace velmora::test
