#include "app/drawing_hold.h"

#include "appdefs/timer_ids.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QEvent>

namespace velmora::app {

void DrawingHold::AnswerHandled()
{
    if (!awaiting_) {
        Release();
    }
}

bool DrawingHold::HoldsRepaint(const QEvent& event)
{
    if (event.type() != QEvent::UpdateRequest || !Hold()) {
        return false;
    }
    paintHeld_ = true;
    return true;
}

bool DrawingHold::HoldsText()
{
    if (!Hold()) {
        return false;
    }
    textHeld_ = true;
    return true;
}

bool DrawingHold::Hold()
{
    if (!awaiting_) {
        return false;
    }
    if (!Holding()) {
        window_.SetTimer(timer::kDrawingHold, timer::kDrawingHoldMs);
    }
    return true;
}

void DrawingHold::LimitReached()
{
    awaiting_ = false;
    Release();
}

void DrawingHold::Release()
{
    if (!Holding()) {
        return;
    }
    window_.KillTimer(timer::kDrawingHold);
    const bool repaint = paintHeld_;
    paintHeld_ = textHeld_ = false;
    released_();
    if (repaint) {
        // The window's painting waits for this request: the one held was dropped.
        QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    }
}

}  // namespace velmora::app
