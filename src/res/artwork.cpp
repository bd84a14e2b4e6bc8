#include "res/artwork.h"

#include "res/app_icon.h"
#include "res/resource_ids.h"
#include "res/skin.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace velmora::res {

namespace {

const QColor kGreen{46, 160, 67};
const QColor kGlyph{Qt::white};
const QColor kGlyphHover{255, 220, 90};
const QColor kGlyphDisabled{170, 200, 230};

constexpr int kMessageBitmapSide = 36;
constexpr int kCheckMarkBitmapSide = 31;

// Each drawing fills a square of side s whose top-left corner is the origin.

void DrawClose(QPainter& p, qreal s, const QColor& ink)
{
    const qreal m = s * 0.28;
    p.setPen(QPen(ink, s / 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, m), QPointF(s - m, s - m));
    p.drawLine(QPointF(s - m, m), QPointF(m, s - m));
}

void DrawMinimize(QPainter& p, qreal s, const QColor& ink)
{
    const qreal m = s * 0.25;
    p.setPen(QPen(ink, s / 8.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, s * 0.68), QPointF(s - m, s * 0.68));
}

void DrawIcon(QPainter& p, int id, qreal s, QIcon::Mode mode)
{
    const bool hover = id == kCloseHoverIcon || id == kMinimizeHoverIcon;
    const QColor ink = mode == QIcon::Disabled ? kGlyphDisabled : hover ? kGlyphHover : kGlyph;
    switch (id) {
    case kAppIcon:
        DrawApplicationIcon(p, s);
        break;
    case kCloseIcon:
    case kCloseHoverIcon:
        DrawClose(p, s, ink);
        break;
    case kMinimizeIcon:
    case kMinimizeHoverIcon:
        DrawMinimize(p, s, ink);
        break;
    default:
        break;
    }
}

// The information sign of the message box, in a 36-unit square.
void DrawInformation(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(1, 1, 34, 34));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(15.5, 7, 5, 5));
    p.drawRoundedRect(QRectF(15.5, 14, 5, 15), 2, 2);
}

// A white check mark on a green disc, in a 31-unit square.
void DrawCheckMark(QPainter& p)
{
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
}

// Draws an icon at exactly the size asked for, so it is sharp at every
// device pixel ratio.
class ArtworkIconEngine : public QIconEngine {
public:
    explicit ArtworkIconEngine(int id) : id_(id) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal side = std::min(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        DrawIcon(*painter, id_, side, mode);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine* clone() const override { return new ArtworkIconEngine(id_); }
    QString key() const override { return QStringLiteral("velmora-artwork"); }

private:
    int id_;
};

}  // namespace

QIcon IconSet(int id) { return QIcon(new ArtworkIconEngine(id)); }

QSize BitmapSize(int id)
{
    switch (id) {
    case kMessageBitmap:
        return {kMessageBitmapSide, kMessageBitmapSide};
    case kCheckMarkBitmap:
        return {kCheckMarkBitmapSide, kCheckMarkBitmapSide};
    default:
        return {};
    }
}

QPixmap Bitmap(int id, qreal devicePixelRatio)
{
    const QSize size = BitmapSize(id);
    if (size.isEmpty()) {
        return {};
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (id == kMessageBitmap) {
        DrawInformation(p);
    } else {
        DrawCheckMark(p);
    }
    return pixmap;
}

}  // namespace velmora::res
