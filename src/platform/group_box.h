#pragma once
// A group box of a dialog template: a frame with a title, drawn by the
// style. The controls inside it are its window's children, not its own, so
// each change of one (a radio button marked) repaints the box beneath it,
// and the style lays out the title and draws the whole frame every time.
// Where the box's inside is one even colour, a part that lies wholly inside
// is filled with that colour instead; the inside is found by drawing the box
// once per size and look.

#include <QColor>
#include <QGroupBox>
#include <QRect>

namespace velmora::platform {

class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(const QString& title, QWidget* parent = nullptr);

    // The even inside and its colour (an empty rectangle when the style
    // draws none); how often it was looked for.
    QRect Inside();
    int Measured() const { return measured_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void MeasureInside();

    QRect inside_;
    QColor insideColour_;
    QString measuredTitle_;
    bool insideKnown_ = false;
    int measured_ = 0;
};

}  // namespace velmora::platform
