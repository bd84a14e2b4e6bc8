#pragma once
// The colours of the skin the caption-less windows share: the blue of the
// title bands and their bright edges.

#include <QColor>

namespace velmora::res {

inline const QColor kTitleBand{30, 144, 225};
inline const QColor kBandEdge{30, 120, 255};

}  // namespace velmora::res
