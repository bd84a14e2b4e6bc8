#pragma once
// The panel's icons and bitmaps, drawn in code: the application icon, the
// close and minimize glyphs of the title bars (normal and under the pointer),
// the message box's picture and the progress popup's check mark.

#include <QIcon>
#include <QPixmap>

namespace velmora::res {

// Icons 128 to 132 at 16 and 32 pixels.
QIcon IconSet(int id);
QPixmap Icon(int id, int size);
// Bitmaps 136 (36 x 36) and 143 (31 x 31).
QPixmap Bitmap(int id);

}  // namespace velmora::res
