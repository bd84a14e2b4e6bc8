#pragma once
// The application icon (icon 128): five inputs into one output on a rounded
// blue square. The window, the about box and the icon files a desktop
// installs all come from these shapes: the painter and the SVG document read
// the same coordinates, so the installed icon is the one the window shows.

#include <QByteArray>
#include <QtGlobal>

class QPainter;

namespace velmora::res {

// Paints the icon into the square of side `side` whose top-left corner is
// the origin.
void DrawApplicationIcon(QPainter& painter, qreal side);

// The same icon as a standalone SVG document, `side` user units square.
QByteArray ApplicationIconSvg(int side);

}  // namespace velmora::res
