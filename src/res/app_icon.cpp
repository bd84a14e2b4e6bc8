#include "res/app_icon.h"

#include "res/skin.h"

#include <QLineF>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>

namespace velmora::res {

namespace {

// The shapes in a square of side 1.
constexpr qreal kCornerRadius = 1.0 / 6.0;
constexpr qreal kStrokeWidth = 1.0 / 16.0;
constexpr QPointF kHub{0.55, 0.5};
constexpr QPointF kOutput{0.78, 0.5};
constexpr qreal kOutputRadius = 1.0 / 12.0;
constexpr qreal kInputX = 0.18;
constexpr qreal kFirstInputY = 0.2;
constexpr qreal kInputSpacing = 0.15;
constexpr int kInputs = 5;

const QColor kInk{Qt::white};

// Five input wires into the hub, and the hub to the output.
std::array<QLineF, kInputs + 1> Wires(qreal side)
{
    std::array<QLineF, kInputs + 1> wires;
    for (int i = 0; i < kInputs; ++i) {
        wires[i] = QLineF(QPointF(kInputX, kFirstInputY + kInputSpacing * i) * side, kHub * side);
    }
    wires[kInputs] = QLineF(kHub * side, kOutput * side);
    return wires;
}

QString Number(qreal value) { return QString::number(value, 'g', 6); }

}  // namespace

void DrawApplicationIcon(QPainter& p, qreal side)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kTitleBand);
    p.drawRoundedRect(QRectF(0, 0, side, side), kCornerRadius * side, kCornerRadius * side);
    // At the smallest sizes a wire stays one device pixel wide.
    p.setPen(QPen(kInk, std::max(1.0, kStrokeWidth * side), Qt::SolidLine, Qt::SquareCap));
    for (const QLineF& wire : Wires(side)) {
        p.drawLine(wire);
    }
    p.setBrush(kInk);
    p.drawEllipse(kOutput * side, kOutputRadius * side, kOutputRadius * side);
    p.restore();
}

QByteArray ApplicationIconSvg(int size)
{
    const qreal side = size;
    QString wires;
    for (const QLineF& wire : Wires(side)) {
        wires += QStringLiteral("    <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>\n")
                     .arg(Number(wire.x1()), Number(wire.y1()), Number(wire.x2()), Number(wire.y2()));
    }
    const QString ink = kInk.name();
    const QString stroke = Number(kStrokeWidth * side);
    const QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
                       "  <rect width=\"%1\" height=\"%1\" rx=\"%2\" ry=\"%2\" fill=\"%3\"/>\n"
                       "  <g stroke=\"%4\" stroke-width=\"%5\" stroke-linecap=\"square\">\n"
                       "%6"
                       "  </g>\n"
                       "  <circle cx=\"%7\" cy=\"%8\" r=\"%9\" fill=\"%4\" stroke=\"%4\" stroke-width=\"%5\"/>\n"
                       "</svg>\n")
            .arg(Number(side), Number(kCornerRadius * side), kTitleBand.name(), ink, stroke, wires,
                 Number(kOutput.x() * side), Number(kOutput.y() * side), Number(kOutputRadius * side));
    return svg.toUtf8();
}

}  // namespace velmora::res
