#pragma once
// A trackbar: a horizontal slider that reports every change of its position
// and, separately, the end of a mouse gesture on it (a drag of the thumb or
// a press in the channel), which is when a setting is sent. Keyboard moves
// change the position but end no gesture.

#include <QSlider>

namespace velmora::platform {

class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Range, arrow-key step and page step, as a trackbar is set up.
    void Setup(int minimum, int maximum, int lineSize, int pageSize);
    // Ends a gesture as letting go of the mouse does: for a value set by a
    // screen reader, which is the operator's whole move at once.
    void EndGesture() { emit released(value()); }

signals:
    // The mouse let go of the slider after pressing on it.
    void released(int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace velmora::platform
