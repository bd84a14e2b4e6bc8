#pragma once
// The main window's send and receive logs as an operator reads them: the
// text that waits to go in (while the panel awaits an answer) has gone in.

#include "app/main_window.h"
#include "appdefs/timer_ids.h"
#include "gui_helpers.h"
#include "platform/timers.h"

#include <QPlainTextEdit>

namespace velmora::test {

// On the tests' manual clock the hold's limit passes only when the test
// says so: reading the log is waiting that long.
inline QString LogText(app::CVelmoraDlg& panel, int editId)
{
    auto& timers = platform::TimerScheduler::Instance();
    if (panel.LogTextWaiting() && timers.ManualClock()) {
        timers.Advance(timer::kDrawingHoldMs);
    }
    PumpUntil([&] { return !panel.LogTextWaiting(); });
    return panel.ControlAs<QPlainTextEdit>(editId)->toPlainText();
}

}  // namespace velmora::test
