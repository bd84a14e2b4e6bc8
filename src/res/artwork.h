#pragma once
// The panel's icons and bitmaps, drawn in code at whatever size and device
// pixel ratio they are shown: the application icon, the close and minimize
// glyphs of the title bars (normal and under the pointer), the message box's
// picture and the progress popup's check mark.

#include <QIcon>
#include <QPixmap>

namespace velmora::res {

// Icons 128 to 132, drawn afresh for every size asked for.
QIcon IconSet(int id);
// Bitmaps 136 (36 x 36) and 143 (31 x 31) in logical pixels, drawn for a
// screen of the given device pixel ratio.
QPixmap Bitmap(int id, qreal devicePixelRatio = 1.0);
QSize BitmapSize(int id);

}  // namespace velmora::res
