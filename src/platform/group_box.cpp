#include "platform/group_box.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace velmora::platform {

namespace {

// From 'from' along 'step', the last point of the run of 'colour'.
int Reach(const QImage& image, QPoint from, QPoint step, QRgb colour)
{
    QPoint at = from;
    while (image.rect().contains(at + step) && image.pixel(at + step) == colour) {
        at += step;
    }
    return step.x() != 0 ? at.x() : at.y();
}

bool Even(const QImage& image, const QRect& area, QRgb colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRect GroupBox::Inside()
{
    if (!insideKnown_ || measuredTitle_ != title()) {
        MeasureInside();
    }
    return inside_;
}

void GroupBox::MeasureInside()
{
    insideKnown_ = true;
    measuredTitle_ = title();
    ++measured_;
    inside_ = QRect();
    if (width() < 3 || height() < 3) {
        return;
    }
    // Drawn as QGroupBox draws itself, on a clear image.
    QImage drawn(size(), QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    {
        QStylePainter painter(&drawn, this);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
    }
    const QPoint centre = rect().center();
    const QRgb colour = drawn.pixel(centre);
    const QRect inside(QPoint(Reach(drawn, centre, {-1, 0}, colour), Reach(drawn, centre, {0, -1}, colour)),
                       QPoint(Reach(drawn, centre, {1, 0}, colour), Reach(drawn, centre, {0, 1}, colour)));
    if (Even(drawn, inside, colour)) {
        inside_ = inside;
        insideColour_ = QColor::fromRgba(colour);
    }
}

void GroupBox::paintEvent(QPaintEvent* event)
{
    // Painted whole (shown, uncovered): nothing to spare, and no need to
    // know the inside of a box no control over it ever repaints.
    if (QRegion(rect()).subtracted(event->region()).isEmpty()) {
        QGroupBox::paintEvent(event);
        return;
    }
    const QRect inside = Inside();
    if (inside.isEmpty() || !inside.contains(event->region().boundingRect())) {
        QGroupBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    for (const QRect& part : event->region()) {
        painter.fillRect(part, insideColour_);
    }
}

void GroupBox::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
        insideKnown_ = false;
        break;
    default:
        break;
    }
    QGroupBox::changeEvent(event);
}

void GroupBox::resizeEvent(QResizeEvent* event)
{
    insideKnown_ = false;
    QGroupBox::resizeEvent(event);
}

}  // namespace velmora::platform
