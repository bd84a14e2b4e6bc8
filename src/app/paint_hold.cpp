#include "app/paint_hold.h"

#include "appdefs/timer_ids.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QEvent>

namespace velmora::app {

void PaintHold::AnswerHandled()
{
    if (!awaiting_) {
        Release();
    }
}

void PaintHold::LimitReached()
{
    awaiting_ = false;
    Release();
}

bool PaintHold::Holds(const QEvent& event)
{
    if (event.type() != QEvent::UpdateRequest || !awaiting_) {
        return false;
    }
    if (!held_) {
        held_ = true;
        window_.SetTimer(timer::kPaintHold, timer::kPaintHoldMs);
    }
    return true;
}

void PaintHold::Release()
{
    if (!held_) {
        return;
    }
    held_ = false;
    window_.KillTimer(timer::kPaintHold);
    // The window's painting waits for this request: the one held was dropped.
    QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

}  // namespace velmora::app
