#include "res/artwork.h"

#include "res/resource_ids.h"

#include <QPainter>
#include <QPainterPath>

namespace velmora::res {

namespace {

const QColor kBlue{30, 144, 225};
const QColor kGreen{46, 160, 67};

void DrawClose(QPainter& p, int size, bool hover)
{
    const qreal m = size * 0.28;
    p.setPen(QPen(hover ? QColor(255, 220, 90) : QColor(Qt::white), size / 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, m), QPointF(size - m, size - m));
    p.drawLine(QPointF(size - m, m), QPointF(m, size - m));
}

void DrawMinimize(QPainter& p, int size, bool hover)
{
    const qreal m = size * 0.25;
    p.setPen(QPen(hover ? QColor(255, 220, 90) : QColor(Qt::white), size / 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, size * 0.68), QPointF(size - m, size * 0.68));
}

void DrawApplication(QPainter& p, int size)
{
    // Five inputs into one output.
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    p.setPen(QPen(Qt::white, std::max(1.0, size / 16.0)));
    const qreal out = size * 0.78;
    for (int i = 0; i < 5; ++i) {
        const qreal y = size * (0.2 + 0.15 * i);
        p.drawLine(QPointF(size * 0.18, y), QPointF(size * 0.55, size * 0.5));
    }
    p.drawLine(QPointF(size * 0.55, size * 0.5), QPointF(out, size * 0.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(out, size * 0.5), size / 12.0, size / 12.0);
}

QPixmap Blank(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap InformationBitmap()
{
    QPixmap pixmap = Blank(36, 36);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1, 1, 34, 34));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(15.5, 7, 5, 5));
    p.drawRoundedRect(QRectF(15.5, 14, 5, 15), 2, 2);
    return pixmap;
}

QPixmap CheckMarkBitmap()
{
    QPixmap pixmap(31, 31);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(0.5, 0.5, 30, 30));
    QPainterPath tick;
    tick.moveTo(8, 16);
    tick.lineTo(13.5, 21.5);
    tick.lineTo(23, 10);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return pixmap;
}

}  // namespace

QPixmap Icon(int id, int size)
{
    QPixmap pixmap = Blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case kAppIcon:
        DrawApplication(p, size);
        break;
    case kCloseIcon:
    case kCloseHoverIcon:
        DrawClose(p, size, id == kCloseHoverIcon);
        break;
    case kMinimizeIcon:
    case kMinimizeHoverIcon:
        DrawMinimize(p, size, id == kMinimizeHoverIcon);
        break;
    default:
        break;
    }
    return pixmap;
}

QIcon IconSet(int id)
{
    QIcon icon;
    icon.addPixmap(Icon(id, 16));
    icon.addPixmap(Icon(id, 32));
    return icon;
}

QPixmap Bitmap(int id)
{
    switch (id) {
    case kMessageBitmap:
        return InformationBitmap();
    case kCheckMarkBitmap:
        return CheckMarkBitmap();
    default:
        return {};
    }
}

}  // namespace velmora::res
