#pragma once
// Dialog units to pixels. A dialog unit is a quarter of the template font's
// average character width horizontally and an eighth of its height
// vertically. The base units are fixed per template font so that a window has
// the same pixel size on every machine, whatever fonts it has installed.

#include <QRect>
#include <QSize>
#include <string_view>

namespace velmora::platform {

struct BaseUnits {
    int x;
    int y;
};

BaseUnits BaseUnitsFor(std::string_view font, int pointSize);

inline int DluToPixelsX(int dlu, BaseUnits base) { return (dlu * base.x + 2) / 4; }
inline int DluToPixelsY(int dlu, BaseUnits base) { return (dlu * base.y + 4) / 8; }

QRect DluToPixels(int x, int y, int cx, int cy, BaseUnits base);
QSize DluToPixels(int cx, int cy, BaseUnits base);

}  // namespace velmora::platform
