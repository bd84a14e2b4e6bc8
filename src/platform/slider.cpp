#include "platform/slider.h"

#include <QMouseEvent>

namespace velmora::platform {

Slider::Slider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

void Slider::Setup(int minimum, int maximum, int lineSize, int pageSize)
{
    setRange(minimum, maximum);
    setSingleStep(lineSize);
    setPageStep(pageSize);
}

void Slider::mousePressEvent(QMouseEvent* event)
{
    QSlider::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
}

void Slider::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        emit released(value());
    }
}

}  // namespace velmora::platform
