#include "gui_helpers.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>

namespace velmora::test {

bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > limit.count()) {
            return pred();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < span.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> answer) : answer_(std::move(answer))
{
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            last_ = nullptr;
            return;
        }
        if (modal == last_) {
            return;
        }
        last_ = modal;
        ++seen_;
        answer_(modal);
    });
    timer_.start();
}

ModalWatcher::~ModalWatcher() = default;

void Dismiss(QWidget* modal)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(modal, &escape);
    if (modal->isVisible()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
}

}  // namespace velmora::test
