#pragma once
// Helpers for tests that drive real windows: bounded waits for events, a
// watcher that answers modal boxes as an operator would, and input events.

#include <QPointer>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

namespace velmora::test {

// Pumps the event loop until pred() holds or the time is up; returns pred().
bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(5));
// The same without the event loop, for a thread that must not need the main thread.
bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(5));
// Pumps for a while, only to show that something does NOT happen.
void PumpFor(std::chrono::milliseconds span);

// While alive, every modal window that opens is handed once to `answer`,
// which closes it (or not). Checks every 5 ms.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> answer);
    int Seen() const { return seen_; }

private:
    QTimer timer_;
    std::function<void(QWidget*)> answer_;
    QPointer<QWidget> last_;
    int seen_ = 0;
};

// Closes a modal dialog as with Escape.
void Dismiss(QWidget* modal);
// A left-button press and release at a point of the widget.
void Click(QWidget* widget, QPoint at);
// Where a slider's thumb stands, in the slider's coordinates.
QRect ThumbRect(QSlider* slider);
// A click on a child at its centre, delivered to the window as a press there.
void ClickChildOf(QWidget* window, QWidget* child);
// The text of the label that is the control's buddy, without '&' and a
// trailing colon; empty when none is.
QString LabelOf(QWidget* control);
// A key press and release sent to the widget.
void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace velmora::test
