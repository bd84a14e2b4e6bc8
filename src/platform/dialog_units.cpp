#include "platform/dialog_units.h"

namespace velmora::platform {

BaseUnits BaseUnitsFor(std::string_view font, int pointSize)
{
    // The dialog font of the panel's own windows is larger than the classic
    // dialog font of the pages; both keep their usual proportions at 96 dpi.
    if (font == "MS Shell Dlg" && pointSize <= 8) {
        return {6, 13};
    }
    return {7, 16};
}

QRect DluToPixels(int x, int y, int cx, int cy, BaseUnits base)
{
    const int left = DluToPixelsX(x, base);
    const int top = DluToPixelsY(y, base);
    return {left, top, DluToPixelsX(x + cx, base) - left, DluToPixelsY(y + cy, base) - top};
}

QSize DluToPixels(int cx, int cy, BaseUnits base) { return {DluToPixelsX(cx, base), DluToPixelsY(cy, base)}; }

}  // namespace velmora::platform
