#include "gui_helpers.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QThread>

namespace velmora::test {

namespace {

void Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }

// Checks pred() between steps until it holds or the time is up.
bool Until(const std::function<bool()>& pred, std::chrono::milliseconds limit, void (*step)())
{
    QElapsedTimer clock;
    clock.start();
    for (; !pred(); step()) {
        if (clock.elapsed() > limit.count()) {
            return pred();
        }
    }
    return true;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit) { return Until(pred, limit, Pump); }

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit)
{
    return Until(pred, limit, [] { QThread::msleep(1); });
}

void PumpFor(std::chrono::milliseconds span)
{
    Until([] { return false; }, span, Pump);
}

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> answer) : answer_(std::move(answer))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != last_ && (last_ = modal)) {
            ++seen_;
            answer_(modal);
        }
    });
    timer_.start(5);
}

void Dismiss(QWidget* modal)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(modal, &escape);
    if (auto* dialog = qobject_cast<QDialog*>(modal); modal->isVisible()) {
        dialog ? dialog->reject() : void(modal->close());
    }
}

void Click(QWidget* widget, QPoint at)
{
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

QRect ThumbRect(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = false;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

void ClickChildOf(QWidget* window, QWidget* child) { Click(window, child->mapTo(window, child->rect().center())); }

QString LabelOf(QWidget* control)
{
    if (!control->parentWidget()) {
        return {};
    }
    for (const QLabel* label : control->parentWidget()->findChildren<QLabel*>()) {
        if (label->buddy() == control) {
            QString text = label->text().remove(QLatin1Char('&')).trimmed();
            return text.endsWith(QLatin1Char(':')) ? text.chopped(1) : text;
        }
    }
    return {};
}

void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    // Printable keys carry their character, as a keyboard's do.
    const QString text = key >= 0x20 && key < 0x7F ? QString(QChar(key)).toLower() : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(widget, &release);
}

}  // namespace velmora::test
